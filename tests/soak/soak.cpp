// An overnight session in minutes: Notchlog started with --log takes posted
// messages in batches until its message list drops lines (once with the
// default limit, once with none of its own, up to what the system allows),
// then: the program still answers, the notice showed its text, the list
// holds the newest lines in order, and the file holds every message exactly
// once, in order. Prints the figures; exits non-zero when a check fails.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <fstream>

#include "driver/driver.h"

namespace {

using namespace nle2e;

constexpr UINT kNumbered = WM_APP + 7;  // wParam: the message's number
constexpr int kBatch = 8000;            // a posted-message queue holds about 10,000
int g_failures = 0;

// A send that waits out the program's longest pause, dropping the oldest
// of millions of lines (seconds; ten minutes is a program that hangs).
LRESULT Send(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(w, msg, wp, lp, SMTO_NORMAL, 600000, &result))
        ThrowLastError("sending message " + std::to_string(msg));
    return static_cast<LRESULT>(result);
}

void Check(bool ok, const char* what) {
    std::printf("  %s  %s\n", ok ? "ok  " : "FAIL", what);
    g_failures += ok ? 0 : 1;
}

double Seconds(ULONGLONG since) { return static_cast<double>(::GetTickCount64() - since) / 1000; }

double PrivateBytes(HANDLE process) {  // Wine gives the commit charge as PagefileUsage
    PROCESS_MEMORY_COUNTERS_EX pm{};
    pm.cb = sizeof pm;
    ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pm), sizeof pm);
    return static_cast<double>(pm.PrivateUsage ? pm.PrivateUsage : pm.PagefileUsage);
}

// The number of a line of a kNumbered message, or -1.
long long NumberOf(const std::wstring& line) {
    if (LoggedMsg(line) != kNumbered) return -1;
    const long hi = std::wcstol(line.c_str() + line.find(L" wHi=") + 5, nullptr, 10);
    const long lo = std::wcstol(line.c_str() + line.find(L" wLo=") + 5, nullptr, 10);
    return (static_cast<long long>(hi & 0xFFFF) << 16) | (lo & 0xFFFF);
}

std::wstring LineAt(HWND list, std::size_t i) {
    std::wstring line(static_cast<std::size_t>(Send(list, LB_GETTEXTLEN, i)) + 1, L'\0');
    line.resize(static_cast<std::size_t>(std::max<LRESULT>(0, Send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data())))));
    return line;
}

// The numbered lines among list lines [from, to) hold consecutive numbers.
bool Consecutive(HWND list, std::size_t from, std::size_t to, long long& last) {
    long long previous = -1;
    for (std::size_t i = from; i < to; ++i) {
        const long long n = NumberOf(LineAt(list, i));
        if (n < 0) continue;
        if (previous >= 0 && n != previous + 1) return false;
        previous = n;
    }
    last = previous;
    return true;
}

