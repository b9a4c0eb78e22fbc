// The wheel test window's wheel test side: Start (Stop while it runs), the
// progress line, the result lines shown in the table as each is measured,
// and the finished test's Result line, findings and notes.
#include <string>
#include <vector>

#include "common/base/number_text.h"
#include "common/panels/panel_texts.h"
#include "common/wheel_test/wheel_grading.h"
#include "common/wheel_test/window_form.h"
#include "wheel_test_window/wheel_test_window.h"
#include "win32/api.h"

namespace nl {

namespace {
const std::vector<std::pair<const char*, int>> kTestColumns = {
    {"Pattern", 90}, {"Sent", 70}, {"Sound handler", 95}, {"Observed", 80}, {"Read by", 190}, {"Verdict", 90}};

Tint TintOf(WheelVerdict v) {
    switch (v) {
        case WheelVerdict::Ok: return Tint::Ok;
        case WheelVerdict::Fault: return Tint::Fault;
        case WheelVerdict::Info: return Tint::Info;
        case WheelVerdict::Unmeasured: break;
    }
    return Tint::Unmeasured;
}

// A result line's fields, as the report has them, one per column.
// The profile's rows after them: the setting tried, what a notch moved at it.
std::vector<TableRow> RowsOf(const std::vector<WheelResultLine>& lines, const std::vector<ProfileRowValue>& profile = {},
                             ReadMethod vertical = ReadMethod::Image) {
    const auto number = [](const std::optional<int>& v, const char* absent) { return v ? DecText(*v) : std::string(absent); };
    std::vector<TableRow> rows;
    for (const auto& line : lines)
        rows.push_back(TableRow{{line.pattern, line.sent, number(line.sound, ""), number(line.observed, "unmeasured"),
                                 MethodText(line.method), VerdictText(line.verdict)},
                                TintOf(line.verdict)});
    for (const auto& row : profile)
        rows.push_back(TableRow{{"profile", "setting " + DecText(row.lines), "", number(row.observed, "unmeasured"),
                                 MethodUnit(vertical) + " per notch", VerdictText(row.verdict)},
                                TintOf(row.verdict)});
    return rows;
}
}  // namespace

void WheelTestWindow::OnStart() {
    if (Running()) {
        test_.Stop();
        replay_.Stop();
        return;
    }
    if (!target_) return;
    // What to run: the settings to try and zoom, as the command line's options would.
    WheelTestChoice choice;
    choice.target = target_;
    choice.delivery = ChosenDelivery();
    choice.zoom = SendTo(Control(kZoomCheck), BM_GETCHECK) == BST_CHECKED;
    char settings[128] = {};
    Api(::GetWindowTextA(Control(kSettingsField), settings, sizeof settings));
    std::string problem;
    if (settings[0] != '\0') {
        if (const auto values = ParseSettingsList(settings, problem)) choice.settings = *values;
    }
    if (problem.empty() && choice.zoom && choice.delivery == Delivery::Posted) problem = "zoom needs injected delivery";
    if (!problem.empty()) {
        SetText(kProgressLine, "Not started: " + problem + ".");
        return;
    }
    ClearForRun(kTestColumns, false);
    SetText(kProgressLine, "Starting");
    test_.Start(choice, Handle(), kTestMessage);
    EnableControls();
}

void WheelTestWindow::OnTestProgress() {
    if (!test_.Running()) return;
    const WheelTestProgress now = test_.Now();
    if (now.measured) SetText(kMeasuredLine, MeasuredText(*now.measured));  // again, as the test found it
    SetText(kProgressLine, WheelProgressText(now.step));
    table_.Show(RowsOf(now.lines));
    chart_.SetChart(WheelTestChart(now.lines));
}

void WheelTestWindow::OnTestDone() {
    if (const auto result = test_.TakeResult()) ShowTestResult(*result);
    EnableControls();
}

void WheelTestWindow::ShowTestResult(const WheelTestResult& result) {
    report_ = result.Report();
    const WheelGrader& grader = result.grader;
    table_.Show(RowsOf(grader.Lines(), grader.Profile(), result.head.verticalMethod));
    chart_.SetChart(WheelTestChart(grader.Lines()));
    std::vector<std::string> findings = grader.Findings();
    for (const auto& note : grader.Notes()) findings.push_back(note);
    SetText(kFindingsBox, JoinCrLf(findings));
    SetText(kResultLine, grader.ResultText());
    if (grader.Stopped()) {
        const auto done = static_cast<int>(grader.Lines().size());
        SetText(kProgressLine, "Stopped: " + DecText(done) + " of " + DecText(std::max(done, grader.LinesExpected())) +
                                   " steps done.");
    } else {
        SetText(kProgressLine, "Finished.");
    }
}

}  // namespace nl
