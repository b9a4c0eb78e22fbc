// Measures Notchlog's message path side by side with a bare window process
// (bench_bare_window.exe) and reports the figures against the program's goals.
// A drain gives the cost per message: the target's GUI thread is suspended, N
// messages and an end marker are posted to its main window, the thread is
// resumed, and the clock runs until the target is done (see Target::Done; for
// Notchlog its last refresh counts). Every ratio compares figures measured
// alternately in the same round; a second bare process measured against the
// first shows the method's resolution. The benchmark reports and does not
// judge: it exits with 0 when everything was measured, whatever the verdicts.
#include <windows.h>
#include <mmsystem.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <numeric>
#include <utility>

#include "driver/driver.h"

#include <commctrl.h>

namespace {

using namespace nle2e;

constexpr UINT kLogged = WM_APP + 1;  // forwarded to DefWindowProc; Notchlog logs it
constexpr UINT kFill = WM_APP + 2;
constexpr UINT kPlatformRefresh = WM_APP + 0x100;  // the bare process: one refresh like Notchlog's
constexpr UINT kPlatformOps = WM_APP + 0x101;      // and the platform's cost of Notchlog's per-message calls
constexpr UINT kCaptureFloor = WM_APP + 0x102;     // and capture as Notchlog's, doing nothing
constexpr int kDrainPosts = 8000;                  // a posted-message queue holds about 10,000
constexpr int kStreamPerSecond = 250, kStreamMs = 2000;
constexpr std::size_t kSmallLog = 1000, kLargeLog = 100000;
constexpr int kRecordedEvents = 100000;  // for the memory per recorded wheel event
constexpr int kFloodEvents = 10000, kRoundTrips = 200;  // capture: the flood and the SendInput samples
constexpr int kCaptureCheck = 207;  // the analysis window's "Capture all wheel input"
int g_rounds = 5;
bool g_steadyOnly = false;  // --only steady: just the steady streams, for quick comparisons
std::wstring g_json = L"bench.json", g_bareExe;

double NowMs() {
    LARGE_INTEGER count{}, frequency{};
    ::QueryPerformanceCounter(&count), ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Polls without a message loop (the benchmark has no windows), sleeping in
// between so that the CPUs stay with the measured process.
template <typename Condition>
void Await(Condition&& condition, const char* what, DWORD pollMs = 2) {
    for (const double end = NowMs() + 60000; !condition(); ::Sleep(pollMs))
        if (NowMs() > end) throw DriverError(std::string(what) + ": timed out");
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? NAN : (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2;
}

bool NothingToPaint(HWND main) {
    bool pending = ::GetUpdateRect(main, nullptr, FALSE);
    for (HWND c = ::GetWindow(main, GW_CHILD); c && !pending; c = ::GetWindow(c, GW_HWNDNEXT))
        pending = ::GetUpdateRect(c, nullptr, FALSE);
    return !pending;
}

// A process's CPU time, added up over its threads: for another process,
// Wine 8's GetProcessTimes reports several times what Linux counts in
// /proc/PID/stat, while GetThreadTimes agrees with it.
double CpuMs(HANDLE process) {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) ThrowLastError("CreateToolhelp32Snapshot");
    THREADENTRY32 te{};
    te.dwSize = sizeof te;
    auto ms = [](const FILETIME& t) { return (4294967296.0 * t.dwHighDateTime + t.dwLowDateTime) / 1e4; };
    double sum = 0;
    for (BOOL more = ::Thread32First(snapshot, &te); more; more = ::Thread32Next(snapshot, &te)) {
        const HANDLE thread = te.th32OwnerProcessID == ::GetProcessId(process)
                                  ? ::OpenThread(THREAD_QUERY_INFORMATION, FALSE, te.th32ThreadID) : nullptr;
        FILETIME created, exited, kernel, user;
        if (thread && ::GetThreadTimes(thread, &created, &exited, &kernel, &user)) sum += ms(kernel) + ms(user);
        if (thread) ::CloseHandle(thread);
    }
    ::CloseHandle(snapshot);
    return sum;
}

// The --wheel-csv file of a Notchlog that records to one; fresh for each.
std::wstring WheelCsvPath(bool fresh) {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"notchlog-bench-wheel.csv";
    if (fresh) ::DeleteFileW(path.c_str());
    return path;
}

// Notchlog, through the end-to-end driver's launcher, or the bare process.
// Notchlog may record to a CSV file with its analysis window open.
struct Target {
    explicit Target(bool notchlog, bool recording = false) {
        if (notchlog) {
            nl = std::make_unique<Notchlog>(recording ? L"--analysis --wheel-csv \"" + WheelCsvPath(true) + L"\"" : L"");
            process = nl->Process(), main = nl->Main();
            if (recording && !WaitUntil([&] { return (analysis = ShownWindowOf(nl->Pid(), L"NotchlogAnalysis")); }))
                throw DriverError("the analysis window never showed");
            if (analysis) {  // in the screen's far corner, clear of the main windows where it fits
                list = ::FindWindowExW(analysis, nullptr, L"SysListView32", nullptr);
                RECT r{};
                ::GetWindowRect(analysis, &r);
                ::SetWindowPos(analysis, nullptr, ::GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left),
                               ::GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top), 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
        } else {
            std::wstring commandLine = L"\"" + g_bareExe + L"\"";
            STARTUPINFOW si{};
            si.cb = sizeof si;
            PROCESS_INFORMATION pi{};
            if (!::CreateProcessW(g_bareExe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &si, &pi))
                ThrowLastError("starting " + Narrow(g_bareExe));
            ::CloseHandle(pi.hThread);
            process = pi.hProcess;
            WaitUntil([&] { return (main = ShownWindowOf(pi.dwProcessId, L"NotchlogBenchBare")) != nullptr; });
            if (!main) ::TerminateProcess(process, 1), throw DriverError("the bare process showed no window");
            Send(main, WM_NULL);
        }
        const DWORD threadId = ::GetWindowThreadProcessId(main, nullptr);
        thread = ::OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, threadId);
        if (!thread) ThrowLastError("OpenThread");
    }
    ~Target() {
        try { Close(); } catch (...) {}  // the launcher ends Notchlog by its handle
        ::CloseHandle(thread);
        if (!nl) ::CloseHandle(process);
    }
    void Close() {  // as a user would
        if (nl && nl->Running()) nl->Close();
        if (!nl && ::PostMessageW(main, WM_CLOSE, 0, 0) && ::WaitForSingleObject(process, 10000) != WAIT_OBJECT_0)
            ::TerminateProcess(process, 1);
    }
    std::size_t Lines() const { return nl ? nl->LogCount() : 0; }
    void PostMarker(std::size_t linesNow) {
        minLines = linesNow + 1;
        Post(main, Notchlog::kMarker, static_cast<WPARAM>(serial = serial % 30000 + 1));
    }

    // All handled is on screen: for Notchlog the newest line is selected
    // (its refresh has run), and no window waits to be painted.
    bool Shown() const {
        const HWND log = nl ? nl->Control(kMessageLog) : nullptr;
        return (!log || Send(log, LB_GETCURSEL) + 1 == Send(log, LB_GETCOUNT)) && NothingToPaint(main);
    }
    // The last marker is handled and all is shown. Notchlog's last line is
    // read only once its count has grown and stopped growing: while the
    // target works, a poll costs it one short message.
    bool Done() {
        if (!nl) return ::GetWindowLongPtrW(main, GWLP_USERDATA) == serial && NothingToPaint(main);
        const std::size_t count = nl->LogCount();
        if (count < minLines || count != std::exchange(lastCount, count)) return false;
        const std::wstring tag = Format(L"\tuMsg=%X wHi=0 wLo=%d ", Notchlog::kMarker, serial);
        return nl->Log(count - 1).front().find(tag) != std::wstring::npos && Shown() &&
               (!analysis || NothingToPaint(analysis));
    }
    // The windows overlap and a covered part is not painted: the target is
    // brought to the top, then waited for until it is done.
    void Settle() {
        ::SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        PostMarker(Lines());
        Await([&] { return Done(); }, "settling");
    }
    // What Notchlog's last refresh took, as its message-only refresh window answers.
    double LastRefreshUs() {
        static const UINT costQuery = ::RegisterWindowMessageW(L"NotchlogRefreshCost");
        for (HWND w = nullptr; !refresher && (w = ::FindWindowExW(HWND_MESSAGE, w, L"NotchlogRefresh", L"main"));) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(w, &owner);
            if (owner == nl->Pid()) refresher = w;
        }
        if (!refresher) return NAN;  // a build of Notchlog from before it had one
        return static_cast<double>(Send(refresher, costQuery));
    }

