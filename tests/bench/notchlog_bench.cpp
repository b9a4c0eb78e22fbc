// Measures what Notchlog's message path costs, side by side with a bare
// window process (bench_bare_window.exe) in the same session, and reports the
// figures against the program's speed and memory goals.
//
// A "drain" gives the cost per message: the target's GUI thread is
// suspended, N messages and one end marker are posted to its main window,
// the thread is resumed, and the clock runs until the target has handled the
// marker and painted what the messages left to paint. The marker is a button
// click (WM_COMMAND) that makes the target put a short text on the
// clipboard (Notchlog's "Copy" under the green area; the same operation in
// the bare process); the benchmark polls the clipboard, sending nothing to
// the target while the clock runs. A drain of the marker alone is timed as
// well and subtracted, so that the figure is the target's own time per
// message. After every Notchlog drain the log must have grown by exactly the
// number of logged messages plus the marker's line.
//
// Every goal is a ratio of two figures measured alternately in the same
// round, so that the machine's drift cancels out; a second bare process
// measured against the first shows the method's resolution. The benchmark
// reports and does not judge: it exits with 0 when everything was measured,
// whatever the verdicts, and with 1 when measuring itself failed.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "driver/driver.h"

namespace nlbench {
namespace {

using nle2e::Narrow;
using nle2e::WindowsPath;

// ---- errors and texts ---------------------------------------------------------

class BenchError : public std::runtime_error {
public:
    explicit BenchError(const std::string& what) : std::runtime_error(what) {}
};

std::string Format(const char* fmt, ...) {
    char buf[1024];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    return buf;
}

[[noreturn]] void Fail(const std::string& what) { throw BenchError(what); }

[[noreturn]] void FailLastError(const std::string& what) {
    const DWORD code = ::GetLastError();
    Fail(what + Format(" (error %lu)", static_cast<unsigned long>(code)));
}


// ---- time -----------------------------------------------------------------------

double NowUs() {
    static const double ticksPerUs = [] {
        LARGE_INTEGER f{};
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1e6;
    }();
    LARGE_INTEGER c{};
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / ticksPerUs;
}

// Polls `condition` until it holds or `deadlineMs` passes. Sleep(1) between
// polls keeps the poller off the CPU the measured process needs (spinning
// slowed a drain under Wine by half, through the shared wineserver).
bool WaitUntil(const std::function<bool()>& condition, double deadlineMs) {
    const double end = NowUs() + deadlineMs * 1000.0;
    for (;;) {
        if (condition()) return true;
        if (NowUs() >= end) return condition();
        ::Sleep(1);
    }
}

// ---- statistics -------------------------------------------------------------------

double Median(std::vector<double> v) {
    if (v.empty()) return std::nan("");
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}
double Min(const std::vector<double>& v) { return v.empty() ? std::nan("") : *std::min_element(v.begin(), v.end()); }
double Max(const std::vector<double>& v) { return v.empty() ? std::nan("") : *std::max_element(v.begin(), v.end()); }

// ---- paths --------------------------------------------------------------------------


std::wstring EnvVar(const wchar_t* name) {
    wchar_t buf[2048];
    const DWORD n = ::GetEnvironmentVariableW(name, buf, 2048);
    return n > 0 && n < 2048 ? std::wstring(buf, n) : std::wstring();
}

std::wstring OwnDirectory() {
    wchar_t buf[2048];
    const DWORD n = ::GetModuleFileNameW(nullptr, buf, 2048);
    std::wstring self(buf, n);
    const auto slash = self.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : self.substr(0, slash + 1);
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// ---- messages to the targets ---------------------------------------------------------

LRESULT Send(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0, UINT timeoutMs = 30000) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(w, msg, wp, lp, SMTO_NORMAL, timeoutMs, &result))
        FailLastError(Format("SendMessageTimeout(message 0x%X)", msg));
    return static_cast<LRESULT>(result);
}

void Post(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (!::PostMessageW(w, msg, wp, lp)) FailLastError(Format("PostMessage(message 0x%X)", msg));
}

// Notchlog's control ids (creation order 101..113) that the benchmark uses.
constexpr int kCopyWheelInfoButton = 104;  // "Copy" under the green area: the end marker
constexpr int kWheelTarget = 105;          // the green area
constexpr int kClearLogButton = 107;       // "Clear"
constexpr int kMessageLog = 108;           // the message log

constexpr UINT kLoggedMessage = WM_APP + 1;  // harmless: forwarded to DefWindowProc, logged
constexpr UINT kFillMessage = WM_APP + 2;

// Windows' default limit of posted messages per queue is 10,000; a drain
// posts at most this many plus its marker.
constexpr int kMaxPostsPerDrain = 8000;

// Leaves the clipboard empty and without an owner. The end marker empties
// the clipboard, which first sends WM_DESTROYCLIPBOARD to its owner: with no
// owner, the marker costs the same in every drain and adds no line to
// Notchlog's log.
void DisownClipboard() {
    if (!WaitUntil([] { return ::OpenClipboard(nullptr) != FALSE; }, 5000)) FailLastError("OpenClipboard");
    const BOOL emptied = ::EmptyClipboard();
    ::CloseClipboard();
    if (!emptied) FailLastError("EmptyClipboard");
}

// The end marker: a click on Notchlog's "Copy" under the green area, posted
// to the main window (the bare process answers any click the same way).
// Handling it, the target empties the clipboard, which makes its window the
// clipboard's owner, and puts a short text on it.
void PostMarker(HWND main) {
    const HWND button = ::GetDlgItem(main, kCopyWheelInfoButton);  // none in the bare process
    Post(main, WM_COMMAND, MAKEWPARAM(kCopyWheelInfoButton, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool MarkerHandled(HWND main, DWORD sequenceBefore) {
    return ::GetClipboardSequenceNumber() != sequenceBefore && ::GetClipboardOwner() == main;
}

// ---- one running window process --------------------------------------------------------

class Target;
// The window processes this benchmark has running at the moment.
std::vector<const Target*> g_running;

class Target {
public:
    Target(std::wstring exe, std::wstring mainClass, std::string label)
        : exe_(std::move(exe)), mainClass_(std::move(mainClass)), label_(std::move(label)) {}
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;
    ~Target() { Terminate(); }

    const std::string& Label() const { return label_; }
    HANDLE Process() const { return pi_.hProcess; }
    HANDLE Thread() const { return pi_.hThread; }
    HWND Main() const { return main_; }

    // Starts the process; returns its start-up time in microseconds (see
    // the definition below).
    double Launch();

    // A round trip through the target's message loop that adds no line to
    // Notchlog's log: only what the main window receives is logged, so it
    // goes to the log list itself (the bare process has no children).
    LRESULT SyncWindow() const {
        if (HWND log = ::GetDlgItem(main_, kMessageLog)) return Send(log, LB_GETCOUNT);
        return Send(main_, WM_NULL);
    }

    HWND Control(int id) const {
        HWND c = ::GetDlgItem(main_, id);
        if (!c) Fail(Format("%s has no control with id %d", label_.c_str(), id));
        return c;
    }

    // Ends the process the way a user would and waits for it to go.
    void Close() {
        if (!pi_.hProcess) return;
        if (::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT && main_) {
            ::PostMessageW(main_, WM_CLOSE, 0, 0);
            if (::WaitForSingleObject(pi_.hProcess, 20000) != WAIT_OBJECT_0) {
                std::fprintf(stderr, "note: %s did not end after WM_CLOSE; terminating it\n", label_.c_str());
                ::TerminateProcess(pi_.hProcess, 1);
                ::WaitForSingleObject(pi_.hProcess, 5000);
            }
        }
        Release();
    }

    // Ends the process by its handle if it still runs.
    void Terminate() noexcept {
        if (!pi_.hProcess) return;
        if (::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(pi_.hProcess, 1);
            ::WaitForSingleObject(pi_.hProcess, 5000);
        }
        Release();
    }

private:
    struct Search {
        DWORD pid;
        const std::wstring* cls;
        HWND found;
    };
    static BOOL CALLBACK Collect(HWND w, LPARAM lp) {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        if (pid != s->pid || !::IsWindowVisible(w)) return TRUE;
        wchar_t cls[256] = {};
        ::GetClassNameW(w, cls, 256);
        if (*s->cls == cls) {
            s->found = w;
            return FALSE;
        }
        return TRUE;
    }
    HWND FindMainWindow() const {
        Search s{pi_.dwProcessId, &mainClass_, nullptr};
        ::EnumWindows(&Collect, reinterpret_cast<LPARAM>(&s));
        return s.found;
    }
    void Release() noexcept {
        g_running.erase(std::remove(g_running.begin(), g_running.end(), this), g_running.end());
        if (pi_.hThread) ::CloseHandle(pi_.hThread);
        if (pi_.hProcess) ::CloseHandle(pi_.hProcess);
        pi_ = PROCESS_INFORMATION{};
        main_ = nullptr;
    }

    std::wstring exe_, mainClass_;
    std::string label_;
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
};

// ---- memory ---------------------------------------------------------------------------------

// The process's private bytes. Wine leaves PrivateUsage at 0 and reports
// the private (anonymous) memory as PagefileUsage, which on Windows is the
// same commit-charge figure; the field used is returned in `field`.
std::uint64_t PrivateBytes(HANDLE process, std::string* field) {
    PROCESS_MEMORY_COUNTERS_EX pm{};
    pm.cb = sizeof pm;
    if (!::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pm), sizeof pm))
        FailLastError("GetProcessMemoryInfo");
    if (pm.PrivateUsage != 0) {
        if (field) *field = "PrivateUsage";
        return pm.PrivateUsage;
    }
    if (field) *field = "PagefileUsage (PrivateUsage reads 0 here)";
    return pm.PagefileUsage;
}

// ---- drains -------------------------------------------------------------------------------------

// What a drain posts: message i of the run.
struct Load {
    const char* name;
    UINT msg;
    std::function<WPARAM(int)> wParam;
    LPARAM lParam;
    bool logged;  // each message adds a line to Notchlog's log
};

// One notch back, then one notch forward, and so on: the scroll bar moves on
// every message and stays in range.
WPARAM WheelWParam(int i) { return MAKEWPARAM(0, static_cast<WORD>(i % 2 == 0 ? -WHEEL_DELTA : WHEEL_DELTA)); }

int LogCount(const Target& t) {
    const LRESULT n = Send(t.Control(kMessageLog), LB_GETCOUNT);
    if (n < 0) Fail("LB_GETCOUNT failed");
    return static_cast<int>(n);
}

std::string LogLine(const Target& t, int index) {
    const HWND log = t.Control(kMessageLog);
    const LRESULT len = Send(log, LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (len < 0) return "(no line)";
    // The W form: Wine answers the A form from another process in UTF-16.
    std::wstring text(static_cast<std::size_t>(len) + 1, L'\0');
    Send(log, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(std::wcslen(text.c_str()));
    for (auto& c : text)
        if (c == L'\t') c = L' ';
    return Narrow(text);
}

// Lets the target finish what its last messages left to do, in its own
// thread: RedrawWindow with RDW_UPDATENOW makes it paint whatever is
// invalid, and a sent message makes a round trip through its message loop.
// Three rounds: a program that leaves painting to its idle time has reached
// that point by the second round trip, and the third round paints what it
// left. Afterwards the target waits for input.
void Settle(const Target& t) {
    for (int i = 0; i < 3; ++i) {
        ::RedrawWindow(t.Main(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        t.SyncWindow();
    }
}

// Every running process settled: none of them competes with a measurement
// for the two CPUs, the wineserver or the X server.
void SettleAll() {
    for (const Target* t : g_running) Settle(*t);
}

// From CreateProcess until the main window is visible, the message loop has
// handled a posted message (the end marker) and everything is painted:
// input-idle in the Windows sense. (Wine's WaitForInputIdle returns as soon
// as the process first looks at its queue, even before its window exists;
// it is checked, but it does not end the wait.)
double Target::Launch() {
    SettleAll();
    DisownClipboard();
    const DWORD seq0 = ::GetClipboardSequenceNumber();
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring commandLine = L"\"" + exe_ + L"\"";
    const double t0 = NowUs();
    if (!::CreateProcessW(exe_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_))
        FailLastError("CreateProcess(" + Narrow(exe_) + ")");
    const DWORD idle = ::WaitForInputIdle(pi_.hProcess, 30000);
    if (idle != 0) Fail(label_ + ": WaitForInputIdle did not return 0 (" + std::to_string(idle) + ")");
    auto ended = [&] { return ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; };
    WaitUntil([&] { return (main_ = FindMainWindow()) != nullptr || ended(); }, 30000);
    if (!main_) Fail(label_ + ": no visible main window after start");
    PostMarker(main_);
    if (!WaitUntil([&] { return MarkerHandled(main_, seq0) || ended(); }, 30000) || ended())
        Fail(label_ + ": the message loop did not answer after start");
    g_running.push_back(this);
    Settle(*this);
    return NowUs() - t0;
}

// The time in microseconds from resuming the target until it has handled
// n messages of `load` and the end marker (n may be 0: the marker alone).
double DrainUs(const Target& t, const Load& load, int n, bool isNotchlog) {
    if (n < 0 || n > kMaxPostsPerDrain) Fail(Format("drain size %d out of range", n));
    for (int attempt = 1;; ++attempt) {
        DisownClipboard();
        SettleAll();
        const int before = isNotchlog ? LogCount(t) : 0;
        const DWORD seq0 = ::GetClipboardSequenceNumber();

        if (::SuspendThread(t.Thread()) == static_cast<DWORD>(-1)) FailLastError("SuspendThread");
        // Returns once the thread has really stopped.
        CONTEXT ctx{};
        ctx.ContextFlags = CONTEXT_CONTROL;
        if (!::GetThreadContext(t.Thread(), &ctx)) {
            ::ResumeThread(t.Thread());
            FailLastError("GetThreadContext");
        }
        try {
            for (int i = 0; i < n; ++i) Post(t.Main(), load.msg, load.wParam(i), load.lParam);
            PostMarker(t.Main());
        } catch (...) {
            ::ResumeThread(t.Thread());
            throw;
        }
        if (::GetClipboardSequenceNumber() != seq0) {
            ::ResumeThread(t.Thread());
            Fail("the clipboard changed while the target was suspended; another program uses it");
        }

        const double t0 = NowUs();
        if (::ResumeThread(t.Thread()) == static_cast<DWORD>(-1)) FailLastError("ResumeThread");
        // All messages handled; then whatever painting they left, so that a
        // program that paints later rather than at once gets no discount.
        const bool ended = WaitUntil([&] { return MarkerHandled(t.Main(), seq0); }, 300000);
        if (!ended) Fail(Format("%s: the end marker of a %s drain was never handled", t.Label().c_str(), load.name));
        Settle(t);
        const double elapsed = NowUs() - t0;

        if (!isNotchlog) return elapsed;
        // The marker's own click is logged too, after its copy.
        const int grown = LogCount(t) - before;
        const int expected = (load.logged ? n : 0) + 1;
        if (grown == expected) return elapsed;
        if (attempt >= 2)
            Fail(Format("%s drain: the log grew by %d lines, expected %d", load.name, grown, expected));
        std::fprintf(stderr, "note: %s drain: the log grew by %d lines instead of %d; measuring again\n", load.name,
                     grown, expected);
        const int count = before + grown;
        for (int i = std::max(before, count - 4); i < count; ++i)
            std::fprintf(stderr, "  line %d: %s\n", i, LogLine(t, i).c_str());
    }
}

// What a drain costs beyond its messages: waking the target, the end
// marker, noticing it and settling. The best of three drains of the marker
// alone.
double MarkerUs(const Target& t, bool isNotchlog) {
    static const Load none{"marker", WM_NULL, [](int) { return WPARAM(0); }, 0, false};
    double best = DrainUs(t, none, 0, isNotchlog);
    for (int i = 0; i < 2; ++i) best = std::min(best, DrainUs(t, none, 0, isNotchlog));
    return best;
}

bool g_verbose = false;  // --verbose: every drain on stderr

// The target's own time per message, in microseconds, for n messages of
// `load`: the drain's time without what the marker alone takes.
double Drain(const Target& t, const Load& load, int n, bool isNotchlog, double markerUs) {
    if (n < 1) Fail("a drain needs at least one message");
    const double us = std::max(0.0, DrainUs(t, load, n, isNotchlog) - markerUs) / n;
    if (g_verbose) std::fprintf(stderr, "    %-22s %-28s %5d x %9.2f us\n", t.Label().c_str(), load.name, n, us);
    return us;
}

// ---- the log's size ----------------------------------------------------------------------------

void ClearLog(const Target& nl) {
    Post(nl.Main(), WM_COMMAND, MAKEWPARAM(kClearLogButton, BN_CLICKED), reinterpret_cast<LPARAM>(nl.Control(kClearLogButton)));
    // The click's own line is the first of the emptied log.
    if (!WaitUntil([&] { return LogCount(nl) <= 1; }, 60000)) Fail("Clear did not empty the log");
}

// Grows the log to at least `lines` lines by posting logged messages. The
// log is hidden meanwhile (a hidden list box skips its painting), so that a
// large fill takes seconds rather than the minutes it takes on screen; it
// is shown and painted again before anything is measured.
int FillLog(const Target& nl, int lines) {
    const HWND log = nl.Control(kMessageLog);
    ::ShowWindow(log, SW_HIDE);
    int count = LogCount(nl);
    while (count < lines) {
        const int batch = std::min(lines - count, kMaxPostsPerDrain);
        for (int i = 0; i < batch; ++i) Post(nl.Main(), kFillMessage, static_cast<WPARAM>(i), 0);
        const int target = count + batch;
        if (!WaitUntil([&] { return (count = LogCount(nl)) >= target; }, 300000))
            Fail(Format("filling the log stalled at %d lines", count));
    }
    ::ShowWindow(log, SW_SHOWNA);
    Settle(nl);
    return LogCount(nl);
}

// ---- sent round trips ---------------------------------------------------------------------------

double SentRoundTrip(const Target& t, WPARAM wp, LPARAM lp) {
    SettleAll();
    const double t0 = NowUs();
    Send(t.Main(), WM_MOUSEWHEEL, wp, lp);
    return NowUs() - t0;
}

// ---- options ----------------------------------------------------------------------------------------

struct Options {
    std::wstring notchlog, bare, json;
    int rounds = 5;
    int lines = 100000;       // the large log
    int smallLines = 1000;    // the small log
    int startups = 3;         // start-up samples per round and program
    int sends = 20;           // sent round trips per round and program
    double drainMs = 250;     // the aimed-at length of one drain
    int minPosts = 50;
};

void Usage() {
    std::fprintf(stderr,
                 "usage: notchlog_bench [--notchlog EXE] [--bare EXE] [--json FILE] [--rounds N]\n"
                 "                      [--lines N] [--small-lines N] [--startups N] [--sends N]\n"
                 "                      [--drain-ms MS] [--verbose]\n"
                 "Notchlog.exe defaults to $NOTCHLOG_EXE, the bare process to bench_bare_window.exe\n"
                 "beside this program. Unix paths are reached through drive Z:.\n");
}

Options ParseOptions(int argc, wchar_t** argv) {
    Options o;
    o.notchlog = EnvVar(L"NOTCHLOG_EXE");
    o.bare = OwnDirectory() + L"bench_bare_window.exe";
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        auto value = [&]() -> std::wstring {
            if (i + 1 >= argc) {
                Usage();
                std::exit(2);
            }
            return argv[++i];
        };
        auto number = [&]() {
            const std::wstring v = value();
            wchar_t* end = nullptr;
            const double d = std::wcstod(v.c_str(), &end);
            if (!end || *end || d <= 0) {
                Usage();
                std::exit(2);
            }
            return d;
        };
        if (a == L"--notchlog") o.notchlog = value();
        else if (a == L"--bare") o.bare = value();
        else if (a == L"--json") o.json = value();
        else if (a == L"--rounds") o.rounds = static_cast<int>(number());
        else if (a == L"--lines") o.lines = static_cast<int>(number());
        else if (a == L"--small-lines") o.smallLines = static_cast<int>(number());
        else if (a == L"--startups") o.startups = static_cast<int>(number());
        else if (a == L"--sends") o.sends = static_cast<int>(number());
        else if (a == L"--drain-ms") o.drainMs = number();
        else if (a == L"--verbose") g_verbose = true;
        else {
            Usage();
            std::exit(2);
        }
    }
    if (o.notchlog.empty()) o.notchlog = OwnDirectory() + L"..\\..\\Notchlog.exe";
    o.notchlog = WindowsPath(o.notchlog);
    o.bare = WindowsPath(o.bare);
    o.json = WindowsPath(o.json);
    return o;
}

// ---- the platform -------------------------------------------------------------------------------------

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            out += Format("\\u%04x", c);
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Platform() {
    using WineVersionFn = const char*(CDECL*)();
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (ntdll) {
        if (auto fn = reinterpret_cast<WineVersionFn>(
                reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, "wine_get_version"))))
            return std::string("Wine ") + fn();
    }
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(&v);
#pragma GCC diagnostic pop
    return Format("Windows %lu.%lu.%lu", v.dwMajorVersion, v.dwMinorVersion, v.dwBuildNumber);
}

const char* Arch() {
#if defined(_WIN64)
    return "x86_64";
#else
    return "i686";
#endif
}

// ---- results -----------------------------------------------------------------------------------------

struct Series {
    std::vector<double> values;  // one per round
    void Add(double v) { values.push_back(v); }
    double Median() const { return nlbench::Median(values); }
    double Min() const { return nlbench::Min(values); }
    double Max() const { return nlbench::Max(values); }
};

// Every figure of a round is the best of its samples in that round: other
// work on the machine only ever slows a sample down, so the best one is the
// closest to the program's own cost. A ratio compares the best samples of a
// case and of its reference, taken alternately in the same round; the report
// gives the median over the rounds, with min and max.
struct Results {
    int nFloor = 0, nFiltered = 0, nLogged = 0, nWheel = 0;  // messages per drain
    std::map<std::string, Series> us;        // per-message figures
    std::map<std::string, Series> ratio;     // per-round ratios, by goal key
    std::map<std::string, Series> markerUs;  // a drain's own cost, per program
    Series startNl, startBare;               // ms
    Series sentNl, sentBare;                 // us, the median of a round's sends
    Series memory;                           // bytes per line, measured once
    std::string memoryField;
};

struct Goal {
    const char* key;  // in bench.json
    const char* title;
    const char* reference;
    double limit;
};

const Goal kGoals[] = {
    {"filtered", "filtered / floor", "floor WM_MOUSEMOVE", 1.10},
    {"logged", "logged / floor", "floor WM_APP+1", 2.0},
    {"wheel", "wheel / floor", "floor WM_MOUSEWHEEL", 4.0},
    {"growth", "logged@large / logged@small", "log of small size", 1.2},
    {"startup", "start-up / bare", "bare start-up", 1.25},
};
constexpr double kMemoryGoal = 256.0;  // bytes per logged line

// What the drains post. Notchlog's cases and the bare floors they are
// compared with send the same message numbers and parameters.
struct Loads {
    Load logged, filtered, wheel;
    Load floorApp, floorMove, floorWheel;
};

Loads MakeLoads(LPARAM wheelLp, LPARAM moveLp) {
    auto zero = [](int) { return WPARAM(0); };
    return Loads{
        Load{"logged", kLoggedMessage, zero, 0, true},
        Load{"filtered", WM_MOUSEMOVE, zero, moveLp, false},
        Load{"wheel", WM_MOUSEWHEEL, &WheelWParam, wheelLp, true},
        Load{"floor", kLoggedMessage, zero, 0, false},
        Load{"floor (WM_MOUSEMOVE)", WM_MOUSEMOVE, zero, moveLp, false},
        Load{"floor (WM_MOUSEWHEEL)", WM_MOUSEWHEEL, &WheelWParam, wheelLp, false},
    };
}

const std::wstring kNotchlogClass = L"NotchlogMain";
const std::wstring kBareClass = L"NotchlogBenchBare";

// The method itself: a suspended target must not handle what is posted to
// it until it is resumed.
void CheckSuspension(const Target& nl) {
    Settle(nl);
    const int before = LogCount(nl);
    ::SuspendThread(nl.Thread());
    CONTEXT ctx{};
    ctx.ContextFlags = CONTEXT_CONTROL;
    ::GetThreadContext(nl.Thread(), &ctx);
    Post(nl.Main(), kLoggedMessage, 0, 0);
    DWORD_PTR r = 0;
    const BOOL answered = ::SendMessageTimeoutW(nl.Control(kMessageLog), LB_GETCOUNT, 0, 0, SMTO_NORMAL, 300, &r);
    ::ResumeThread(nl.Thread());
    if (answered) Fail("a suspended Notchlog still handled messages: the drain method does not hold here");
    if (!WaitUntil([&] { return LogCount(nl) == before + 1; }, 30000))
        Fail("a message posted to the suspended Notchlog was not logged after resuming it");
}

// Finds where the wheel messages point (the centre of the green area) and
// sizes the drains from a short pilot run, so that each drain lasts about
// o.drainMs whatever the program's speed.
Loads Calibrate(const Options& o, Results& r) {
    Target bare(o.bare, kBareClass, "bare process");
    Target nl(o.notchlog, kNotchlogClass, "Notchlog");
    bare.Launch();
    nl.Launch();
    RECT pr{};
    if (!::GetWindowRect(nl.Control(kWheelTarget), &pr)) FailLastError("GetWindowRect(green area)");
    POINT centre{(pr.left + pr.right) / 2, (pr.top + pr.bottom) / 2};
    const LPARAM wheelLp = MAKELPARAM(centre.x, centre.y);  // screen coordinates
    ::ScreenToClient(nl.Main(), &centre);
    const Loads loads = MakeLoads(wheelLp, MAKELPARAM(centre.x, centre.y));

    CheckSuspension(nl);

    const double markerBare = MarkerUs(bare, false), markerNl = MarkerUs(nl, true);
    // The best of two drains long enough (100 ms) for the drain's own cost
    // not to matter.
    auto estimate = [&](const Target& t, const Load& load, bool isNotchlog, double marker) {
        for (int n = 10;; n = std::min(kMaxPostsPerDrain, n * 4)) {
            const double us = std::min(Drain(t, load, n, isNotchlog, marker), Drain(t, load, n, isNotchlog, marker));
            if (us * n >= 100000 || n >= kMaxPostsPerDrain) return us;
        }
    };
    auto postsFor = [&](double usPerMessage) {
        const double n = o.drainMs * 1000.0 / std::max(usPerMessage, 1.0);
        const int posts =
            static_cast<int>(std::lround(std::min<double>(kMaxPostsPerDrain - 1, std::max<double>(o.minPosts, n))));
        return posts + (posts % 2);  // even: the wheel's notches cancel out
    };
    r.nFloor = postsFor(estimate(bare, loads.floorApp, false, markerBare));
    r.nFiltered = postsFor(estimate(nl, loads.filtered, true, markerNl));
    r.nLogged = postsFor(estimate(nl, loads.logged, true, markerNl));
    r.nWheel = postsFor(estimate(nl, loads.wheel, true, markerNl));
    nl.Close();
    bare.Close();
    return loads;
}

// Fills the log of `nl` to o.lines lines; its private bytes before and
// after give the memory per line.
void MeasureMemory(const Options& o, const Target& nl, Results& r) {
    SettleAll();
    const int linesAtStart = LogCount(nl);
    const std::uint64_t memAtStart = PrivateBytes(nl.Process(), &r.memoryField);
    const double t0 = NowUs();
    const int linesLarge = FillLog(nl, o.lines);
    const std::uint64_t memLarge = PrivateBytes(nl.Process(), nullptr);
    r.memory.Add((static_cast<double>(memLarge) - static_cast<double>(memAtStart)) /
                 static_cast<double>(linesLarge - linesAtStart));
    std::printf("  filled a log to %d lines in %.0f s (the list hidden meanwhile)\n", linesLarge, (NowUs() - t0) / 1e6);
    std::fflush(stdout);
}

void MeasureRound(const Options& o, const Loads& loads, int round, const Target& nlLarge, double markerLarge,
                  Results& r) {
    const bool forward = round % 2 == 0;  // alternate the order of the cases

    // Start-up: launches of their own, alternating between the programs.
    std::vector<double> suNl, suBare;
    for (int i = 0; i < o.startups; ++i) {
        for (int k = 0; k < 2; ++k) {
            const bool notchlogNow = (k == 0) == forward;
            Target t(notchlogNow ? o.notchlog : o.bare, notchlogNow ? kNotchlogClass : kBareClass,
                     notchlogNow ? "Notchlog" : "bare process");
            (notchlogNow ? suNl : suBare).push_back(t.Launch() / 1000.0);
            t.Close();
        }
    }
    r.startNl.Add(Min(suNl));
    r.startBare.Add(Min(suBare));
    r.ratio["startup"].Add(Min(suNl) / Min(suBare));

    Target bare(o.bare, kBareClass, "bare process");
    Target bare2(o.bare, kBareClass, "second bare process");
    Target nl(o.notchlog, kNotchlogClass, "Notchlog");
    bare.Launch();
    bare2.Launch();
    nl.Launch();
    const double markerBare = MarkerUs(bare, false), markerBare2 = MarkerUs(bare2, false);
    const double markerNl = MarkerUs(nl, true);
    r.markerUs["bare"].Add(markerBare);
    r.markerUs["notchlog"].Add(markerNl);

    // The per-message cases, each alternating with the bare floor it is
    // compared with. The method check compares a second bare process with
    // the first: it should give 1.
    struct Pair {
        const char* caseKey;
        const char* floorKey;
        const Target* target;
        const Load* caseLoad;
        const Load* floorLoad;
        int posts;
        bool isNotchlog;
        double marker;
    };
    std::vector<Pair> pairs = {
        {"logged", "floor", &nl, &loads.logged, &loads.floorApp, r.nLogged, true, markerNl},
        {"filtered", "floor_mousemove", &nl, &loads.filtered, &loads.floorMove, r.nFiltered, true, markerNl},
        {"wheel", "floor_wheel", &nl, &loads.wheel, &loads.floorWheel, r.nWheel, true, markerNl},
        {"method_check", "floor_method_check", &bare2, &loads.floorApp, &loads.floorApp, r.nFloor, false,
         markerBare2},
    };
    if (!forward) std::reverse(pairs.begin(), pairs.end());
    for (const Pair& p : pairs) {
        // floor, case, case, floor, twice: as many samples of each, and a
        // steady drift of the machine's load hits both alike.
        std::vector<double> f, c;
        for (int k = 0; k < 2; ++k) {
            f.push_back(Drain(bare, *p.floorLoad, r.nFloor, false, markerBare));
            c.push_back(Drain(*p.target, *p.caseLoad, p.posts, p.isNotchlog, p.marker));
            c.push_back(Drain(*p.target, *p.caseLoad, p.posts, p.isNotchlog, p.marker));
            f.push_back(Drain(bare, *p.floorLoad, r.nFloor, false, markerBare));
        }
        r.us[p.caseKey].Add(Min(c));
        r.us[p.floorKey].Add(Min(f));
        r.ratio[p.caseKey].Add(Min(c) / Min(f));
    }

    // Sent round trips, alternating between the programs.
    std::vector<double> rtNl, rtBare;
    const LPARAM wheelLp = loads.wheel.lParam;
    for (int i = 0; i < o.sends; ++i) {
        const WPARAM wp = WheelWParam(i);
        if (forward) {
            rtBare.push_back(SentRoundTrip(bare, wp, wheelLp));
            rtNl.push_back(SentRoundTrip(nl, wp, wheelLp));
        } else {
            rtNl.push_back(SentRoundTrip(nl, wp, wheelLp));
            rtBare.push_back(SentRoundTrip(bare, wp, wheelLp));
        }
    }
    r.sentNl.Add(Median(rtNl));
    r.sentBare.Add(Median(rtBare));
    bare2.Close();
    bare.Close();

    // Growth: the logged cost with the small log and with the large one,
    // alternately: small, large, large, small.
    ClearLog(nl);
    FillLog(nl, o.smallLines);
    std::vector<double> small, large;
    small.push_back(Drain(nl, loads.logged, r.nLogged, true, markerNl));
    large.push_back(Drain(nlLarge, loads.logged, r.nLogged, true, markerLarge));
    large.push_back(Drain(nlLarge, loads.logged, r.nLogged, true, markerLarge));
    small.push_back(Drain(nl, loads.logged, r.nLogged, true, markerNl));
    r.us["logged_small_log"].Add(Min(small));
    r.us["logged_large_log"].Add(Min(large));
    r.ratio["growth"].Add(Min(large) / Min(small));
    nl.Close();
}

bool Passes(const Results& r, const Goal& g) { return r.ratio.at(g.key).Median() <= g.limit; }
bool MemoryPasses(const Results& r) { return r.memory.Median() <= kMemoryGoal; }
double WheelPerSecond(const Results& r) { return 1e6 / r.us.at("wheel").Median(); }

void PrintReport(const Options& o, const Results& r) {
    std::printf("\nEach figure: the best of its samples in a round; median, min and max over the rounds.\n");
    std::printf("%-42s %6s %10s %10s %10s  %s\n", "figure", "N", "median", "min", "max", "unit");
    auto row = [](const std::string& name, int n, const Series& s, const char* unit) {
        std::printf("%-42s %6s %10.2f %10.2f %10.2f  %s\n", name.c_str(), n > 0 ? std::to_string(n).c_str() : "",
                    s.Median(), s.Min(), s.Max(), unit);
    };
    row("floor: bare, WM_APP+1", r.nFloor, r.us.at("floor"), "us/msg");
    row("floor: bare, WM_MOUSEMOVE", r.nFloor, r.us.at("floor_mousemove"), "us/msg");
    row("floor: bare, WM_MOUSEWHEEL", r.nFloor, r.us.at("floor_wheel"), "us/msg");
    row("second bare process, WM_APP+1", r.nFloor, r.us.at("method_check"), "us/msg");
    row("filtered: Notchlog, WM_MOUSEMOVE", r.nFiltered, r.us.at("filtered"), "us/msg");
    row("logged: Notchlog, WM_APP+1", r.nLogged, r.us.at("logged"), "us/msg");
    row("wheel: Notchlog, WM_MOUSEWHEEL (posted)", r.nWheel, r.us.at("wheel"), "us/msg");
    row(Format("logged, log of %d lines", o.smallLines), r.nLogged, r.us.at("logged_small_log"), "us/msg");
    row(Format("logged, log of %d lines", o.lines), r.nLogged, r.us.at("logged_large_log"), "us/msg");
    row("drain overhead (marker alone): bare", 0, r.markerUs.at("bare"), "us/drain");
    row("drain overhead (marker alone): Notchlog", 0, r.markerUs.at("notchlog"), "us/drain");
    row("sent WM_MOUSEWHEEL round trip: Notchlog", o.sends, r.sentNl, "us (median)");
    row("sent WM_MOUSEWHEEL round trip: bare", o.sends, r.sentBare, "us (median)");
    row("start-up: Notchlog", o.startups, r.startNl, "ms");
    row("start-up: bare", o.startups, r.startBare, "ms");
    row(Format("memory per logged line at %d lines", o.lines), 0, r.memory, "bytes");

    std::printf("\n%-30s %-22s %9s %9s %9s %9s  %s\n", "goal", "reference", "median", "min", "max", "limit",
                "verdict");
    for (const Goal& g : kGoals) {
        const Series& s = r.ratio.at(g.key);
        std::printf("%-30s %-22s %9.3f %9.3f %9.3f %9.2f  %s\n", g.title, g.reference, s.Median(), s.Min(), s.Max(),
                    g.limit, Passes(r, g) ? "PASS" : "MISS");
    }
    std::printf("%-30s %-22s %9.1f %9.1f %9.1f %9.0f  %s\n", "memory bytes per line", "private bytes",
                r.memory.Median(), r.memory.Min(), r.memory.Max(), kMemoryGoal, MemoryPasses(r) ? "PASS" : "MISS");
    const Series& check = r.ratio.at("method_check");
    std::printf("%-30s %-22s %9.3f %9.3f %9.3f %9s  %s\n", "method check: bare / bare", "floor WM_APP+1",
                check.Median(), check.Min(), check.Max(), "~1", "(the method's resolution)");

    std::printf("\nwheel messages per second Notchlog sustains: %.0f (the bare process: %.0f)\n", WheelPerSecond(r),
                1e6 / r.us.at("floor_wheel").Median());
    std::printf("one sent WM_MOUSEWHEEL: Notchlog %.0f us, bare process %.0f us (%.1f times)\n", r.sentNl.Median(),
                r.sentBare.Median(), r.sentNl.Median() / r.sentBare.Median());
    std::printf("memory counter: %s\n", r.memoryField.c_str());
}

void WriteJson(const Options& o, const Results& r) {
    auto number = [](double v) { return std::isfinite(v) ? Format("%.6g", v) : std::string("null"); };
    // One entry per goal: "key": text.
    auto perGoal = [](const std::function<std::string(const Goal&)>& text) {
        std::string out;
        for (const Goal& g : kGoals) out += (out.empty() ? "" : ", ") + Format("\"%s\": ", g.key) + text(g);
        return out;
    };
    std::string j = "{\n";
    j += "  \"ratios\": {" + perGoal([&](const Goal& g) { return number(r.ratio.at(g.key).Median()); }) + "},\n";
    j += "  \"memory_bytes_per_line\": " + number(r.memory.Median()) + ",\n";
    j += "  \"wheel_messages_per_second\": " + number(WheelPerSecond(r)) + ",\n";
    j += "  \"pass\": {" + perGoal([&](const Goal& g) { return std::string(Passes(r, g) ? "true" : "false"); }) +
         Format(", \"memory_bytes_per_line\": %s},\n", MemoryPasses(r) ? "true" : "false");
    j += "  \"limits\": {" + perGoal([&](const Goal& g) { return number(g.limit); }) +
         ", \"memory_bytes_per_line\": " + number(kMemoryGoal) + "},\n";
    j += "  \"ratio_ranges\": {" + perGoal([&](const Goal& g) {
             const Series& s = r.ratio.at(g.key);
             return "[" + number(s.Min()) + ", " + number(s.Max()) + "]";
         }) +
         "},\n";
    j += "  \"method_check_ratio\": " + number(r.ratio.at("method_check").Median()) + ",\n";
    std::string medians;
    for (const auto& [name, s] : r.us)
        medians += (medians.empty() ? "" : ", ") + JsonString(name) + ": " + number(s.Median());
    j += "  \"medians_us_per_message\": {" + medians + "},\n";
    j += "  \"sent_wheel_round_trip_us\": {\"notchlog\": " + number(r.sentNl.Median()) +
         ", \"bare\": " + number(r.sentBare.Median()) + "},\n";
    j += "  \"startup_ms\": {\"notchlog\": " + number(r.startNl.Median()) + ", \"bare\": " +
         number(r.startBare.Median()) + "},\n";
    j += Format("  \"messages_per_drain\": {\"floor\": %d, \"filtered\": %d, \"logged\": %d, \"wheel\": %d, "
                "\"growth\": %d},\n",
                r.nFloor, r.nFiltered, r.nLogged, r.nWheel, r.nLogged);
    j += Format("  \"log_lines\": {\"small\": %d, \"large\": %d},\n", o.smallLines, o.lines);
    j += Format("  \"rounds\": %d,\n", o.rounds);
    j += "  \"memory_counter\": " + JsonString(r.memoryField) + ",\n";
    j += std::string("  \"arch\": \"") + Arch() + "\",\n";
    j += "  \"platform\": " + JsonString(Platform()) + ",\n";
    j += "  \"notchlog_exe\": " + JsonString(Narrow(o.notchlog)) + ",\n";
    j += "  \"bare_exe\": " + JsonString(Narrow(o.bare)) + "\n";
    j += "}\n";
    FILE* f = _wfopen(o.json.c_str(), L"wb");
    if (!f) Fail("cannot write " + Narrow(o.json));
    const bool written = std::fwrite(j.data(), 1, j.size(), f) == j.size();
    if (std::fclose(f) != 0 || !written) Fail("cannot write " + Narrow(o.json));
    std::printf("wrote %s\n", Narrow(o.json).c_str());
}

int Run(const Options& o) {
    if (!FileExists(o.notchlog)) Fail("Notchlog.exe not found at " + Narrow(o.notchlog) + " (set NOTCHLOG_EXE)");
    if (!FileExists(o.bare)) Fail("the bare window process not found at " + Narrow(o.bare));
    std::printf("Notchlog message-path benchmark: %s build on %s, %d rounds\n", Arch(), Platform().c_str(), o.rounds);
    std::printf("  Notchlog: %s\n  bare:     %s\n", Narrow(o.notchlog).c_str(), Narrow(o.bare).c_str());
    std::fflush(stdout);

    Results r;
    const Loads loads = Calibrate(o, r);
    std::printf("  messages per drain: floor %d, filtered %d, logged %d, wheel %d, growth %d\n", r.nFloor,
                r.nFiltered, r.nLogged, r.nWheel, r.nLogged);
    std::fflush(stdout);

    // One Notchlog with the large log serves every round: it is filled once.
    Target nlLarge(o.notchlog, kNotchlogClass, "Notchlog with the large log");
    nlLarge.Launch();
    MeasureMemory(o, nlLarge, r);
    const double markerLarge = MarkerUs(nlLarge, true);

    for (int round = 0; round < o.rounds; ++round) {
        std::printf("  round %d/%d ...", round + 1, o.rounds);
        std::fflush(stdout);
        const double t0 = NowUs();
        MeasureRound(o, loads, round, nlLarge, markerLarge, r);
        std::printf(" %.0f s\n", (NowUs() - t0) / 1e6);
        std::fflush(stdout);
    }
    nlLarge.Close();

    PrintReport(o, r);
    if (!o.json.empty()) WriteJson(o, r);
    return 0;
}

}  // namespace
}  // namespace nlbench

int wmain(int argc, wchar_t** argv) {
    const nlbench::Options options = nlbench::ParseOptions(argc, argv);
    try {
        return nlbench::Run(options);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "\nnotchlog_bench: measuring failed: %s\n", e.what());
        return 1;
    }
}
