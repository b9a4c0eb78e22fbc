#include "common/wheel_test/wheel_grader.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "common/base/number_text.h"
#include "common/wheel_test/wheel_grading.h"

namespace nl {

namespace {
// How a step's line is made and graded.
enum class Role {
    RoomFirst,   // `room`'s first notch alone: one that moves nothing may be an end of the range
    RoomRest,    // `room`'s other two notches; its line has all three
    NotchDown,   // U
    NotchUp,     // U back; the `setting` line follows
    Graded,      // a down half compared with a sound handler; an `end` step may follow
    End,         // one more notch after a graded half that fell short
    Mirror,      // the up half that follows a down half: info
    Horizontal,  // the horizontal wheel turned right
    Burst,       // twenty notches down at once, timed
    BurstEnd,    // the burst's own `end`, always sent
    BurstUp,     // twenty notches up at once, timed too
};

struct Stage {
    const char* pattern;
    const char* sent;  // the result line's
    Role role;
    bool horizontal;
    std::int16_t delta;
    int count;
};

// The test's steps in the order sent; an `End` stage is skipped unless the
// graded half before it fell short.
constexpr Stage kStages[] = {
    {"room", "3x-120", Role::RoomFirst, false, -120, 1},
    {"room", "3x-120", Role::RoomRest, false, -120, 2},
    {"notch", "-120", Role::NotchDown, false, -120, 1},
    {"notch", "+120", Role::NotchUp, false, 120, 1},
    {"two-notch", "-240", Role::Graded, false, -240, 1},
    {"end", "-120", Role::End, false, -120, 1},
    {"two-notch", "+240", Role::Mirror, false, 240, 1},
    {"sub-notch", "4x-30", Role::Graded, false, -30, 4},
    {"end", "-120", Role::End, false, -120, 1},
    {"sub-notch", "4x+30", Role::Mirror, false, 30, 4},
    {"fine", "8x-15", Role::Graded, false, -15, 8},
    {"end", "-120", Role::End, false, -120, 1},
    {"fine", "8x+15", Role::Mirror, false, 15, 8},
    {"horizontal", "H+120", Role::Horizontal, true, 120, 1},
    {"horizontal", "H-120", Role::Mirror, true, -120, 1},
    {"burst", "20x-120", Role::Burst, false, -120, 20},
    {"burst-end", "-120", Role::BurstEnd, false, -120, 1},
    {"burst", "20x+120", Role::BurstUp, false, 120, 20},
    {"room", "3x+120", Role::Mirror, false, 120, 3},
};
constexpr int kStageCount = static_cast<int>(sizeof kStages / sizeof kStages[0]);

// The result lines a stage makes (an `End` only once it is entered).
int LinesOf(Role role) {
    switch (role) {
        case Role::RoomFirst:
        case Role::End: return 0;
        case Role::NotchUp:
        case Role::Burst:
        case Role::BurstUp: return 2;
        default: return 1;
    }
}

// Room below needed for the test: 24 notches' worth.
constexpr int kNotchesOfRoom = 24;
constexpr int kMostTurnNotches = 40;
constexpr int kBackSpare = 3;

}  // namespace

WheelGrader::WheelGrader(WheelTestSetup setup) : setup_(std::move(setup)) {
    const int l = setup_.linesPerNotch;
    std::optional<int> need;
    if (l > 0) need = kNotchesOfRoom * l;
    else if (l == -1 && setup_.page) need = kNotchesOfRoom * *setup_.page;
    if (need && setup_.freeBelow && *setup_.freeBelow < *need) TurnAround(TurnMode::Range);
}

std::optional<WheelStep> WheelGrader::Next() const {
    if (ended_) return std::nullopt;
    WheelStep step;
    step.phase = phase_;
    if (phase_ == StepPhase::TurnAround) {
        step.pattern = "turn-around";
        step.sent = "+120";
        step.delta = 120;
        step.count = 1;
        return step;
    }
    if (phase_ == StepPhase::GoBack) {
        step.pattern = "back";
        step.delta = backDelta_;
        step.sent = backDelta_ > 0 ? "+120" : "-120";
        step.count = 1;
        return step;
    }
    const Stage& s = kStages[stage_];
    step.pattern = s.pattern;
    step.sent = s.sent;
    step.horizontal = s.horizontal;
    step.delta = s.delta;
    step.count = s.count;
    step.timed = s.role == Role::Burst || s.role == Role::BurstUp;
    return step;
}

int WheelGrader::ExpectedLines() const {
    int n = static_cast<int>(lines_.size());
    if (ended_ || phase_ == StepPhase::GoBack) return n;
    for (int i = stage_; i < kStageCount; ++i)
        n += kStages[i].role == Role::End ? (i == stage_ ? 1 : 0) : LinesOf(kStages[i].role);
    return n;
}

WheelProgress WheelGrader::Progress() const {
    WheelProgress p;
    const auto step = Next();
    if (!step) return p;
    p.phase = step->phase;
    p.pattern = step->pattern;
    p.sent = step->sent;
    p.lines = ExpectedLines();
    p.line = std::min(static_cast<int>(lines_.size()) + 1, p.lines);
    return p;
}

void WheelGrader::Track(const WheelStep& step, const StepReading& r) {
    if (step.horizontal) return;
    netDeltaSum_ += static_cast<std::int64_t>(step.delta) * step.count;
    if (r.position) position_ = r.position;
    else if (position_ && r.movement) *position_ += *r.movement;
    else position_.reset();
}

void WheelGrader::Feed(const StepReading& r) {
    const auto step = Next();
    if (!step) return;
    ++stepsSent_;
    Track(*step, r);
    switch (phase_) {
        case StepPhase::TurnAround: return FeedTurnAround(r);
        case StepPhase::GoBack: return FeedGoBack(r);
        case StepPhase::Test: return FeedTest(r);
    }
}

WheelResultLine& WheelGrader::AddLine(std::optional<int> sound, const StepReading& r, WheelVerdict verdict) {
    const Stage& s = kStages[stage_];
    WheelResultLine line;
    line.pattern = s.pattern;
    line.sent = s.sent;
    line.sound = sound;
    line.observed = r.movement;
    line.method = s.horizontal ? setup_.horizontalMethod : setup_.verticalMethod;
    line.verdict = r.movement ? verdict : WheelVerdict::Unmeasured;
    if (!r.movement) line.note = UnmeasuredNote(line.pattern, line.sent, r.reason);
    lines_.push_back(std::move(line));
    return lines_.back();
}

void WheelGrader::FeedTest(const StepReading& r) {
    const Stage& s = kStages[stage_];
    switch (s.role) {
        case Role::RoomFirst:
            if (r.movement == 0 && !turnedAround_) return TurnAround(TurnMode::Movement);
            roomFirst_ = r;
            break;
        case Role::RoomRest: {
            StepReading room = r;
            if (!roomFirst_->movement) room = *roomFirst_;
            else if (r.movement) *room.movement += *roomFirst_->movement;
            AddLine(std::nullopt, room, WheelVerdict::Info);
            break;
        }
        case Role::NotchDown: return FeedNotchDown(r);
        case Role::NotchUp: return FeedNotchUp(r);
        case Role::Graded:
        case Role::Burst: return FeedGraded(r);
        case Role::End:
        case Role::BurstEnd: return FeedEnd(r);
        case Role::BurstUp:
            AddLine(std::nullopt, r, WheelVerdict::Info);
            FeedCatchUp(r, true);
            break;
        case Role::Mirror: AddLine(std::nullopt, r, WheelVerdict::Info); break;
        case Role::Horizontal: {
            WheelResultLine& line = AddLine(std::nullopt, r, WheelVerdict::Info);
            line.graded = true;
            GradeHorizontal(line, setup_);
            break;
        }
    }
    if (++stage_ >= kStageCount) Finish();
}

void WheelGrader::FeedNotchDown(const StepReading& r) {
    WheelResultLine& line = AddLine(std::nullopt, r, WheelVerdict::Info);
    if (!r.movement) return Finish("one notch could not be measured: " + r.reason);
    if (*r.movement == 0) return Finish("the window did not scroll on the wheel, or has nothing to scroll");
    if (setup_.linesPerNotch == -1) {
        GradePagePerNotch(line, setup_);
        if (line.verdict == WheelVerdict::Fault) return Finish();  // the one finding: nothing after it tells more
    }
    ++stage_;
}

void WheelGrader::FeedNotchUp(const StepReading& r) {
    const auto down = lines_.back().observed;
    AddLine(std::nullopt, r, WheelVerdict::Info);
    if (*down < 0 || !r.movement || *r.movement != -*down)
        return Finish("one notch scrolled " + DecText(*down) + " down and " +
                      (r.movement ? DecText(-*r.movement) : std::string("unmeasured")) + " up");
    notch_ = *down;
    AddSettingLine();
    ++stage_;
}

void WheelGrader::AddSettingLine() {
    WheelResultLine line;
    line.pattern = "setting";
    line.observed = notch_;
    line.method = setup_.verticalMethod;
    line.graded = true;
    GradeSetting(line, setup_);
    lines_.push_back(std::move(line));
}

// A down half compared with what a sound handler moves at the target's own step.
void WheelGrader::FeedGraded(const StepReading& r) {
    const Stage& s = kStages[stage_];
    const int sum = s.delta * s.count;
    const int sound = static_cast<int>(-static_cast<std::int64_t>(sum) * notch_ / 120);
    WheelResultLine& line = AddLine(sound, r, WheelVerdict::Ok);
    line.graded = true;
    GradeHalf(line, s.count, notch_);
    gradedLine_ = lines_.size() - 1;
    if (s.role == Role::Burst) {
        FeedCatchUp(r, false);
        ++stage_;  // the burst's end is always sent
        return;
    }
    const bool fellShort = r.movement && *r.movement < sound;
    stage_ += fellShort ? 1 : 2;  // to its `end`, or past it to the mirror
}

void WheelGrader::FeedCatchUp(const StepReading& r, bool second) {
    WheelResultLine clock;
    clock.pattern = "catch-up";
    clock.sound = kCatchUpOkMs;
    clock.method = ReadMethod::Clock;
    clock.observed = r.catchUpMs;
    clock.verdict = WheelVerdict::Unmeasured;
    clock.graded = true;
    if (!r.catchUpMs) clock.note = UnmeasuredNote(clock.pattern, clock.sent, r.reason);
    lines_.push_back(std::move(clock));
    // Both lines share the verdict decided on the faster of the two.
    std::vector<WheelResultLine*> clocks;
    for (auto& line : lines_)
        if (line.pattern == "catch-up") clocks.push_back(&line);
    const CatchUpGrade grade =
        GradeCatchUp(clocks.front()->observed, second && clocks.size() > 1 ? clocks.back()->observed : std::nullopt);
    WheelResultLine* last = nullptr;
    for (WheelResultLine* line : clocks) {
        if (!line->observed) continue;  // keeps its own note
        line->verdict = grade.verdict;
        line->finding = grade.verdict == WheelVerdict::Fault ? grade.finding : std::string();
        line->note.clear();
        last = line;
    }
    if (last) last->note = grade.note;
}

// One more notch after a half that fell short: when it moves nothing, the
// half reached the end of the range and is only information.
void WheelGrader::FeedEnd(const StepReading& r) {
    AddLine(std::nullopt, r, WheelVerdict::Info);
    WheelResultLine& graded = lines_[gradedLine_];
    const bool fellShort = graded.observed && graded.sound && *graded.observed < *graded.sound;
    if (fellShort && r.movement == 0) {
        graded.verdict = WheelVerdict::Info;
        graded.finding.clear();
        graded.note = "Note: " + graded.pattern + " reached the end of the range.";
    }
    ++stage_;
}

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

void WheelGrader::StartGoingBack() {
    goneBack_ = true;
    if (!position_ || *position_ == 0) {
        backNote_ = position_ ? "Note: the target is back where it was."
                              : "Note: the target could not be brought back: " + WhereText() + ".";
        ended_ = true;
        return;
    }
    phase_ = StepPhase::GoBack;
    backMost_ = static_cast<int>((std::llabs(netDeltaSum_) + 119) / 120) + kBackSpare;
    backDelta_ = *position_ > 0 ? 120 : -120;  // below where it was: up
}

void WheelGrader::FeedGoBack(const StepReading& r) {
    ++backSent_;
    const std::optional<int> before = r.movement && position_ ? std::optional<int>(*position_ - *r.movement) : std::nullopt;
    bool done = !position_ || *position_ == 0 || backSent_ >= backMost_ || !r.movement;
    if (!done && before && ((*before > 0) != (*position_ > 0))) done = true;  // went past where it was
    if (!done && *r.movement == 0) done = true;                                // it does not come back
    if (!done && before && std::abs(*position_) > std::abs(*before)) {       // the wrong way: the other way once
        if (backFlipped_) done = true;
        backFlipped_ = true;
        backDelta_ = static_cast<std::int16_t>(-backDelta_);
    }
    if (!done) return;
    ended_ = true;
    backNote_ = position_ == 0 ? "Note: the target is back where it was."
                               : "Note: the target could not be brought back: " + WhereText() + ".";
}

void WheelGrader::Stop(const std::string& reason) {
    if (ended_) return;
    linesAtEnd_ = ExpectedLines();
    ended_ = true;
    if (phase_ == StepPhase::GoBack) {
        backNote_ = "Note: the target could not be brought back (" + reason + "): " + WhereText() + ".";
        return;
    }
    stopReason_ = reason;
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

int WheelGrader::UnmeasuredGraded() const {
    return static_cast<int>(std::count_if(lines_.begin(), lines_.end(), [](const WheelResultLine& l) {
        return l.graded && l.verdict == WheelVerdict::Unmeasured;
    }));
}

std::vector<std::string> WheelGrader::Findings() const {
    std::vector<std::string> findings;
    if (!stopReason_.empty()) return findings;
    for (const auto& line : lines_)
        if (line.verdict == WheelVerdict::Fault && std::find(findings.begin(), findings.end(), line.finding) == findings.end())
            findings.push_back(line.finding);
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
