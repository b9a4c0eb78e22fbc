// The wheel test run against another program's window: it reads the wheel
// settings, locates the target, sends each step the grader asks for, waits
// for the content to come to rest, reads how far it moved and feeds that
// back, checking before every step that the target is still testable; at
// the end it brings the target back where it was. It waits on the target
// throughout, so it never runs on the GUI thread: a window runs it on a
// thread of its own (WheelTestThread), a scripted run on the entry point's
// thread before any window exists.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "common/app/command_line.h"
#include "common/wheel_test/wheel_grader.h"
#include "common/wheel_test/target_text.h"
#include "common/wheel_test/wheel_report.h"
#include "tested_window/tested_window.h"
#include "wheel_test/run_thread.h"
#include "wheel_test/session.h"

namespace nl {

struct WheelTestResult {
    WheelReportHead head;
    WheelGrader grader{WheelTestSetup{}};
    std::vector<std::string> notes;  // after the grader's: the setting not put back
    bool settingNotPutBack = false;  // Notchlog's own failure: a scripted run exits with 2
    std::string Report() const { return WheelReportText(head, grader, notes); }
};

// How a test stands before each step: the step about to be sent and the
// result lines measured so far.
struct WheelTestProgress {
    WheelProgress step;
    std::vector<WheelResultLine> lines;
    std::optional<MeasuredFacts> measured;  // what the test measures, once the target is placed
};

// Runs the whole test the choice asks for (the target, the delivery, the
// settings to try, zoom); `stop` (Start pressed again) and Esc are looked
// at before each step. `progress` gets how it stands before each step.
WheelTestResult RunWheelTest(const WheelTestChoice& choice, const std::atomic<bool>& stop,
                             const std::function<void(const WheelTestProgress&)>& progress);

// The report of a test that could not begin: `target` describes the chosen
// window (empty: none), `reason` says what was wrong.
WheelTestResult UntestedResult(const std::string& target, const std::string& reason);

// `--test-report FILE`: runs the test, writes the report (replacing FILE,
// written beside it first) and returns the exit code.
int RunScriptedWheelTest(const Options& options);

// The test on a thread of its own for a window, which gets `notifyMsg`
// (wParam kProgress or kDone) and then asks for the progress or the result.
class WheelTestThread : public RunThread<WheelTestResult, WheelTestProgress> {
public:
    void Start(const WheelTestChoice& choice, HWND notify, UINT notifyMsg);
};

}  // namespace nl