// expectDrop: the list must drop lines before stopAfter messages.
void Soak(const wchar_t* title, const std::wstring& maxLines, long long stopAfter, bool expectDrop = true) {
    std::printf("%ls\n", title);
    const std::wstring file = Format(L"%ls\\notchlog-soak-%lu.log", _wgetenv(L"TEMP"), ::GetCurrentProcessId());
    ::DeleteFileW(file.c_str());
    const ULONGLONG t0 = ::GetTickCount64();
    long long posted = 0, droppedAt = -1;
    std::size_t peak = 0, previousCount = 0;
    double peakBytes = 0;
    std::wstring notice;
    {
        Notchlog app(L"--log \"" + file + L"\"" + maxLines);
        const HWND list = app.Control(kMessageLog);
        int serial = 0;
        while (posted < stopAfter && (droppedAt < 0 || posted < droppedAt + 4 * kBatch)) {
            const ULONGLONG batchStart = ::GetTickCount64();
            for (int i = 0; i < kBatch; ++i, ++posted) Post(app.Main(), kNumbered, static_cast<WPARAM>(posted));
            // A marker after the batch: its line is the newest once the batch is in.
            const std::wstring tag = Format(L"\tuMsg=%X wHi=0 wLo=%d ", Notchlog::kMarker, ++serial % 30000);
            Post(app.Main(), Notchlog::kMarker, static_cast<WPARAM>(serial % 30000));
            std::size_t count = 0;
            const bool done = WaitUntil([&] {
                if (notice.empty())
                    if (HWND box = ShownWindowOf(app.Pid(), L"#32770"); box && ::GetDlgItem(box, 0xFFFF)) {
                        notice = TextOf(::GetDlgItem(box, 0xFFFF));
                        Post(::GetDlgItem(box, IDOK), BM_CLICK);
                    }
                count = static_cast<std::size_t>(Send(list, LB_GETCOUNT));
                // The marker's line is the newest, or nearly: the notice's
                // own messages (activation, focus) may follow it.
                for (std::size_t i = count; i-- > 0 && i + 50 > count;)
                    if (LineAt(list, i).find(tag) != std::wstring::npos) return true;
                return false;
            }, std::chrono::minutes(10));
            if (!done) {
                Check(false, "the program took a batch within ten minutes");
                break;
            }
            if (count < previousCount && droppedAt < 0) {
                droppedAt = posted;
                std::printf("  dropped lines at %zu lines in the list (%lld posted, %.0f s; that batch took %.1f s)\n",
                            previousCount, posted, Seconds(t0), Seconds(batchStart));
            }
            if (count > peak) peak = count, peakBytes = PrivateBytes(app.Process());
            if (posted % 1000000 < kBatch)
                std::printf("  %lld posted, %zu lines, %.0f MB, %.0f s\n", posted, count, PrivateBytes(app.Process()) / 1e6, Seconds(t0));
            previousCount = count;
        }
        const std::size_t count = static_cast<std::size_t>(Send(list, LB_GETCOUNT));
        std::printf("  %lld posted in %.0f s; the list holds %zu lines (at most %zu, %.0f bytes a line)\n", posted,
                    Seconds(t0), count, peak, peakBytes / static_cast<double>(peak));
        if (expectDrop) Check(droppedAt >= 0, "the list dropped lines");
        else Check(droppedAt < 0, "no line dropped: the system's limit lies beyond what this run posts");
        app.Mark();
        Check(true, "the program answers");
        if (expectDrop) {
            Check(notice.find(L"the oldest lines are dropped") != std::wstring::npos, "the notice showed its text");
            std::printf("       notice: %ls\n", notice.c_str());
        }
        long long firstLast = 0, lastLast = 0;
        const bool head = Consecutive(list, 0, std::min<std::size_t>(count, 2000), firstLast);
        const bool tail = Consecutive(list, count - std::min<std::size_t>(count, 2000), count, lastLast);
        Check(head && tail && lastLast == posted - 1, "the list holds the newest lines in order (first and last 2,000 read)");
        Check(app.Close() == 0, "the program closed normally");
    }
    std::ifstream in(file.c_str(), std::ios::binary);
    long long expected = 0;
    bool inOrder = true;
    for (std::string line; std::getline(in, line);) {
        const long long n = NumberOf(std::wstring(line.begin(), line.end()));
        if (n < 0) continue;
        if (n != expected) inOrder = false;
        ++expected;
    }
    Check(inOrder && expected == posted, "the log file holds every message exactly once, in order");
    std::printf("       %lld numbered lines in the file\n", expected);
    in.close();
    ::DeleteFileW(file.c_str());
}

}  // namespace

// NOTCHLOG_SOAK_MAX_LINES: a limit other than the program's default, for a
// shorter run.
int wmain() {
    wchar_t limit[32] = {};
    const long long maxLines = ::GetEnvironmentVariableW(L"NOTCHLOG_SOAK_MAX_LINES", limit, 32) ? _wtoi64(limit) : 5000000;
    const std::wstring option = limit[0] ? Format(L" --max-lines %lld", maxLines) : L"";
    Soak(Format(L"With %ls (%lld lines):", limit[0] ? L"--max-lines" : L"the default limit", maxLines).c_str(), option,
         maxLines * 3 / 2);
    if (sizeof(void*) == 4) {
        Soak(L"With no limit of the list's own (--max-lines 0), to what the system allows:", L" --max-lines 0", 60000000);
    } else {
        // A 64-bit Notchlog's list would take this machine's whole memory
        // before the system refused a line: a fifth past the limit above.
        Soak(L"With no limit of the list's own (--max-lines 0), 64-bit: no line dropped", L" --max-lines 0",
             maxLines * 6 / 5, false);
    }
    std::printf("%s\n", g_failures ? "SOAK FAILED" : "soak passed");
    return g_failures ? 1 : 0;
}
