// notchlog_wheeltest_bench.exe [--json FILE]: how long the whole wheel test
// takes against a standard list box in a process of its own, from starting
// Notchlog.exe --test-target ... --test-report ... to its exit, over a few
// runs; and how soon Notchlog's main window shows a steady stream of wheel
// messages while the same process replays a trace into another window.
// Reports each against its goal; exits with 0 when it could measure (every
// run wrote a report that found no fault).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "driver/wheel_targets.h"
#include "driver/wheel_test_runs.h"

namespace {

constexpr int kRuns = 3;
constexpr double kGoalSeconds = 5;
// The main window's goal for the last message of a steady stream to shown.
constexpr double kGoalLagMs = 100;
constexpr int kStreamPerSecond = 250, kStreamMs = 2000;
constexpr int kReplayEvents = 3000;

double NowMs() {
    LARGE_INTEGER frequency{}, now{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// A trace of sub-notch deltas 1 to 5 ms apart (about 9 s), two down for one
// up (a list scrolls 375 lines in all), as Notchlog's CSV.
std::wstring WriteTrace() {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"notchlog-replay-bench.csv";
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) throw nle2e::DriverError("cannot write the trace");
    std::fprintf(f, "seq,time_ms,msg_time,interval_ms,window,axis,delta,notches,step,truncated,rounded,accumulated,"
                    "carry,source,extra_info,pen_touch,keys,key_mismatch,x,y,pos_x,pos_y,bounce,target,device\r\n");
    for (int i = 0, ms = 0; i < kReplayEvents; ms += 1 + i % 5, ++i)
        std::fprintf(f, "%d,%d.000,,,main,V,%d,,,,,,,injected,00000000,,0000,,,,,,,,\r\n", i + 1, ms, i % 3 == 2 ? 15 : -15);
    std::fclose(f);
    return path;
}

// Notchlog replaying into a target from its wheel test window while its
// main window gets WM_MOUSEWHEEL posted kStreamPerSecond a second: the time
// from the last one to the marker after it being logged.
double LagWhileReplayingMs() {
    using namespace nle2e;
    WheelTarget target(WheelTargetKind::Accumulating);
    const std::wstring trace = WriteTrace();
    Notchlog app(L"--replay \"" + trace + L"\" --test-target " + HexForm(target.Window()));
    if (!WaitUntil([&] { return target.Position() != 0; })) throw DriverError("the replay did not start");
    const LPARAM lp = MAKELPARAM(5, 5);
    const double t0 = NowMs();
    for (int i = 0; i < kStreamPerSecond * kStreamMs / 1000; ++i) {
        while (NowMs() < t0 + 1000.0 * i / kStreamPerSecond) ::Sleep(1);
        Post(app.Main(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(i % 2 ? WHEEL_DELTA : -WHEEL_DELTA)), lp);
    }
    const double last = NowMs();
    app.Mark();
    const double lag = NowMs() - last;
    const bool stillReplaying = target.Position() < kReplayEvents / 3 * 15 * 3 / 120;
    ::DeleteFileW(trace.c_str());
    if (!stillReplaying) throw DriverError("the replay ended before the stream did");
    return lag;
}

int Run(const std::wstring& json) {
    using namespace nle2e;
    std::vector<double> seconds;
    for (int i = 0; i < kRuns; ++i) {
        WheelTarget target(WheelTargetKind::List);
        LARGE_INTEGER frequency{}, start{}, end{};
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&start);
        const WheelTestReport report = RunWheelTestScript(L"--test-target " + HexForm(target.Window()));
        ::QueryPerformanceCounter(&end);
        if (report.exitCode > 1) throw DriverError("the wheel test could not test: " + report.LastLine());
        seconds.push_back(static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    }
    std::sort(seconds.begin(), seconds.end());
    const double median = seconds[seconds.size() / 2];
    std::printf("%-22s %8.3f s   (%.3f..%.3f, %d runs against a list box)  goal %g  %s\n", "wheeltest.seconds", median,
                seconds.front(), seconds.back(), kRuns, kGoalSeconds, median <= kGoalSeconds ? "PASS" : "MISS");
    std::vector<double> lags;
    for (int i = 0; i < kRuns; ++i) lags.push_back(LagWhileReplayingMs());
    std::sort(lags.begin(), lags.end());
    const double lag = lags[lags.size() / 2];
    std::printf("%-22s %8.3f ms  (%.3f..%.3f, %d runs: main window, last of a steady stream to shown)  goal %g  %s\n",
                "replay.main_lag_ms", lag, lags.front(), lags.back(), kRuns, kGoalLagMs, lag <= kGoalLagMs ? "PASS" : "MISS");
    FILE* out = _wfopen(json.c_str(), L"wb");
    if (!out) throw DriverError("cannot write " + Narrow(json));
    std::fprintf(out, "{\n  \"pass.wheeltest.seconds\": %s,\n  \"wheeltest.seconds\": %.6g,\n", median <= kGoalSeconds ? "true" : "false", median);
    std::fprintf(out, "  \"pass.replay.main_lag_ms\": %s,\n  \"replay.main_lag_ms\": %.6g\n}\n",
                 lag <= kGoalLagMs ? "true" : "false", lag);
    if (std::fclose(out) != 0) throw DriverError("cannot write " + Narrow(json));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring json = L"bench-wheeltest.json";
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--json" && i + 1 < argc) json = nle2e::WindowsPath(argv[++i]);
        else return std::fprintf(stderr, "usage: notchlog_wheeltest_bench [--json FILE (bench-wheeltest.json)]\n"), 2;
    }
    try {
        return Run(json);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "notchlog_wheeltest_bench: %s\n", e.what());
        return 1;
    }
}
