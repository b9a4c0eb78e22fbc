#include "common/wheel_test/wheel_report.h"

#include "common/base/number_text.h"
#include "common/wheel_test/zoom_profile_grading.h"

namespace nl {

namespace {
void AddLine(std::string& out, const std::string& line) {
    out += line;
    out += kCrLf;
}
}  // namespace

std::string WheelReportHeadText(const WheelReportHead& head) {
    std::string out;
    AddLine(out, "Notchlog " + head.version + " " + head.run + ", " + head.dateTime);
    if (!head.target.empty()) AddLine(out, "Target: " + head.target);
    if (!head.measured.empty()) {
        AddLine(out, "Measured window: " + head.measured);
        AddLine(out, std::string("Reading: vertical ") + MethodText(head.verticalMethod) + ", horizontal " +
                         MethodText(head.horizontalMethod));
        AddLine(out, "Delivery: " + head.delivery + " at the test point " + DecText(head.testX) + "," +
                         DecText(head.testY));
        const std::string lines =
            head.linesPerNotch == -1 ? std::string("a page") : DecText(head.linesPerNotch) + " lines";
        AddLine(out, "Per notch: " + lines + ", " + DecText(head.charsPerNotch) + " characters");
    }
    if (!head.settingFound.empty())
        AddLine(out, "Setting found: " + head.settingFound + "; put back: " + head.settingPutBack);
    AddLine(out, "");
    return out;
}

std::string WheelReportText(const WheelReportHead& head, const WheelGrader& grader,
                            const std::vector<std::string>& extraNotes) {
    std::string out = WheelReportHeadText(head);
    const bool located = !head.measured.empty();
    if (located) {
        AddLine(out, kWheelResultHeader);
        for (const auto& line : grader.Lines()) AddLine(out, WheelResultLineText(line));
        if (!grader.Profile().empty()) {
            AddLine(out, kProfileHeader);
            for (const auto& row : grader.Profile())
                AddLine(out, ProfileRowText(ProfileRow{row.lines, row.observed, row.verdict, {}}, head.verticalMethod));
        }
        AddLine(out, "");
    }
    for (const auto& finding : grader.Findings()) AddLine(out, finding);
    for (const auto& note : grader.Notes()) AddLine(out, note);
    for (const auto& note : extraNotes) AddLine(out, note);
    AddLine(out, grader.ResultText());
    return out;
}

std::string WithPictureNote(const std::string& report, const std::string& reason) {
    if (reason.empty()) return report;
    std::string why = reason;  // the system's text ends in a full stop and a line break
    while (!why.empty() && (why.back() == '\n' || why.back() == '\r' || why.back() == ' ' || why.back() == '.'))
        why.pop_back();
    const std::size_t lastBreak = report.size() >= 3 ? report.rfind(kCrLf, report.size() - 3) : std::string::npos;
    const std::size_t resultAt = lastBreak == std::string::npos ? 0 : lastBreak + 2;
    return report.substr(0, resultAt) + "Note: the picture could not be written: " + why + "." + kCrLf +
           report.substr(resultAt);
}

std::string WheelProgressText(const WheelProgress& p) {
    switch (p.phase) {
        case StepPhase::TurnAround: return "Turning around";
        case StepPhase::GoBack: return "Going back";
        case StepPhase::Test: break;
    }
    if (p.lines == 0) return std::string();
    return "Step " + DecText(p.line) + " of " + DecText(p.lines) + ": " + p.pattern + " " + p.sent;
}

int WheelTestExitCode(const WheelGrader& grader, bool reportWritten) {
    if (!reportWritten) return 3;
    switch (grader.Outcome()) {
        case WheelOutcome::Running:
        case WheelOutcome::CouldNotTest: return 2;
        case WheelOutcome::Faults: return 1;
        case WheelOutcome::NoFault: break;
    }
    return grader.UnmeasuredGraded() > 0 ? 4 : 0;
}

std::string WheelRequestProblem(bool hasTarget, bool hasReport, const std::string& delivery) {
    if (hasReport && !hasTarget) return "--test-report needs --test-target";
    if (!delivery.empty() && delivery != "injected" && delivery != "posted") return "unknown delivery: " + delivery;
    return std::string();
}

}  // namespace nl

namespace nl {

std::optional<std::vector<int>> ParseSettingsList(const std::string& text, std::string& problem) {
    constexpr std::size_t kMostSettings = 8;
    std::vector<int> settings;
    for (std::size_t at = 0;;) {
        const std::size_t comma = text.find(',', at);
        const std::string item = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        int value = 0;
        bool number = !item.empty() && item.size() <= 4;
        for (std::size_t i = item[0] == '-' ? 1 : 0; number && i < item.size(); ++i)
            number = item[i] >= '0' && item[i] <= '9';
        if (number && item != "-") value = std::stoi(item);
        if (!number || item == "-" || !(value == -1 || (value >= 1 && value <= 100))) {
            problem = "--test-settings: \"" + item + "\" is not a setting (-1, or 1 to 100 lines per notch)";
            return std::nullopt;
        }
        settings.push_back(value);
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    if (settings.size() > kMostSettings) {
        problem = "--test-settings takes at most 8 settings, not " + DecText(static_cast<std::int64_t>(settings.size()));
        return std::nullopt;
    }
    return settings;
}

}  // namespace nl