    std::unique_ptr<Notchlog> nl;
    HANDLE process = nullptr, thread = nullptr;
    HWND main = nullptr, refresher = nullptr, analysis = nullptr, list = nullptr;
    int serial = 0;
    std::size_t lastCount = 0, minLines = 0;
};

// Figures by key, one a round: the best of its samples there (other work only ever slows one down).
std::map<std::string, std::vector<double>> g_figures;
void Record(const std::string& key, double v) { g_figures[key].push_back(v); }

// One notch back, one forward, and so on: the scroll bar moves on every message.
WPARAM WheelWp(int i) { return MAKEWPARAM(0, static_cast<WORD>(i % 2 ? WHEEL_DELTA : -WHEEL_DELTA)); }

// Microseconds per message of a drain of n messages `msg` (logged: by Notchlog).
double DrainUs(Target& t, UINT msg, LPARAM lp, bool logged, int n = kDrainPosts) {
    t.Settle();
    const std::size_t before = t.Lines();
    if (::SuspendThread(t.thread) == static_cast<DWORD>(-1)) ThrowLastError("SuspendThread");
    struct Resume { HANDLE h; ~Resume() { if (h) ::ResumeThread(h); } } resume{t.thread};
    CONTEXT context{};
    context.ContextFlags = CONTEXT_CONTROL;
    if (!::GetThreadContext(t.thread, &context)) ThrowLastError("GetThreadContext");  // it has stopped
    for (int i = 0; i < n; ++i) Post(t.main, msg, msg == WM_MOUSEWHEEL ? WheelWp(i) : 0, lp);
    t.PostMarker(before);
    const double t0 = NowMs();
    ::ResumeThread(std::exchange(resume.h, nullptr));
    Await([&] { return t.Done(); }, "a drain");
    const double us = (NowMs() - t0) * 1000 / n;
    const std::size_t grown = t.Lines() - before, expected = (logged ? n : 0) + 1;
    if (t.nl && grown != expected)
        throw DriverError("a drain grew the log by " + std::to_string(grown) + ", not " + std::to_string(expected));
    return us;
}

