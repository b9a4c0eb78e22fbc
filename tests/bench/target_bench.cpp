// notchlog_target_bench.exe [--json FILE]: what the wheel test's image
// reading costs over a 400 x 300 client area of a target window in a
// process of its own: a reading of the still window (a capture from the
// screen matched against the one before) and a step of following a
// movement (a capture taken after the window scrolled a notch, matched
// against the last); and a zoom reading: two captures of a zooming window
// already taken, at 100% and a notch later at 125%, read for their scale
// (the captures themselves cost what the screen capture alone does).
// Reports each median against its goal; exits with 0 when it could measure.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/wheel_test/zoom_reading.h"
#include "driver/driver.h"
#include "driver/wheel_targets.h"
#include "tested_window/picture_reader.h"
#include "tested_window/screen_capture.h"
#include "tested_window/tested_window.h"

namespace {

constexpr int kReadings = 300, kSteps = 100, kZoomReadings = 50;
constexpr double kGoalMs = 5, kZoomGoalMs = 20;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2;
}

double MsSince(std::int64_t startUs) { return static_cast<double>(nl::ClockUs() - startUs) / 1000.0; }

// Prints the figure's line; true when its median meets the goal.
bool Report(const char* key, const std::vector<double>& ms, double goalMs = kGoalMs) {
    const double median = Median(ms);
    const auto [min, max] = std::minmax_element(ms.begin(), ms.end());
    std::printf("%-26s %8.3f ms  (%.3f..%.3f)  goal %g  %s\n", key, median, *min, *max, goalMs,
                median <= goalMs ? "PASS" : "MISS");
    return median <= goalMs;
}

// Two captures of a zooming window's client area, a Ctrl notch apart, and
// the zoom reading of them timed.
std::vector<double> ZoomReadings() {
    using namespace nle2e;
    WheelTarget target(WheelTargetKind::Zooms);
    nl::TestPlace place;
    if (const std::string problem = nl::LocateTestPlace(target.Window(), place); !problem.empty()) throw DriverError(problem);
    nl::ScreenCapture capture;
    nl::PixelImage before, after;
    if (!capture.Take(place.measured, before)) throw DriverError("the screen could not be read");
    Post(place.measured, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), MAKELPARAM(place.testPoint.x, place.testPoint.y));
    if (!WaitUntil([&] { return target.Zoom() == 125 && capture.Take(place.measured, after) && !(after == before); }, 5s))
        throw DriverError("the window did not zoom");
    std::vector<double> ms;
    for (int i = 0; i < kZoomReadings; ++i) {
        const std::int64_t start = nl::ClockUs();
        const nl::ZoomRead read = nl::ReadZoom(before, after);
        ms.push_back(MsSince(start));
        if (read.change != nl::ZoomChange::Zoomed || std::abs(read.percent.value_or(0) - 125) > 2)
            throw DriverError("a zoom to 125% read as " + std::to_string(read.percent.value_or(-1)) + "% " + read.reason);
    }
    target.Close();
    return ms;
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
    std::printf("image reading of a %d x %d client area: %d readings, %d steps followed\n", image.width, image.height,
                kReadings, kSteps);
    std::vector<double> captureMs, stillMs, followMs;
    for (int i = 0; i < kReadings; ++i) {
        const std::int64_t start = nl::ClockUs();
        if (!capture.Take(place.measured, image)) throw DriverError("the screen could not be read");
        captureMs.push_back(MsSince(start));
    }
    nl::PictureReader reader(place.measured, false);
    if (!reader.Start().taken) throw DriverError("the screen could not be read");
    for (int i = 0; i < kReadings; ++i) {
        const std::int64_t start = nl::ClockUs();
        const auto read = reader.Next();
        stillMs.push_back(MsSince(start));
        if (read.position != 0) throw DriverError("a still window read as moved");
    }
    // A notch down, then up, and so on; each step timed at the first capture
    // that shows it.
    const int notch = static_cast<int>(Send(target.Window(), WheelTarget::kAskPosition));
    std::int32_t expected = 0;
    for (int step = 0; step < kSteps; ++step) {
        const int delta = step % 2 ? WHEEL_DELTA : -WHEEL_DELTA;
        Post(place.measured, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(place.testPoint.x, place.testPoint.y));
        nl::SyncWithWindow(target.Window());
        const int line = static_cast<int>(Send(target.Window(), WheelTarget::kAskPosition));
        expected = (line - notch) * 16;
        bool seen = false;
        for (int tries = 0; !seen && tries < 200; ++tries) {
            const std::int64_t start = nl::ClockUs();
            const auto read = reader.Next();
            const double ms = MsSince(start);
            seen = read.position == expected;
            if (seen) followMs.push_back(ms);
        }
        if (!seen) throw DriverError("a notch was not followed");
    }
    std::printf("%-26s %8.3f ms  (the screen capture alone)\n", "", Median(captureMs));
    const bool stillPass = Report("wheeltest.image_ms", stillMs);
    const bool followPass = Report("wheeltest.image_follow_ms", followMs);
    const std::vector<double> zoomMs = ZoomReadings();
    const bool zoomPass = Report("wheeltest.zoom_ms", zoomMs, kZoomGoalMs);
    FILE* out = _wfopen(json.c_str(), L"wb");
    if (!out) throw DriverError("cannot write " + Narrow(json));
    std::fprintf(out,
                 "{\n  \"pass.wheeltest.image_ms\": %s,\n  \"wheeltest.image_ms\": %.6g,\n"
                 "  \"pass.wheeltest.image_follow_ms\": %s,\n  \"wheeltest.image_follow_ms\": %.6g,\n"
                 "  \"pass.wheeltest.zoom_ms\": %s,\n  \"wheeltest.zoom_ms\": %.6g\n}\n",
                 stillPass ? "true" : "false", Median(stillMs), followPass ? "true" : "false", Median(followMs),
                 zoomPass ? "true" : "false", Median(zoomMs));
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
