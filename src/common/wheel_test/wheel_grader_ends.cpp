// How a wheel test ends: turning around at the end of the range first, the
// way back, a stop, and what the report says.
#include "common/wheel_test/wheel_grader.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "common/base/number_text.h"
#include "common/wheel_test/wheel_grader_stages.h"
#include "common/wheel_test/wheel_grading.h"
#include "common/wheel_test/zoom_profile_grading.h"

namespace nl {

using namespace grader;

// ---- turning around, ending, going back ------------------------------------

void WheelGrader::TurnAround(TurnMode mode) {
    phase_ = StepPhase::TurnAround;
    turnMode_ = mode;
    turnedAround_ = true;
}

void WheelGrader::FeedTurnAround(const StepReading& r) {
    ++turnNotches_;
    const bool moved = r.movement && *r.movement != 0;
    if (moved) {
        if (turnNotches_ == 1) turnFirst_ = *r.movement;
        turnMoved_ += *r.movement;
    }
    bool enough = !moved || turnNotches_ >= kMostTurnNotches;
    if (!enough && turnMode_ == TurnMode::Range) {
        const int l = setup_.linesPerNotch;
        const int need = kNotchesOfRoom * (l > 0 ? l : setup_.page.value_or(1));
        enough = r.freeBelow && *r.freeBelow >= need;
    } else if (!enough) {
        enough = std::abs(turnMoved_) >= kNotchesOfRoom * std::abs(turnFirst_);
    }
    if (!enough) return;
    if (turnMoved_ == 0 && turnMode_ == TurnMode::Movement)  // it moves neither way
        return Finish("the window did not scroll on the wheel, or has nothing to scroll");
    if (turnMoved_ != 0)
        turnNote_ = "Note: the target was at its end: it was first scrolled " + std::string(turnMoved_ < 0 ? "up " : "down ") +
                    UnitCount(setup_.verticalMethod, std::abs(turnMoved_)) + ".";
    patternsStart_ = position_.value_or(0);
    phase_ = StepPhase::Test;
    stage_ = 0;
}

// The test is over: finished (with its findings) or could not test. Only
// a finished test, or one whose window did not scroll, goes back.
void WheelGrader::Finish(const std::string& couldNotTest) {
    if (!couldNotTest.empty()) stopReason_ = couldNotTest;
    const bool goBack =
        couldNotTest.empty() || couldNotTest == "the window did not scroll on the wheel, or has nothing to scroll";
    if (goBack) StartGoingBack();
    else ended_ = true;
}

// Back to where the target was found; or, while settings are still to be
// tried, to where the test's patterns began (after any turn-around), so that
// each setting has the same room below.
void WheelGrader::StartGoingBack() {
    goneBack_ = true;
    const bool settingsLeft = stopReason_.empty() && !earlyEnd_ &&
                              (section_ == Section::Main ? !setup_.settings.empty()
                                                         : profileIndex_ + 1 < setup_.settings.size());
    finalWayBack_ = !settingsLeft;
    backGoal_ = settingsLeft ? patternsStart_ : 0;
    if (!position_ || *position_ == backGoal_) return EndWayBack();
    phase_ = StepPhase::GoBack;
    backSent_ = 0;
    backFlipped_ = false;
    backMost_ = static_cast<int>((std::llabs(netDeltaSum_) + 119) / 120) + kBackSpare;
    backDelta_ = *position_ > backGoal_ ? 120 : -120;  // below the goal: up
}

void WheelGrader::FeedGoBack(const StepReading& r) {
    ++backSent_;
    const std::optional<int> before = r.movement && position_ ? std::optional<int>(*position_ - *r.movement) : std::nullopt;
    const int goal = backGoal_;
    bool done = !position_ || *position_ == goal || backSent_ >= backMost_ || !r.movement;
    if (!done && before && ((*before > goal) != (*position_ > goal))) done = true;  // went past it
    if (!done && *r.movement == 0) done = true;                                     // it does not come back
    if (!done && before && std::abs(*position_ - goal) > std::abs(*before - goal)) {  // the wrong way: the other way once
        if (backFlipped_) done = true;
        backFlipped_ = true;
        backDelta_ = static_cast<std::int16_t>(-backDelta_);
    }
    if (done) EndWayBack();
}

// Only the way back to where the target was found has its note.
void WheelGrader::EndWayBack() {
    if (finalWayBack_)
        backNote_ = position_ && *position_ == 0 ? "Note: the target is back where it was."
                                                 : "Note: the target could not be brought back: " + WhereText() + ".";
    SectionDone();
}

void WheelGrader::Stop(const std::string& reason) {
    if (ended_) return;
    linesAtEnd_ = ExpectedLines();
    ended_ = true;
    if (phase_ == StepPhase::GoBack && section_ == Section::Zoom) {
        zoomBackNote_ = "Note: the zoom could not be brought back (" + reason + "): it is at " + DecText(zoomBackAt_) + "%.";
    } else if (phase_ == StepPhase::GoBack) {
        backNote_ = "Note: the target could not be brought back (" + reason + "): " + WhereText() + ".";
        // The last way back: what was tested stands. Before a setting still to try, or zoom, the test is not done.
        const bool last = section_ == Section::Main && finalWayBack_ && (earlyEnd_ || !setup_.zoom);
        if (last || !stopReason_.empty()) return;
    }
    if (stopReason_.empty()) stopReason_ = reason;
}

void WheelGrader::Fail(const std::string& reason) {
    ended_ = true;
    goneBack_ = false;
    backNote_.clear();
    stopReason_ = reason;
}

// "it is 3 items below where it was", "it is where it was".
std::string WheelGrader::WhereText() const {
    if (!position_) return "where it is could not be read";
    if (*position_ == 0) return "it is where it was";
    return "it is " + UnitCount(setup_.verticalMethod, std::abs(*position_)) + (*position_ > 0 ? " below" : " above") +
           " where it was";
}

// After an end that sends nothing more: "Note: the target was left 3 items below where it was."
std::string WheelGrader::WhereLeftNote() const {
    if (!position_ || stepsSent_ == 0) return std::string();
    return "Note: the target was left " + WhereText().substr(6) + ".";
}

// ---- what the report says ---------------------------------------------------

WheelOutcome WheelGrader::Outcome() const {
    if (!stopReason_.empty()) return WheelOutcome::CouldNotTest;
    if (!ended_ && phase_ != StepPhase::GoBack && !goneBack_) return WheelOutcome::Running;
    return Findings().empty() ? WheelOutcome::NoFault : WheelOutcome::Faults;
}

// The graded lines, and the settings tried, that could not be measured.
int WheelGrader::UnmeasuredGraded() const {
    const auto lines = std::count_if(lines_.begin(), lines_.end(), [](const WheelResultLine& l) {
        return l.graded && l.verdict == WheelVerdict::Unmeasured;
    });
    const auto settings = std::count_if(profile_.begin(), profile_.end(),
                                        [](const ProfileRowValue& p) { return p.verdict == WheelVerdict::Unmeasured; });
    return static_cast<int>(lines + settings);
}

std::vector<std::string> WheelGrader::Findings() const {
    std::vector<std::string> findings;
    if (!stopReason_.empty()) return findings;
    const auto add = [&](const std::string& finding) {
        if (std::find(findings.begin(), findings.end(), finding) == findings.end()) findings.push_back(finding);
    };
    for (const auto& line : lines_)
        if (line.verdict == WheelVerdict::Fault) add(line.finding);
    for (const auto& row : profile_)  // a setting whose notch moved nothing has no line of its own
        if (row.verdict == WheelVerdict::Fault && !row.finding.empty()) add(row.finding);
    return findings;
}

std::vector<std::string> WheelGrader::Notes() const {
    std::vector<std::string> notes;
    const bool stopped = !stopReason_.empty() && !goneBack_;
    if (!stopped) {
        if (!turnNote_.empty()) notes.push_back(turnNote_);
        for (const auto& line : lines_)
            if (!line.note.empty()) notes.push_back(line.note);
    }
    if (!zoomBackNote_.empty()) notes.push_back(zoomBackNote_);
    if (!backNote_.empty()) notes.push_back(backNote_);
    else if (stopped && !WhereLeftNote().empty()) notes.push_back(WhereLeftNote());
    return notes;
}

std::string WheelGrader::ResultText() const {
    const WheelOutcome outcome = Outcome();
    if (outcome == WheelOutcome::Running) return std::string();
    if (outcome == WheelOutcome::CouldNotTest) return "Result: could not test (" + stopReason_ + ")";
    const int unmeasured = UnmeasuredGraded();
    const std::string k = unmeasured > 0
                              ? " (" + DecText(unmeasured) + (unmeasured == 1 ? " step" : " steps") + " unmeasured)"
                              : std::string();
    const std::size_t n = Findings().size();
    if (n == 0) return "Result: no fault found" + k;
    return "Result: " + DecText(static_cast<std::int64_t>(n)) + (n == 1 ? " fault found" : " faults found") + k;
}

std::string WheelResultLineText(const WheelResultLine& line) {
    const auto text = [](const std::optional<int>& v, const char* absent) { return v ? DecText(*v) : std::string(absent); };
    return line.pattern + "," + line.sent + "," + text(line.sound, "") + "," + text(line.observed, "unmeasured") + "," +
           MethodText(line.method) + "," + VerdictText(line.verdict);
}

}  // namespace nl