// Empties Notchlog's log (but for the click's own line), then grows it to
// `lines` lines. The list is hidden meanwhile, which spares its painting:
// 100,000 lines take seconds instead of minutes.
void RefillLog(Target& nl, std::size_t lines, bool clear) {
    const HWND log = nl.nl->Control(kMessageLog);
    const LPARAM clearButton = reinterpret_cast<LPARAM>(nl.nl->Control(kClearLogButton));
    if (clear) Post(nl.main, WM_COMMAND, MAKEWPARAM(kClearLogButton, BN_CLICKED), clearButton);
    Await([&] { return !clear || nl.Lines() <= 1; }, "clearing the log");
    ::ShowWindow(log, SW_HIDE);
    for (std::size_t count; (count = nl.Lines()) < lines;) {
        const std::size_t batch = std::min<std::size_t>(lines - count, kDrainPosts);
        for (std::size_t i = 0; i < batch; ++i) Post(nl.main, kFill, i);
        Await([&] { return nl.Lines() >= count + batch; }, "filling the log", 20);
    }
    ::ShowWindow(log, SW_SHOWNA);
    nl.Settle();
}

double PrivateBytes(HANDLE process) {  // Wine leaves PrivateUsage at 0 and gives the commit charge as PagefileUsage
    PROCESS_MEMORY_COUNTERS_EX pm{};
    if (!::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pm), sizeof pm))
        ThrowLastError("GetProcessMemoryInfo");
    return static_cast<double>(pm.PrivateUsage ? pm.PrivateUsage : pm.PagefileUsage);
}

