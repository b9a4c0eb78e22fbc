#include "common/wheel_test/wheel_grading.h"

#include <algorithm>
#include <cstdlib>

#include "common/base/number_text.h"

namespace nl {

const char* VerdictText(WheelVerdict v) {
    switch (v) {
        case WheelVerdict::Ok: return "ok";
        case WheelVerdict::Fault: return "fault";
        case WheelVerdict::Info: return "info";
        case WheelVerdict::Unmeasured: break;
    }
    return "unmeasured";
}

std::string UnitCount(ReadMethod method, int n) { return DecText(n) + " " + MethodUnit(method, n == 1 || n == -1); }

std::string UnmeasuredNote(const std::string& pattern, const std::string& sent, const std::string& reason) {
    std::string note = "Note: " + pattern + (sent.empty() ? "" : " " + sent) + " unmeasured";
    return note + (reason.empty() ? std::string() : ": " + reason) + ".";
}

void GradeHalf(WheelResultLine& line, int count, int notch) {
    if (line.verdict == WheelVerdict::Unmeasured || *line.observed == *line.sound) return;
    const int observed = *line.observed;
    const bool small = line.pattern == "sub-notch" || line.pattern == "fine";
    line.verdict = WheelVerdict::Fault;
    if (line.pattern == "two-notch" && observed == notch)
        line.finding = "Scrolls one notch for a message of two notches.";
    else if (small && observed == 0)
        line.finding = "Drops sub-notch deltas (it divides each delta by 120 before adding up): touchpads and "
                       "high-resolution wheels do not scroll.";
    else if (small && observed == count * notch)
        line.finding = "Treats every message as a whole notch: touchpads scroll far too fast.";
    else
        line.finding = "Scrolls " + UnitCount(line.method, observed) + " for " + line.sent + " (a sound handler: " +
                       UnitCount(line.method, *line.sound) + ").";
}

void GradeHorizontal(WheelResultLine& line, const WheelTestSetup& setup) {
    if (line.verdict == WheelVerdict::Unmeasured) return;
    const int observed = *line.observed;
    if (setup.charsPerNotch == 0) {
        line.note = "Note: the setting is 0 characters per notch, so the horizontal wheel is not graded.";
    } else if (observed == 0 && setup.horizontalBar) {
        line.verdict = WheelVerdict::Fault;
        line.finding = "Does not scroll sideways on the horizontal wheel.";
    } else if (observed < 0) {
        line.verdict = WheelVerdict::Fault;
        line.finding = "Scrolls left when the horizontal wheel turns right.";
    } else if (observed == 0) {
        line.note = "Note: nothing moved sideways on the horizontal wheel (there may be nothing to scroll sideways).";
    }
}

void GradeSetting(WheelResultLine& line, const WheelTestSetup& setup) {
    const int lines = setup.linesPerNotch, u = *line.observed;
    if (lines == -1) {
        line.note = "Note: the setting scrolls a page per notch, so lines per notch are not graded.";
    } else if (lines <= 0) {
        line.note = "Note: the setting is " + DecText(lines) + " lines per notch, so lines per notch are not graded.";
    } else if (CountsLines(setup.verticalMethod)) {
        line.sound = lines;
        if (u == lines) {
            line.verdict = WheelVerdict::Ok;
        } else {
            line.verdict = WheelVerdict::Fault;
            line.finding = "Scrolls " + DecText(u) + (u == 1 ? " line" : " lines") + " per notch while the setting is " +
                           DecText(lines) + ": it ignores the setting.";
            line.note = "Note: a program that reads the setting only when it starts scrolls by the old setting until "
                        "it is started again.";
        }
    }
}

void GradePagePerNotch(WheelResultLine& line, const WheelTestSetup& setup) {
    const int moved = *line.observed;
    if (setup.page) line.sound = *setup.page;
    if (moved < 0) {
        line.verdict = WheelVerdict::Fault;
        line.finding = "Scrolls the wrong way when the setting is one page per notch.";
        return;
    }
    const bool lineLess = CountsLines(setup.verticalMethod) && setup.page && moved == *setup.page - 1;
    if (setup.page && (moved == *setup.page || lineLess)) {
        line.verdict = WheelVerdict::Ok;
        return;
    }
    line.verdict = WheelVerdict::Info;
    line.note = "Note: one notch moved " + UnitCount(line.method, moved) + " at one page per notch";
    if (setup.page) line.note += " (a page is " + UnitCount(line.method, *setup.page) + ")";
    line.note += ".";
}

CatchUpGrade GradeCatchUp(std::optional<int> downMs, std::optional<int> upMs) {
    CatchUpGrade g;
    if (!downMs && !upMs) return g;
    const int faster = downMs && upMs ? std::min(*downMs, *upMs) : downMs ? *downMs : *upMs;
    if (faster <= kCatchUpOkMs) {
        g.verdict = WheelVerdict::Ok;
    } else if (faster > kCatchUpFaultMs) {
        g.verdict = WheelVerdict::Fault;
        g.finding = "Takes " + DecText(faster) + " ms to catch up with a burst of twenty notches.";
    } else {
        g.verdict = WheelVerdict::Info;
        std::string took = downMs && upMs ? DecText(*downMs) + " and " + DecText(*upMs) : DecText(faster);
        g.note = "Note: catch-up took " + took + " ms, between " + DecText(kCatchUpOkMs) + " and " +
                 DecText(kCatchUpFaultMs) + " ms: not graded (a busy machine moves it either way).";
    }
    return g;
}

}  // namespace nl
