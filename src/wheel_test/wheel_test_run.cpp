#include "wheel_test/wheel_test_run.h"

#include "common/wheel_test/wheel_test_loop.h"

namespace nl {

namespace {

int WholeMsHalfUp(std::int64_t us) { return static_cast<int>((us < 0 ? 0 : us + 500) / 1000); }

// The test's steps delivered to the window under test, read back with its
// readers; Esc and Start end it.
class SystemPort final : public WheelTestPort {
public:
    SystemPort(const TestPlace& place, Delivery how, WheelDelivery& delivery, PositionReader& vertical,
               PositionReader& horizontal, const std::atomic<bool>& stop,
               const std::function<void(const WheelTestProgress&)>& progress)
        : place_(place), how_(how), delivery_(delivery), vertical_(vertical), horizontal_(horizontal), stop_(stop),
          progress_(progress) {}

    void Progress(const WheelGrader& grader) override { progress_(WheelTestProgress{grader.Progress(), grader.Lines()}); }
    bool StopAsked() override { return stop_ || EscPressed(); }
    std::string Check() override { return CheckTestedWindow(place_, how_); }

    std::string Send(const WheelStep& step) override {
        const std::string refused = delivery_.Send(step.horizontal, step.delta, step.count);
        sentAt_ = ClockUs();
        return refused;
    }

    StepReading Read(const WheelStep& step) override {
        PositionReader& reader = step.horizontal ? horizontal_ : vertical_;
        const PositionReader::Settled settled = SettleStep(reader, step.timed ? 2 : 30);
        (step.horizontal ? vertical_ : horizontal_).Mark();  // its picture may have changed too
        StepReading r;
        r.movement = settled.movement;
        r.reason = settled.reason;
        if (!step.horizontal) {
            r.position = settled.position;
            r.freeBelow = vertical_.ReadRange().freeBelow;
        }
        if (step.timed && settled.agreed) r.catchUpMs = WholeMsHalfUp(settled.settledAtUs - sentAt_);
        return r;
    }

private:
    const TestPlace& place_;
    Delivery how_;
    WheelDelivery& delivery_;
    PositionReader &vertical_, &horizontal_;
    const std::atomic<bool>& stop_;
    const std::function<void(const WheelTestProgress&)>& progress_;
    std::int64_t sentAt_ = 0;
};

}  // namespace

WheelTestResult UntestedResult(const std::string& target, const std::string& reason) {
    WheelTestResult result;
    result.head = NewHead("wheel test");
    result.head.target = target;
    result.grader.Fail(reason);
    return result;
}

WheelTestResult RunWheelTest(HWND target, Delivery how, const std::atomic<bool>& stop,
                             const std::function<void(const WheelTestProgress&)>& progress) {
    WheelTestResult result;
    result.head = BeginReportHead(target, how, "wheel test");
    EscPressed();  // forget a press from before the start
    TestPlace place;
    if (std::string problem = PlaceTarget(target, how, place); !problem.empty()) {
        result.grader.Fail(problem);
        return result;
    }
    PositionReader vertical(place, false), horizontal(place, true);
    WheelReportHead& head = result.head;
    DescribePlace(head, place, vertical.Method(), horizontal.Method());

    WheelDelivery delivery(how, place);  // puts the pointer back however the test ends
    if (std::string problem = delivery.Begin(); !problem.empty()) {
        result.grader.Fail(problem);
        return result;
    }
    vertical.Mark();
    horizontal.Mark();
    WheelTestSetup setup;
    setup.linesPerNotch = head.linesPerNotch;
    setup.charsPerNotch = head.charsPerNotch;
    setup.verticalMethod = vertical.Method();
    setup.horizontalMethod = horizontal.Method();
    setup.horizontalBar = HasHorizontalBar(place.measured);
    const PositionReader::Range range = vertical.ReadRange();
    setup.page = range.page;
    setup.freeBelow = range.freeBelow;
    result.grader = WheelGrader(setup);
    SystemPort port(place, how, delivery, vertical, horizontal, stop, progress);
    RunWheelSteps(result.grader, port);
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
        result = RunWheelTest(choice.target, choice.delivery, never, [](const WheelTestProgress&) {});
    }
    const std::string report = WithPicture(options.testPicture, WheelTestChart(result.grader.Lines()), result.Report());
    const bool written = FinishScriptedRun(options.testReport, report, result.grader.ResultText());
    if (options.testReport.empty()) return 2;  // --test-report without its file: nothing to write to
    return WheelTestExitCode(result.grader, written);
}

// ---- on a thread of its own ------------------------------------------------

void WheelTestThread::Start(HWND target, Delivery delivery, HWND notify, UINT notifyMsg) {
    RunThread::Start([target, delivery](const std::atomic<bool>& stop,
                                        const std::function<void(const WheelTestProgress&)>& progress) {
        return RunWheelTest(target, delivery, stop, progress);
    },
                     [target](const std::string& what) {
                         return UntestedResult(DescribeTestedWindow(target), "Notchlog failed: " + what);
                     },
                     notify, notifyMsg);
}

}  // namespace nl