// WM_MOUSEWHEEL posted one at a time, kStreamPerSecond a second, then a
// marker: lines lost, the lag from the last message until the marker is
// done, and the share of one CPU the target used. For Notchlog, its last
// refresh's cost is sampled after every 25th message.
void SteadyStream(Target& t, LPARAM lp, std::vector<double>& refreshUs, const std::string& nlSuffix = "") {
    t.Settle();
    const std::size_t before = t.Lines();
    const int n = kStreamPerSecond * kStreamMs / 1000;
    const double cpu0 = CpuMs(t.process), t0 = NowMs();
    for (int i = 0; i < n; ++i) {
        const double due = t0 + 1000.0 * i / kStreamPerSecond;
        while (NowMs() < due) ::Sleep(1);  // not spinning: the target may share this CPU
        Post(t.main, WM_MOUSEWHEEL, WheelWp(i), lp);
        if (const double us = t.nl && i % 25 == 24 ? t.LastRefreshUs() : NAN; !std::isnan(us)) refreshUs.push_back(us);
    }
    const double last = NowMs();
    t.PostMarker(before);
    Await([&] { return t.Done(); }, "the end of a stream", 1);
    const double end = NowMs();
    const std::string suffix = t.nl ? nlSuffix : "_bare";
    if (t.nl) Record("steady.lines_lost" + suffix, double(n + 1) - double(t.Lines() - before));
    Record("steady.lag_ms" + suffix, end - last);
    Record("steady.cpu_share" + suffix, (CpuMs(t.process) - cpu0) / (end - t0));
}

// From CreateProcess until the window is shown, the message loop has
// answered and all is painted; for Notchlog, also its last refresh's cost.
double StartupMs(bool notchlog) {
    const double t0 = NowMs();
    Target t(notchlog);
    Await([&] { return t.Shown(); }, "the first paint");
    const double ms = NowMs() - t0;
    if (notchlog) Record("startup_ms.last_refresh", t.LastRefreshUs() / 1000);
    return ms;
}

// A case and its reference, alternately: per-round figures and their ratio.
template <typename Sample>
void Compare(const std::string& ratio, const std::string& a, const std::string& b, int n, bool aFirst, Sample&& sample,
             bool byMedian = false) {
    std::vector<double> v[2];
    for (int i = 0; i < 2 * n; ++i) {
        const bool isA = (i % 4 == 0 || i % 4 == 3) == aFirst;  // a b b a: a steady drift hits both alike
        v[isA].push_back(sample(isA, i / 2));
    }
    const double fa = byMedian ? Median(v[1]) : *std::min_element(v[1].begin(), v[1].end());
    const double fb = byMedian ? Median(v[0]) : *std::min_element(v[0].begin(), v[0].end());
    Record(a, fa), Record(b, fb), Record(ratio, fa / fb);
}

void InjectWheel(int delta, int count = 1) {
    std::vector<INPUT> inputs(static_cast<std::size_t>(count));
    for (INPUT& in : inputs) {
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = MOUSEEVENTF_WHEEL;
        in.mi.mouseData = static_cast<DWORD>(delta);
    }
    if (::SendInput(static_cast<UINT>(count), inputs.data(), sizeof(INPUT)) != static_cast<UINT>(count))
        ThrowLastError("SendInput");
}

// The hook rows of the recording's CSV file, and the events its lost rows count.
std::pair<int, int> CapturedRows(const std::wstring& path) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return {0, 0};
    int rows = 0, lost = 0;
    for (char line[512]; std::fgets(line, sizeof line, f);) {
        const auto fields = Split(std::wstring(line, line + std::strlen(line)), L",");
        if (fields.size() < 14 || fields[4] != L"hook") continue;
        if (fields[13] == L"lost") lost += _wtoi(fields[6].c_str());
        else ++rows;
    }
    std::fclose(f);
    return {rows, lost};
}

// SendInput's round trip over an empty part of the desktop: the median of
// kRoundTrips notches, spaced as a user's are.
double RoundTripUs() {
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 5, 5);
    std::vector<double> us;
    for (int i = 0; i < kRoundTrips; ++i) {
        const double t0 = NowMs();
        InjectWheel(i % 2 ? WHEEL_DELTA : -WHEEL_DELTA);
        us.push_back((NowMs() - t0) * 1000);
        ::Sleep(1);
    }
    return Median(us);
}

