// The wheel test window's replay side: Replay CSV..., whose rows it sends,
// what it will send, and the replay's report shown where the wheel test's
// goes: a row per axis in the table, the other lines and notes below.
#include <algorithm>
#include <string>
#include <vector>

#include "common/base/number_text.h"
#include "common/panels/panel_texts.h"
#include "common/replay/replay_report.h"
#include "wheel_test_window/wheel_test_window.h"
#include "win32/save_dialog.h"

namespace nl {

namespace {
// Whose rows a replay sends: the first of main, analysis, hook, raw that the
// run holds, or the one chosen (the item's last word).
const char* const kReplayWindowItems[] = {"Rows: main, else analysis, hook, raw", "Rows: main", "Rows: analysis",
                                          "Rows: hook", "Rows: raw"};

const std::vector<std::pair<const char*, int>> kReplayColumns = {{"Axis", 70},          {"Events", 55},
                                                                 {"Notches", 65},       {"Sound handler", 185},
                                                                 {"Target moved", 200}, {"Largest difference", 110}};

std::string FileNameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return Ansi(slash == std::wstring::npos ? path : path.substr(slash + 1));
}
}  // namespace

void WheelTestWindow::FillReplayChoices() {
    const HWND rowsOf = Control(kReplayWindow);
    for (const char* item : kReplayWindowItems) SendTo(rowsOf, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendTo(rowsOf, CB_SETCURSEL, 0);
}

void WheelTestWindow::OnReplay() {
    if (!target_ || Running()) return;
    ReplayOptions options;
    const LRESULT rowsOf = SendTo(Control(kReplayWindow), CB_GETCURSEL);
    if (rowsOf > 0) {
        const std::string item = kReplayWindowItems[rowsOf];
        options.choice.vantage = VantageFromName(item.substr(item.find_last_of(' ') + 1));
    }
    options.file = AskOpenPath(Handle(), kOpenCsvDialog);
    if (!options.file.empty()) StartReplay(options);
}

void WheelTestWindow::StartReplay(const ReplayOptions& options) {
    ClearForRun(kReplayColumns, true);
    replayFile_ = FileNameOf(options.file);
    SetText(kProgressLine, "Starting the replay");
    replay_.Start(target_, ChosenDelivery(), options, Handle(), kReplayMessage);
    EnableControls();
}

void WheelTestWindow::OnReplayProgress() {
    if (!replay_.Running()) return;
    const ReplayProgress now = replay_.Now();
    SetText(kProgressLine, ReplayProgressText(now));
    // Once the trace is read, the line above the table says what is sent.
    if (now.phase != ReplayProgress::Phase::Reading)
        SetText(kResultLine, ReplayPlanText(replayFile_, now.pick, now.events, now.lengthUs));
}

void WheelTestWindow::OnReplayDone() {
    if (const auto result = replay_.TakeResult()) ShowReplayResult(*result);
    EnableControls();
}

void WheelTestWindow::ShowReplayResult(const ReplayResult& result) {
    report_ = result.Report();
    const ReplaySummary& s = result.summary;
    std::vector<TableRow> rows;
    for (WheelAxis axis : {WheelAxis::V, WheelAxis::H}) {
        if (s.tally.Of(axis).events == 0) continue;
        const ReplayAxisCells c = AxisCells(s, axis);
        rows.push_back(TableRow{{c.axis, c.events, c.notches, c.sound, c.moved, c.largest}, Tint::None});
    }
    table_.Show(rows);
    chart_.SetChart(ReplayChart(s));
    SetText(kFindingsBox, JoinCrLf(ReplayOtherLines(s)));
    SetText(kResultLine, ReplayResultText(s));
    if (s.problem == "stopped")
        SetText(kProgressLine, "Stopped: " + DecText(static_cast<std::int64_t>(s.sent)) + " of " +
                                   DecText(static_cast<std::int64_t>(s.rows)) + " events sent.");
    else
        SetText(kProgressLine, "Finished.");
}

}  // namespace nl
