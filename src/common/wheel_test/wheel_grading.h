// How each line of the wheel test is graded, apart from the order in which
// the grader sends its steps: one place for each verdict and its texts.
#pragma once

#include <optional>
#include <string>

#include "common/wheel_test/wheel_grader.h"

namespace nl {

const char* VerdictText(WheelVerdict verdict);
// "3 items", "1 line", "48 px": a count in a reading's unit.
std::string UnitCount(ReadMethod method, int n);
// "Note: burst 20x-120 unmeasured: REASON."
std::string UnmeasuredNote(const std::string& pattern, const std::string& sent, const std::string& reason);

// A graded down half of `count` messages against its sound at U a notch.
void GradeHalf(WheelResultLine& line, int count, int notch);
// The horizontal wheel turned right.
void GradeHorizontal(WheelResultLine& line, const WheelTestSetup& setup);
// U (the line's observed) against the lines-per-notch setting.
void GradeSetting(WheelResultLine& line, const WheelTestSetup& setup);
// A notch down at a page per notch: a page is ok, the wrong way a fault.
void GradePagePerNotch(WheelResultLine& line, const WheelTestSetup& setup);

// The catch-up of both bursts, graded on the faster of the two: at most
// 400 ms ok, above 650 ms a fault, between them information with a note.
struct CatchUpGrade {
    WheelVerdict verdict = WheelVerdict::Unmeasured;
    std::string finding, note;
};
inline constexpr int kCatchUpOkMs = 400, kCatchUpFaultMs = 650;
CatchUpGrade GradeCatchUp(std::optional<int> downMs, std::optional<int> upMs);

}  // namespace nl