// Capture's cost to the desktop against the platform's own, in every round:
// the round trip with nothing capturing, with Notchlog's capture on, and
// with the bare process capturing the same way while doing nothing with
// what it gets (the floor), in the order off, on, floor, floor, on, off.
void MeasureCaptureCost(Target& rec, Target& floor) {
    const HWND check = ::GetDlgItem(rec.analysis, kCaptureCheck);
    std::vector<double> us[3];  // off, on, floor
    for (int i = 0; i < 6; ++i) {
        const int mode = i < 3 ? i : 5 - i;
        if ((Send(check, BM_GETCHECK) == BST_CHECKED) != (mode == 1)) Send(check, BM_CLICK);
        if (!Send(floor.main, kCaptureFloor, mode == 2)) throw DriverError("the floor could not take raw input");
        us[mode].push_back(RoundTripUs());
    }
    Send(floor.main, kCaptureFloor, 0);
    const double off = Median(us[0]), on = Median(us[1]), floorOn = Median(us[2]);
    Record("capture.send_input_us_off", off), Record("capture.send_input_us_on", on);
    Record("capture.send_input_us_floor", floorOn);
    Record("capture.hook_added_us", on - off), Record("platform.capture_floor_added_us", floorOn - off);
    Record("capture.added_ratio", (on - off) / (floorOn - off));
}

// A flood with capture on: every event recorded once by the hook, and how
// soon the GUI answers.
void MeasureCaptureFlood(Target& rec) {
    const HWND check = ::GetDlgItem(rec.analysis, kCaptureCheck);
    if (Send(check, BM_GETCHECK) != BST_CHECKED) Send(check, BM_CLICK);
    rec.Settle();
    const std::wstring csv = WheelCsvPath(false);
    const int before = CapturedRows(csv).first;
    for (int sent = 0; sent < kFloodEvents; sent += 100) InjectWheel(WHEEL_DELTA, 100);
    const double t0 = NowMs();
    rec.PostMarker(rec.Lines());
    Await([&] { return rec.Done(); }, "the marker after the flood", 1);
    Record("capture.flood_marker_ms", NowMs() - t0);
    std::pair<int, int> seen;
    Await([&] { return (seen = CapturedRows(csv)).first - before + seen.second >= kFloodEvents; }, "the flood's rows", 50);
    Record("capture.lost", kFloodEvents - (seen.first - before));
    Send(check, BM_CLICK);  // off
}

// The platform calls of one wheel message, in the bare process's order
// (PlatformOp): each is timed there alone.
const char* const kPlatformCalls[] = {"platform.log_line_us",     "platform.window_from_point_us",
                                      "platform.keyboard_state_us", "platform.class_name_us",
                                      "platform.window_rect_us",   "platform.scroll_bar_us",
                                      "platform.message_queries_us"};

