// The wheel test window ("Notchlog - wheel test"): the finder and the
// target's lines, the delivery, Start (Stop while a run goes on), the
// progress line, the Result line above a table of the results, the chart
// of how the target moved, the findings and notes, Copy, Save report as and
// Save picture as; and Replay CSV..., which replays a recorded trace into
// the target and shows its report in the same places. The test or replay
// runs on a thread of its own and tells the window how it goes with posted
// messages; the window then updates its controls at once (progress comes a
// few times a second at most). Closing the window only hides it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/chart_view.h"
#include "controls/results_table.h"
#include "wheel_test/replay_run.h"
#include "wheel_test/wheel_test_run.h"
#include "wheel_test_window/window_finder.h"
#include "win32/raii.h"
#include "win32/window.h"

namespace nl {

class WheelTestWindow final : public Window {
public:
    // Its controls' ids, which are also their Tab order's.
    enum ControlId : int {
        kFinder = 301, kFinderHint, kFinderText, kTargetLine, kInjected, kPosted, kStartButton, kCopyButton,
        kSaveButton, kProgressLine, kResultsList, kFindingsBox, kReplayButton, kReplayWindow, kMeasuredLine,
        kResultLine, kChart, kSavePictureButton, kZoomCheck, kSettingsLabel, kSettingsField,
    };
    // Shows the window, made on first use.
    void Open(HINSTANCE instance);
    // Shows the window with the command line's choice: its target chosen
    // (not started), or what was wrong with it.
    void OpenWith(HINSTANCE instance, const WheelTestChoice& choice);
    // As OpenWith, then replays the trace the options name into that target.
    void OpenForReplay(HINSTANCE instance, const WheelTestChoice& choice, const ReplayOptions& options);
    // Tab and the dialog keys between its controls; true when consumed.
    bool PreTranslate(MSG& msg);

private:
    static constexpr UINT kTestMessage = WM_APP + 1;    // from the test's thread: WheelTestThread::kProgress or kDone
    static constexpr UINT kReplayMessage = WM_APP + 2;  // from the replay's thread: ReplayThread::kProgress or kDone

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void Create(HINSTANCE instance);
    void CreateControls();
    void Layout(int width, int height);
    void OnFinderHover(HWND w);
    void OnFinderDrop(HWND w);
    // False (and the finder line says why) for the wheel test window itself.
    bool ChooseTarget(HWND w);
    void OnStart();
    void OnTestProgress();
    void OnTestDone();
    void ShowTestResult(const WheelTestResult& result);
    void FillReplayChoices();
    void OnReplay();
    void StartReplay(const ReplayOptions& options);
    void OnReplayProgress();
    void OnReplayDone();
    void ShowReplayResult(const ReplayResult& result);
    // Before a run: empties the result line, the table, the chart and the
    // findings, and lays the window out for a test's table or a replay's.
    void ClearForRun(const std::vector<std::pair<const char*, int>>& columns, bool replay);
    Delivery ChosenDelivery();
    void OnCopy();
    void OnSave();
    void OnSavePicture();
    void SetText(int id, const std::string& text);
    HWND Control(int id) const;
    bool Running() const { return test_.Running() || replay_.Running(); }
    void EnableControls();

    HINSTANCE instance_ = nullptr;
    int dpi_ = 96;
    GdiObject boldFont_;
    WindowFinder finder_;
    ResultsTable table_;
    ChartView chart_;
    WheelTestThread test_;
    ReplayThread replay_;
    HWND target_ = nullptr;
    std::string replayFile_;       // the trace's file name, for the replay's plan
    std::string report_;           // the last run's, empty before the first
    bool replayShown_ = false;     // the last run shown was a replay: Save picture as offers replay.png
};

}  // namespace nl
