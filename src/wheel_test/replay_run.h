// A replay against another program's window: a recorded wheel trace is read
// back, sent to the target at its recorded times (by the paced sender, on a
// thread of its own) with the wheel test's delivery and checks, and the
// target's position is read along the way and once it has settled at the
// end. The run waits on the target, so it never runs on the GUI thread: a
// window runs it on a thread of its own (ReplayThread), a scripted run on
// the entry point's thread before any window exists.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "common/app/command_line.h"
#include "common/replay/replay_report.h"
#include "common/wheel_test/wheel_report.h"
#include "tested_window/tested_window.h"
#include "wheel_test/run_thread.h"
#include "wheel_test/session.h"

namespace nl {

struct ReplayResult {
    WheelReportHead head;
    ReplaySummary summary;
    // The wheel test's head, then the replay's lines, Result last.
    std::string Report() const { return WheelReportHeadText(head) + ReplayReportLines(summary); }
};

// Replays the trace `options` names into `target`; `stop` (Start pressed
// again) and Esc are looked at before every event. `progress` gets how far
// it is a few times a second.
ReplayResult RunReplay(HWND target, Delivery delivery, const ReplayOptions& options, const std::atomic<bool>& stop,
                       const std::function<void(const ReplayProgress&)>& progress);

// `--replay FILE --replay-report FILE2`: replays, writes the report
// (replacing FILE2, written beside it first) and returns the exit code.
int RunScriptedReplay(const Options& options);

// The replay on a thread of its own for a window, which gets `notifyMsg`
// (wParam kProgress or kDone) and then asks for the progress or the result.
class ReplayThread : public RunThread<ReplayResult, ReplayProgress> {
public:
    void Start(HWND target, Delivery delivery, const ReplayOptions& options, HWND notify, UINT notifyMsg);
};

}  // namespace nl