void Round(int round, Target& nlLarge) {
    const bool forward = round % 2 == 0;
    Compare("ratios.startup", "startup_ms.notchlog", "startup_ms.bare", 3, forward,
            [](bool nl, int) { return StartupMs(nl); });

    Target bare(false), bare2(false), nl(true);
    const POINT green = CentreOf(nl.nl->Control(kWheelHitArea));  // screen coordinates
    POINT client = green;
    ::ScreenToClient(nl.main, &client);
    const LPARAM wheelLp = MAKELPARAM(green.x, green.y), moveLp = MAKELPARAM(client.x, client.y);
    struct Case { const char* key; Target* target; UINT msg; LPARAM lp; bool logged; };
    Case cases[] = {{"logged", &nl, kLogged, 0, true},
                    {"filtered", &nl, WM_MOUSEMOVE, moveLp, false},
                    {"wheel", &nl, WM_MOUSEWHEEL, wheelLp, true},
                    {"method_check", &bare2, kLogged, 0, false}};
    if (!forward) std::reverse(std::begin(cases), std::end(cases));
    for (const Case& c : cases)  // against the bare process's floor for the same message
        Compare(std::string("ratios.") + c.key, std::string("us_per_message.") + c.key,
                std::string("us_per_message.floor_") + c.key, 2, !forward, [&](bool isCase, int) {
                    return DrainUs(isCase ? *c.target : bare, c.msg, c.lp, isCase && c.logged);
                });
    // The same with Notchlog's log hidden, which spares painting it: what the rest costs.
    ::ShowWindow(nl.nl->Control(kMessageLog), SW_HIDE);
    for (const Case& c : cases) {
        if (c.target != &nl || !c.logged) continue;
        const double us = DrainUs(nl, c.msg, c.lp, true);  // one sample: this only explains the others
        const std::string key = c.key;
        Record("us_per_message.log_hidden_" + key, us);
        Record("ratios.log_hidden_" + key, us / g_figures["us_per_message.floor_" + key].back());
    }
    ::ShowWindow(nl.nl->Control(kMessageLog), SW_SHOWNA);
    Compare("ratios.sent_wheel", "sent_wheel_us.notchlog", "sent_wheel_us.bare", 15, forward, [&](bool isNl, int i) {
        Target& t = isNl ? nl : bare;
        t.Settle();
        ::Sleep(50);  // input spacing: a lone notch reaches a target that has idled, as a user's does
        const double t0 = NowMs();
        Send(t.main, WM_MOUSEWHEEL, WheelWp(i), wheelLp);
        return (NowMs() - t0) * 1000;
    }, true);

    std::vector<double> refreshUs, platformUs;
    SteadyStream(forward ? nl : bare, wheelLp, refreshUs);
    SteadyStream(forward ? bare : nl, wheelLp, refreshUs);
    Record("steady.refresh_ms", Median(refreshUs) / 1000);
    bare.Settle();  // on top, so that all of its refresh is painted
    for (int i = 0; i <= 20; ++i) platformUs.push_back(static_cast<double>(Send(bare.main, kPlatformRefresh)));
    platformUs.erase(platformUs.begin());  // the first one made the controls
    Record("platform.refresh_ms", Median(platformUs) / 1000);
    const POINT bareCentre = CentreOf(bare.main);  // over the bare window, as the wheel's point is over Notchlog's
    double calls = 0;  // what the platform's share of one wheel message comes to
    for (std::size_t op = 0; op < std::size(kPlatformCalls); ++op) {
        const double us = Send(bare.main, kPlatformOps, op, MAKELPARAM(bareCentre.x, bareCentre.y)) / 100.0;
        Record(kPlatformCalls[op], us);
        calls += us;
    }
    Record("platform.wheel_calls_us", calls);
    Record("us_per_message.wheel_own", g_figures["us_per_message.wheel"].back() -
                                           g_figures["us_per_message.floor_wheel"].back() - calls);
    bare2.Close();

    // The wheel path again while every event is also recorded, streamed to a
    // file and listed in the open analysis window.
    Target rec(true, true);
    Compare("ratios.wheel_recording", "us_per_message.wheel_recording", "us_per_message.wheel_plain", 2, forward,
            [&](bool isRec, int) { return DrainUs(isRec ? rec : nl, WM_MOUSEWHEEL, wheelLp, true); });
    std::vector<double> unused;
    SteadyStream(rec, wheelLp, unused, "_analysis");
    if (round == 0) {  // memory per recorded event: wheel messages to the analysis window, which logs nothing
        const double bytes0 = PrivateBytes(rec.process);
        const LRESULT count0 = Send(rec.list, LVM_GETITEMCOUNT);
        for (int done = 0; done < kRecordedEvents; done += kDrainPosts) {
            const int batch = std::min(kDrainPosts, kRecordedEvents - done);
            for (int i = 0; i < batch; ++i) Post(rec.analysis, WM_MOUSEWHEEL, WheelWp(i), wheelLp);
            Await([&] { return Send(rec.list, LVM_GETITEMCOUNT) >= count0 + done + batch; }, "recording events", 20);
        }
        Record("analysis.bytes_per_event", (PrivateBytes(rec.process) - bytes0) / kRecordedEvents);
    }
    MeasureCaptureCost(rec, bare);
    if (round == 0) MeasureCaptureFlood(rec);
    rec.Close(), bare.Close();

    // Logging with a log of 1,000 lines and with one of 100,000 lines (and
    // more: the drains add to it).
    Compare("ratios.growth", "us_per_message.logged_large_log", "us_per_message.logged_small_log", 2, !forward,
            [&](bool large, int) {
                if (!large) RefillLog(nl, kSmallLog, true);
                return DrainUs(large ? nlLarge : nl, kLogged, 0, true);
            });
}

