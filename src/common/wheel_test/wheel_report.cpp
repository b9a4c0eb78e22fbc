#include "common/wheel_test/wheel_report.h"

#include "common/base/number_text.h"

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
    AddLine(out, "");
    return out;
}

std::string WheelReportText(const WheelReportHead& head, const WheelGrader& grader) {
    std::string out = WheelReportHeadText(head);
    const bool located = !head.measured.empty();
    if (located) {
        AddLine(out, kWheelResultHeader);
        for (const auto& line : grader.Lines()) AddLine(out, WheelResultLineText(line));
        AddLine(out, "");
    }
    for (const auto& finding : grader.Findings()) AddLine(out, finding);
    for (const auto& note : grader.Notes()) AddLine(out, note);
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
