// The wheel test window's replay side: Replay CSV..., whose rows it sends,
// and the replay's report shown where the wheel test's goes.
#include <algorithm>
#include <string>
#include <vector>

#include "common/panels/panel_texts.h"
#include "common/replay/replay_report.h"
#include "wheel_test_window/wheel_test_window.h"
#include "win32/api.h"
#include "win32/save_dialog.h"

namespace nl {

namespace {
// The replay's choice of rows; the rest of each item after "rows of " is the
// window value's name.
const char* const kReplayWindowItems[] = {"Replay the first rows found", "Replay rows of main",
                                          "Replay rows of analysis", "Replay rows of hook", "Replay rows of raw"};
}  // namespace

void WheelTestWindow::FillReplayChoices() {
    // Whose rows a replay sends: the first the run holds, or the one chosen.
    const HWND rowsOf = Api(::GetDlgItem(Handle(), kReplayWindow));
    for (const char* item : kReplayWindowItems) SendTo(rowsOf, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendTo(rowsOf, CB_SETCURSEL, 0);
}

void WheelTestWindow::OnReplay() {
    if (replay_.Running()) {
        replay_.Stop();
        return;
    }
    if (!target_ || test_.Running()) return;
    ReplayOptions options;
    const LRESULT rowsOf = SendTo(Api(::GetDlgItem(Handle(), kReplayWindow)), CB_GETCURSEL);
    if (rowsOf > 0) options.choice.vantage = VantageFromName(std::string(kReplayWindowItems[rowsOf]).substr(15));
    options.file = AskOpenPath(Handle(), kOpenCsvDialog);
    if (!options.file.empty()) StartReplay(options);
}

void WheelTestWindow::StartReplay(const ReplayOptions& options) {
    SendTo(Api(::GetDlgItem(Handle(), kResultsList)), LB_RESETCONTENT);
    SetText(kFindingsBox, "");
    SetText(kProgressLine, "Starting the replay");
    replay_.Start(target_, ChosenDelivery(), options, Handle(), kReplayMessage);
    EnableControls();
}

void WheelTestWindow::OnReplayDone() {
    if (const auto result = replay_.TakeResult()) ShowReplayResult(*result);
    EnableControls();
}

// The replay's lines in the results list, its notes and Result line in the
// findings box; Copy and Save give the whole report.
void WheelTestWindow::ShowReplayResult(const ReplayResult& result) {
    report_ = result.Report();
    const HWND list = Api(::GetDlgItem(Handle(), kResultsList));
    SendTo(list, LB_RESETCONTENT);
    std::vector<std::string> findings;
    std::size_t longest = 0;
    const std::string lines = ReplayReportLines(result.summary);
    for (std::size_t at = 0, end; (end = lines.find(kCrLf, at)) != std::string::npos; at = end + 2) {
        const std::string line = lines.substr(at, end - at);
        if (line.rfind("Note:", 0) == 0 || line.rfind("Result:", 0) == 0) findings.push_back(line);
        else SendTo(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        longest = std::max(longest, line.size());
    }
    // Scrolls sideways as far as the longest line, in the fixed-pitch font's 8 px a character.
    SendTo(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(::MulDiv(8 * static_cast<int>(longest), dpi_, 96)));
    SetText(kFindingsBox, JoinCrLf(findings));
    SetText(kProgressLine, "Finished: " + (findings.empty() ? std::string() : findings.back()));
}

}  // namespace nl