struct Goal {  // notchlog, reference: figures shown beside the value; limit NAN: no verdict
    const char *key, *what, *notchlog, *reference;
    double limit;
};
const Goal kGoals[] = {
    {"ratios.logged", "WM_APP+1 posted, us/msg", "us_per_message.logged", "us_per_message.floor_logged", 1.2},
    {"ratios.filtered", "WM_MOUSEMOVE posted", "us_per_message.filtered", "us_per_message.floor_filtered", NAN},
    {"ratios.wheel", "WM_MOUSEWHEEL posted", "us_per_message.wheel", "us_per_message.floor_wheel", 2.6},
    {"platform.wheel_calls_us", "platform: a wheel's calls", nullptr, nullptr, NAN},
    {"us_per_message.wheel_own", "wheel - floor - calls, us", nullptr, nullptr, NAN},
    {"ratios.log_hidden_logged", "logged, log hidden", "us_per_message.log_hidden_logged", nullptr, NAN},
    {"ratios.log_hidden_wheel", "wheel, log hidden", "us_per_message.log_hidden_wheel", nullptr, NAN},
    {"ratios.method_check", "bare2 / bare", "us_per_message.method_check", "us_per_message.floor_method_check", NAN},
    {"ratios.sent_wheel", "WM_MOUSEWHEEL sent, us", "sent_wheel_us.notchlog", "sent_wheel_us.bare", 2.0},
    {"ratios.startup", "start-up, ms", "startup_ms.notchlog", "startup_ms.bare", 1.3},
    {"ratios.growth", "100k- / 1k-line log", "us_per_message.logged_large_log", "us_per_message.logged_small_log", 1.2},
    {"memory_bytes_per_line", "private bytes, 100k lines", nullptr, nullptr, 200},
    {"steady.lines_lost", "all rounds together", nullptr, nullptr, 0},
    {"ratios.wheel_recording", "wheel, recorded + analysis", "us_per_message.wheel_recording", "us_per_message.wheel_plain", 1.1},
    {"analysis.bytes_per_event", "private bytes, 100k events", nullptr, nullptr, 64},
    {"steady.lines_lost_analysis", "analysis open, all rounds", nullptr, nullptr, 0},
    {"steady.lag_ms_analysis", "analysis open: last to shown", "steady.lag_ms_analysis", "steady.lag_ms_bare", 100},
    {"steady.cpu_share_analysis", "analysis open: of one CPU", "steady.cpu_share_analysis", "steady.cpu_share_bare", 0.25},
    {"capture.added_ratio", "capture's added / floor's", "capture.hook_added_us", "platform.capture_floor_added_us", 1.2},
    {"capture.hook_added_us", "SendInput, capture on - off", "capture.send_input_us_on", "capture.send_input_us_off", NAN},
    {"capture.lost", "flood of 10,000, hook rows", nullptr, nullptr, 0},
    {"capture.flood_marker_ms", "marker after the flood", nullptr, nullptr, 100},
    {"steady.lag_ms", "last message to shown", "steady.lag_ms", "steady.lag_ms_bare", 100},
    {"steady.cpu_share", "of one CPU", "steady.cpu_share", "steady.cpu_share_bare", 0.25},
    {"steady.refresh_ms", "one refresh; ref: platform", "steady.refresh_ms", "platform.refresh_ms", NAN},
    {"platform.log_line_us", "platform: add one log line", nullptr, nullptr, NAN},
    {"platform.window_from_point_us", "platform: WindowFromPoint", nullptr, nullptr, NAN},
    {"platform.keyboard_state_us", "platform: GetKeyboardState", nullptr, nullptr, NAN},
    {"platform.class_name_us", "platform: GetClassNameA", nullptr, nullptr, NAN},
    {"platform.window_rect_us", "platform: GetWindowRect", nullptr, nullptr, NAN},
    {"platform.scroll_bar_us", "platform: scroll bar's calls", nullptr, nullptr, NAN},
    {"platform.message_queries_us", "platform: message queries", nullptr, nullptr, NAN},
};

double Value(const std::string& key) {  // lines lost add up; the rest is the median over the rounds
    const auto& v = g_figures.at(key);
    return key.rfind("steady.lines_lost", 0) == 0 ? std::accumulate(v.begin(), v.end(), 0.0) : Median(v);
}

