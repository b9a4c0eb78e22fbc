// notchlog_target_bench.exe [--json FILE]: what one image reading of the
// wheel test costs: a capture of a 400 x 300 client area from the screen,
// its row fingerprints and the match against the reading before, timed
// over many readings of a target window in a process of its own. Reports
// the median against its goal; exits with 0 when it could measure.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/wheel_test/image_shift.h"
#include "driver/driver.h"
#include "driver/wheel_targets.h"
#include "tested_window/screen_capture.h"
#include "tested_window/tested_window.h"

namespace {

constexpr int kReadings = 300;
constexpr double kGoalMs = 5;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2;
}

int Run(const std::wstring& json) {
    using namespace nle2e;
    WheelTarget target(WheelTargetKind::Pixels);
    nl::TestPlace place;
    const std::string problem = nl::LocateTestPlace(target.Window(), place);
    if (!problem.empty()) throw DriverError(problem);
    nl::ScreenCapture capture;
    nl::PixelImage image;
    if (!capture.Take(place.measured, image)) throw DriverError("the screen could not be read");
    std::printf("image reading of a %d x %d client area, %d readings\n", image.width, image.height, kReadings);
    nl::ImageLines before = nl::RowsOf(image);
    std::vector<double> ms, captureMs;
    for (int i = 0; i < kReadings; ++i) {
        const std::int64_t start = nl::ClockUs();
        if (!capture.Take(place.measured, image)) throw DriverError("the screen could not be read");
        captureMs.push_back(static_cast<double>(nl::ClockUs() - start) / 1000.0);
        nl::ImageLines now = nl::RowsOf(image);
        const auto shift = nl::LineShift(before, now);
        ms.push_back(static_cast<double>(nl::ClockUs() - start) / 1000.0);
        if (shift != 0) throw DriverError("a still window read as moved");
        before = std::move(now);
    }
    const double median = Median(ms);
    const auto [min, max] = std::minmax_element(ms.begin(), ms.end());
    std::printf("%-22s %8.3f ms  (%.3f..%.3f)  goal %g  %s\n", "wheeltest.image_ms", median, *min, *max, kGoalMs,
                median <= kGoalMs ? "PASS" : "MISS");
    std::printf("%-22s %8.3f ms  (the screen capture alone)\n", "", Median(captureMs));
    FILE* out = _wfopen(json.c_str(), L"wb");
    if (!out) throw DriverError("cannot write " + Narrow(json));
    std::fprintf(out, "{\n  \"pass.wheeltest.image_ms\": %s,\n  \"wheeltest.image_ms\": %.6g\n}\n",
                 median <= kGoalMs ? "true" : "false", median);
    if (std::fclose(out) != 0) throw DriverError("cannot write " + Narrow(json));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring json = L"bench-target.json";
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--json" && i + 1 < argc) json = nle2e::WindowsPath(argv[++i]);
        else return std::fprintf(stderr, "usage: notchlog_target_bench [--json FILE (bench-target.json)]\n"), 2;
    }
    try {
        return Run(json);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "notchlog_target_bench: %s\n", e.what());
        return 1;
    }
}
