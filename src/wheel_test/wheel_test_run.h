// The wheel test run against another program's window: it reads the wheel
// settings, locates the target, sends each step the grader asks for, waits
// for the content to come to rest, reads how far it moved and feeds that
// back, checking before every step that the target is still testable.
// It waits on the target throughout, so it never runs on the GUI thread:
// a window runs it on a thread of its own (WheelTestThread), a scripted
// run on the entry point's thread before any window exists.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "common/app/command_line.h"
#include "common/wheel_test/wheel_grader.h"
#include "common/wheel_test/wheel_report.h"
#include "tested_window/tested_window.h"
#include "wheel_test/run_thread.h"

namespace nl {

struct WheelTestResult {
    WheelReportHead head;
    WheelGrader grader{WheelTestSetup{}};
    std::string Report() const { return WheelReportText(head, grader); }
};

// Runs the whole test; `stop` (Start pressed again) and Esc are looked at
// before each step. `progress` gets the progress line's text.
WheelTestResult RunWheelTest(HWND target, Delivery delivery, const std::atomic<bool>& stop,
                             const std::function<void(const std::string&)>& progress);

// The report of a test that could not begin: `target` describes the chosen
// window (empty: none), `reason` says what was wrong.
WheelTestResult UntestedResult(const std::string& target, const std::string& reason);

// Shared with the replay run. The report's head as a run begins: version,
// date and time, the target, the delivery and the wheel settings.
WheelReportHead NewHead();
WheelReportHead BeginReportHead(HWND target, Delivery how);
// Brings the target's top-level window to the front for injected input,
// then finds the test point and the measured window; empty or the reason.
std::string PlaceTarget(HWND target, Delivery how, TestPlace& place);
// The head's lines about the measured window, the readings and the test point.
void DescribePlace(WheelReportHead& head, const TestPlace& place, ReadMethod vertical, ReadMethod horizontal);
// Esc, held now or pressed since the last look.
bool EscPressed();
// Settles a reading after a step; an image is settled twice, as a window's
// picture reaches the screen a little after it handled the messages.
PositionReader::Settled SettleStep(PositionReader& reader, int pollMs);
// The text in the ANSI code page, as window titles and classes are read.
std::string Ansi(const std::wstring& text);

// What the command line chose: the target (null with `problem` set when
// none could be chosen) and the delivery.
struct WheelTestChoice {
    HWND target = nullptr;
    Delivery delivery = Delivery::Injected;
    std::string problem;  // the Result line's reason
};
WheelTestChoice ChooseFromCommandLine(const Options& options);

// `--test-report FILE`: runs the test, writes the report (replacing FILE,
// written beside it first) and returns the exit code.
int RunScriptedWheelTest(const Options& options);

// The test on a thread of its own for a window, which gets `notifyMsg`
// (wParam kProgress or kDone) and then asks for the progress or the result.
class WheelTestThread : public RunThread<WheelTestResult> {
public:
    void Start(HWND target, Delivery delivery, HWND notify, UINT notifyMsg);
};

}  // namespace nl