void Report() {
    FILE* json = _wfopen(g_json.c_str(), L"wb");
    if (!json) throw DriverError("cannot write " + Narrow(g_json));
    std::fprintf(json, "{\n");
    std::printf("\n%-22s %-27s  Notchlog reference    value  rounds: min..max limit  verdict\n", "goal", "measured");
    for (const Goal& g : kGoals) {
        if (!g_figures.count(g.key)) continue;  // not measured in this run
        const auto [min, max] = std::minmax_element(g_figures.at(g.key).begin(), g_figures.at(g.key).end());
        const bool judged = !std::isnan(g.limit), pass = Value(g.key) <= g.limit;
        std::printf("%-22s %-27s", g.key, g.what);
        for (const char* figure : {g.notchlog, g.reference})
            figure ? std::printf(" %9.4g", Value(figure)) : std::printf(" %9s", "");
        std::printf(" %8.3f %8.3f..%-7.3f ", Value(g.key), *min, *max);
        judged ? std::printf("%5g  %s\n", g.limit, pass ? "PASS" : "MISS") : std::printf("\n");
        if (judged) std::fprintf(json, "  \"pass.%s\": %s,\n", g.key, pass ? "true" : "false");
    }
    for (const auto& figure : g_figures)
        std::fprintf(json, "  \"%s\": %.6g,\n", figure.first.c_str(), Value(figure.first));
    std::fprintf(json, "  \"rounds\": %d\n}\n", g_rounds);
    if (std::fclose(json) != 0) throw DriverError("cannot write " + Narrow(g_json));
    std::printf("wrote %s\n", Narrow(g_json).c_str());
}

// The steady streams alone, with the analysis window open and its list
// filled the way a round of the whole benchmark fills it, then without it.
void RunSteady() {
    for (int round = 0; round < g_rounds; ++round) {
        std::vector<double> refreshUs;
        {
            Target rec(true, true);
            const POINT green = CentreOf(rec.nl->Control(kWheelHitArea));
            const LPARAM wheelLp = MAKELPARAM(green.x, green.y);
            for (int i = 0; i < 2; ++i) DrainUs(rec, WM_MOUSEWHEEL, wheelLp, true);
            SteadyStream(rec, wheelLp, refreshUs, "_analysis");
        }
        Target bare(false), nl(true);
        const POINT green = CentreOf(nl.nl->Control(kWheelHitArea));
        SteadyStream(nl, MAKELPARAM(green.x, green.y), refreshUs);
        SteadyStream(bare, MAKELPARAM(green.x, green.y), refreshUs);
        std::printf("  round %d/%d: analysis lag %.0f ms, cpu %.3f\n", round + 1, g_rounds,
                    g_figures["steady.lag_ms_analysis"].back(), g_figures["steady.cpu_share_analysis"].back());
        std::fflush(stdout);
    }
    Report();
}

void Run() {
    if (g_steadyOnly) return RunSteady();
    std::printf("Notchlog message-path benchmark, %d rounds, %d messages per drain\n", g_rounds, kDrainPosts);
    ::timeBeginPeriod(1);
    // One Notchlog with the large log serves every round; filling it gives the memory per line.
    Target nlLarge(true);
    const double lines0 = static_cast<double>(nlLarge.Lines()), bytes0 = PrivateBytes(nlLarge.process), t0 = NowMs();
    RefillLog(nlLarge, kLargeLog, false);
    const double added = static_cast<double>(nlLarge.Lines()) - lines0;
    Record("memory_bytes_per_line", (PrivateBytes(nlLarge.process) - bytes0) / added);
    std::printf("  filled a log to %zu lines in %.0f s\n", nlLarge.Lines(), (NowMs() - t0) / 1000);
    for (int round = 0; round < g_rounds; ++round) {
        const double r0 = NowMs();
        Round(round, nlLarge);
        std::printf("  round %d/%d: %.0f s\n", round + 1, g_rounds, (NowMs() - r0) / 1000);
        std::fflush(stdout);
    }
    nlLarge.Close();
    Report();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t self[MAX_PATH * 2];
    const std::wstring path(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH * 2));
    g_bareExe = path.substr(0, path.find_last_of(L'\\') + 1) + L"bench_bare_window.exe";
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--rounds" && i + 1 < argc) g_rounds = std::max(1, _wtoi(argv[++i]));
        else if (arg == L"--json" && i + 1 < argc) g_json = WindowsPath(argv[++i]);
        else if (arg == L"--only" && i + 1 < argc && std::wstring(argv[i + 1]) == L"steady") g_steadyOnly = true, ++i;
        else return std::fprintf(stderr, "usage: notchlog_bench [--rounds N] [--only steady] [--json FILE (bench.json)]\n"
                                         "Notchlog.exe is $NOTCHLOG_EXE, else the one at the top of this build.\n"), 2;
    }
    try {
        Run();
        return 0;
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "\nnotchlog_bench: measuring failed: %s\n", e.what());
        return 1;
    }
}
