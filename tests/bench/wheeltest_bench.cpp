// notchlog_wheeltest_bench.exe [--json FILE]: how long the whole wheel test
// takes against a standard list box in a process of its own, from starting
// Notchlog.exe --test-target ... --test-report ... to its exit, over a few
// runs. Reports the median against its goal; exits with 0 when it could
// measure (every run wrote a report that found no fault).
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

int Run(const std::wstring& json) {
    using namespace nle2e;
    std::vector<double> seconds;
    for (int i = 0; i < kRuns; ++i) {
        WheelTarget target(WheelTargetKind::List);
        LARGE_INTEGER frequency{}, start{}, end{};
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&start);
        const WheelTestReport report = RunWheelTestScript(L"--test-target " + HexSpec(target.Window()));
        ::QueryPerformanceCounter(&end);
        if (report.exitCode > 1) throw DriverError("the wheel test could not test: " + report.LastLine());
        seconds.push_back(static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    }
    std::sort(seconds.begin(), seconds.end());
    const double median = seconds[seconds.size() / 2];
    std::printf("%-22s %8.3f s   (%.3f..%.3f, %d runs against a list box)  goal %g  %s\n", "wheeltest.seconds", median,
                seconds.front(), seconds.back(), kRuns, kGoalSeconds, median <= kGoalSeconds ? "PASS" : "MISS");
    FILE* out = _wfopen(json.c_str(), L"wb");
    if (!out) throw DriverError("cannot write " + Narrow(json));
    std::fprintf(out, "{\n  \"pass.wheeltest.seconds\": %s,\n  \"wheeltest.seconds\": %.6g\n}\n",
                 median <= kGoalSeconds ? "true" : "false", median);
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
