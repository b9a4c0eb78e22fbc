#include "wheel_test/wheel_test_run.h"

#include "common/chart/run_chart.h"
#include "common/wheel_test/junit.h"
#include "common/wheel_test/wheel_test_loop.h"
#include "system_info/wheel_setting.h"
#include "tested_window/zoom_reader.h"
#include "wheel_test/wheel_test_port.h"

namespace nl {

namespace {
std::string StoredText(const std::string& text) { return text.empty() ? std::string("(none)") : text; }
}  // namespace

WheelTestResult UntestedResult(const std::string& target, const std::string& reason) {
    WheelTestResult result;
    result.head = NewHead("wheel test");
    result.head.target = target;
    result.grader.Fail(reason);
    return result;
}

WheelTestResult RunWheelTest(const WheelTestChoice& choice, const std::atomic<bool>& stop,
                             const std::function<void(const WheelTestProgress&)>& progress) {
    const Delivery how = choice.delivery;
    WheelTestResult result;
    result.head = BeginReportHead(choice.target, how, "wheel test");
    if (!choice.problem.empty()) {
        result.grader.Fail(choice.problem);
        return result;
    }
    EscPressed();  // forget a press from before the start
    TestPlace place;
    if (std::string problem = PlaceTarget(choice.target, how, place); !problem.empty()) {
        result.grader.Fail(problem);
        return result;
    }
    PositionReader vertical(place, false), horizontal(place, true);
    WheelReportHead& head = result.head;
    DescribePlace(head, place, vertical.Method(), horizontal.Method());
    WheelTestProgress measured;
    measured.measured = MeasuredFactsOf(MeasuredReading{place.measured, vertical.Method(), horizontal.Method(), ""});
    progress(measured);

    WheelDelivery delivery(how, place);  // puts the pointer back however the test ends
    if (std::string problem = delivery.Begin(); !problem.empty()) {
        result.grader.Fail(problem);
        return result;
    }
    vertical.Mark();
    horizontal.Mark();
    // The settings to try change the stored setting: every way out puts it back.
    std::optional<WheelSettingChange> setting;
    if (!choice.settings.empty()) setting.emplace();
    std::optional<ZoomReader> zoom;
    if (choice.zoom) zoom.emplace(place);
    WheelTestSetup setup;
    setup.linesPerNotch = head.linesPerNotch;
    setup.charsPerNotch = head.charsPerNotch;
    setup.verticalMethod = vertical.Method();
    setup.horizontalMethod = horizontal.Method();
    setup.horizontalBar = HasHorizontalBar(place.measured);
    const PositionReader::Range range = vertical.ReadRange();
    setup.page = range.page;
    setup.freeBelow = range.freeBelow;
    setup.settings = choice.settings;
    setup.zoom = choice.zoom;
    if (zoom) setup.zoomMethod = zoom->Method() == ZoomMethod::EditZoom ? ReadMethod::RichEditZoom : ReadMethod::ImageZoom;
    result.grader = WheelGrader(setup);
    SystemPort port(place, how, delivery, vertical, horizontal, zoom ? &*zoom : nullptr, setting ? &*setting : nullptr,
                    stop, progress);
    RunWheelSteps(result.grader, port);
    if (setting) {
        const std::string problem = setting->PutBack();
        head.settingFound = StoredText(setting->Found());
        head.settingPutBack = StoredText(WheelSettingChange::Stored());
        if (!problem.empty()) {
            result.settingNotPutBack = true;
            result.notes.push_back("Note: the setting could not be put back: it is " + head.settingPutBack + "; it was " +
                                   head.settingFound + ".");
        }
    }
    return result;
}

int RunScriptedWheelTest(const Options& options) {
    WheelTestResult result;
    const WheelTestChoice choice = ChooseFromCommandLine(options);
    if (!options.scriptProblem.empty()) {
        result = UntestedResult(std::string(), Ansi(options.scriptProblem));
    } else if (!choice.target) {
        result = UntestedResult(std::string(), choice.problem);
    } else {
        const std::atomic<bool> never{false};
        result = RunWheelTest(choice, never, [](const WheelTestProgress&) {});
    }
    const std::wstring reportPath = options.testReport.empty() ? options.replay.reportPath : options.testReport;
    const std::string report = WithPicture(options.testPicture, WheelTestChart(result.grader.Lines()), result.Report());
    const bool written = FinishScriptedRun(reportPath, report, result.grader.ResultText());
    const bool junit = WriteJunit(options.testJunit, result.head, "notchlog.wheeltest",
                                  WheelTestCases(result.grader), report);
    if (reportPath.empty()) return 2;  // no report file to write to: the Result line says why
    if (!junit) return 3;
    if (written && result.settingNotPutBack) return 2;
    return WheelTestExitCode(result.grader, written);
}

// ---- on a thread of its own ------------------------------------------------

void WheelTestThread::Start(const WheelTestChoice& choice, HWND notify, UINT notifyMsg) {
    RunThread::Start([choice](const std::atomic<bool>& stop,
                              const std::function<void(const WheelTestProgress&)>& progress) {
        return RunWheelTest(choice, stop, progress);
    },
                     [target = choice.target](const std::string& what) {
                         return UntestedResult(DescribeTestedWindow(target), "Notchlog failed: " + what);
                     },
                     notify, notifyMsg);
}

}  // namespace nl
