#include "common/wheel_test/wheel_grader.h"

#include <algorithm>
#include <utility>

#include "common/base/number_text.h"

namespace nl {

namespace {
// How a step's line is graded.
enum class Role {
    Info,        // `room` and the `notch` halves: never graded
    Graded,      // a down half compared with a sound handler; an `end` step may follow
    End,         // one more notch after a graded half that fell short
    Mirror,      // the up half that follows a down half: info
    Horizontal,  // the horizontal wheel turned right
    Burst,       // twenty notches at once, timed
    BurstEnd,    // the burst's own `end`, always sent
};

struct Stage {
    const char* pattern;
    Role role;
    bool horizontal;
    std::int16_t delta;
    int count;
};

// The test's steps in the order sent; an `End` stage is skipped unless the
// graded half before it fell short.
constexpr Stage kStages[] = {
    {"room", Role::Info, false, -120, 3},        {"notch", Role::Info, false, -120, 1},
    {"notch", Role::Info, false, 120, 1},        {"two-notch", Role::Graded, false, -240, 1},
    {"end", Role::End, false, -120, 1},          {"two-notch", Role::Mirror, false, 240, 1},
    {"sub-notch", Role::Graded, false, -30, 4},  {"end", Role::End, false, -120, 1},
    {"sub-notch", Role::Mirror, false, 30, 4},   {"fine", Role::Graded, false, -15, 8},
    {"end", Role::End, false, -120, 1},          {"fine", Role::Mirror, false, 15, 8},
    {"horizontal", Role::Horizontal, true, 120, 1}, {"horizontal", Role::Mirror, true, -120, 1},
    {"burst", Role::Burst, false, -120, 20},     {"burst-end", Role::BurstEnd, false, -120, 1},
    {"burst", Role::Mirror, false, 120, 20},     {"room", Role::Info, false, 120, 3},
};
constexpr int kStageCount = static_cast<int>(sizeof kStages / sizeof kStages[0]);
constexpr int kNotchDown = 1, kNotchUp = 2;
constexpr int kCatchUpSoundMs = 500;

std::string SentText(const Stage& s) {
    std::string text;
    if (s.count > 1) text = DecText(s.count) + "x";
    if (s.horizontal) text += "H";
    if (s.delta > 0) text += "+";
    return text + DecText(s.delta);
}

// "items" from "LB_GETTOPINDEX items"; one of them is an "item".
std::string Units(const std::string& method, int n) {
    std::string unit = method.substr(method.find(' ') + 1);
    if ((n == 1 || n == -1) && unit.size() > 1 && unit.back() == 's') unit.pop_back();
    return DecText(n) + " " + unit;
}

std::string OptionalText(const std::optional<int>& v, const char* absent) {
    return v ? DecText(*v) : std::string(absent);
}

const char* VerdictText(WheelVerdict v) {
    switch (v) {
        case WheelVerdict::Ok: return "ok";
        case WheelVerdict::Fault: return "fault";
        case WheelVerdict::Info: return "info";
        case WheelVerdict::Unmeasured: break;
    }
    return "unmeasured";
}
}  // namespace

WheelGrader::WheelGrader(WheelTestSetup setup) : setup_(std::move(setup)) {}

std::optional<WheelStep> WheelGrader::Next() const {
    if (stage_ >= kStageCount || !stopReason_.empty()) return std::nullopt;
    const Stage& s = kStages[stage_];
    WheelStep step;
    step.pattern = s.pattern;
    step.sent = SentText(s);
    step.horizontal = s.horizontal;
    step.delta = s.delta;
    step.count = s.count;
    step.timed = s.role == Role::Burst;
    step.number = stepsSent_ + 1;
    return step;
}

std::string WheelGrader::Progress() const {
    const auto step = Next();
    return step ? "Step " + DecText(step->number) + ": " + step->pattern + " " + step->sent : std::string();
}

void WheelGrader::AddLine(std::optional<int> sound, std::optional<int> observed, WheelVerdict verdict,
                          std::string finding, std::string note) {
    const Stage& s = kStages[stage_];
    WheelResultLine line;
    line.pattern = s.pattern;
    line.sent = SentText(s);
    line.sound = sound;
    line.observed = observed;
    line.method = s.horizontal ? setup_.horizontalMethod : setup_.verticalMethod;
    line.verdict = observed ? verdict : WheelVerdict::Unmeasured;
    if (line.verdict == WheelVerdict::Fault) line.finding = std::move(finding);
    line.note = std::move(note);
    lines_.push_back(std::move(line));
}

void WheelGrader::Feed(std::optional<int> movement, std::optional<int> catchUpMs) {
    if (!Next()) return;
    ++stepsSent_;
    const Stage& s = kStages[stage_];
    switch (s.role) {
        case Role::Info:
            AddLine(std::nullopt, movement, WheelVerdict::Info);
            if (stage_ == kNotchDown && (!movement || *movement == 0))
                return Stop("the window did not scroll on the wheel, or has nothing to scroll");
            if (stage_ == kNotchUp) {
                const auto down = lines_[lines_.size() - 2].observed;
                if (*down < 0 || !movement || *movement != -*down)
                    return Stop("one notch scrolled " + DecText(*down) + " down and " +
                                (movement ? DecText(-*movement) : std::string("unmeasured")) + " up");
                notch_ = *down;
                AddSettingLine();
            }
            break;
        case Role::Graded:
        case Role::Burst: return FeedGraded(movement, catchUpMs);
        case Role::End:
        case Role::BurstEnd: return FeedEnd(movement);
        case Role::Mirror: AddLine(std::nullopt, movement, WheelVerdict::Info); break;
        case Role::Horizontal:
            AddLine(std::nullopt, movement, WheelVerdict::Info);
            GradeHorizontal(lines_.back());
            break;
    }
    ++stage_;
}

void WheelGrader::AddSettingLine() {
    WheelResultLine line;
    line.pattern = "setting";
    line.observed = notch_;
    line.method = setup_.verticalMethod;
    const int lines = setup_.linesPerNotch;
    if (lines == -1) {
        line.note = "Note: the setting scrolls a page per notch, so lines per notch are not graded.";
    } else if (lines <= 0) {
        line.note = "Note: the setting is " + DecText(lines) + " lines per notch, so lines per notch are not graded.";
    } else if (setup_.verticalInLines) {
        line.sound = lines;
        if (notch_ == lines) {
            line.verdict = WheelVerdict::Ok;
        } else {
            line.verdict = WheelVerdict::Fault;
            line.finding = "Scrolls " + Units("x lines", notch_) + " per notch while the setting is " + DecText(lines) +
                           ": it ignores the setting.";
        }
    }
    lines_.push_back(std::move(line));
}

// A down half compared with what a sound handler moves at the target's own step.
void WheelGrader::FeedGraded(std::optional<int> movement, std::optional<int> catchUpMs) {
    const Stage& s = kStages[stage_];
    const int sum = s.delta * s.count;
    const int sound = static_cast<int>(-static_cast<std::int64_t>(sum) * notch_ / 120);
    AddLine(sound, movement, WheelVerdict::Ok);
    gradedLine_ = lines_.size() - 1;
    Grade(lines_.back(), s.count);
    if (s.role == Role::Burst) {
        WheelResultLine clock;
        clock.pattern = "catch-up";
        clock.sound = kCatchUpSoundMs;
        clock.method = "clock ms";
        if (catchUpMs) {
            clock.observed = catchUpMs;
            clock.verdict = *catchUpMs > kCatchUpSoundMs ? WheelVerdict::Fault : WheelVerdict::Ok;
            if (*catchUpMs > kCatchUpSoundMs)
                clock.finding = "Takes " + DecText(*catchUpMs) + " ms to catch up with a burst of twenty notches.";
        } else {
            clock.verdict = WheelVerdict::Unmeasured;
        }
        lines_.push_back(std::move(clock));
        ++stage_;  // the burst's end is always sent
        return;
    }
    const bool short_ = movement && *movement < sound;
    stage_ += short_ ? 1 : 2;  // to its `end`, or past it to the mirror
}

// One more notch after a half that fell short: when it moves nothing, the
// half reached the end of the range and is only information.
void WheelGrader::FeedEnd(std::optional<int> movement) {
    AddLine(std::nullopt, movement, WheelVerdict::Info);
    WheelResultLine& graded = lines_[gradedLine_];
    const bool fellShort = graded.observed && graded.sound && *graded.observed < *graded.sound;
    if (fellShort && movement && *movement == 0) {
        graded.verdict = WheelVerdict::Info;
        graded.finding.clear();
        graded.note = "Note: " + graded.pattern + " reached the end of the range.";
    }
    ++stage_;
}

WheelResultLine& WheelGrader::Grade(WheelResultLine& line, int count) const {
    if (line.verdict == WheelVerdict::Unmeasured || *line.observed == *line.sound) return line;
    const int observed = *line.observed;
    line.verdict = WheelVerdict::Fault;
    if (line.pattern == "two-notch" && observed == notch_)
        line.finding = "Scrolls one notch for a message of two notches.";
    else if ((line.pattern == "sub-notch" || line.pattern == "fine") && observed == 0)
        line.finding = "Drops sub-notch deltas (it divides each delta by 120 before adding up): touchpads and "
                       "high-resolution wheels do not scroll.";
    else if ((line.pattern == "sub-notch" || line.pattern == "fine") && observed == count * notch_)
        line.finding = "Treats every message as a whole notch: touchpads scroll far too fast.";
    else
        line.finding = "Scrolls " + Units(line.method, observed) + " for " + line.sent + " (a sound handler: " +
                       Units(line.method, *line.sound) + ").";
    return line;
}

void WheelGrader::GradeHorizontal(WheelResultLine& line) const {
    if (line.verdict == WheelVerdict::Unmeasured) return;
    const int observed = *line.observed;
    if (setup_.charsPerNotch == 0) {
        line.note = "Note: the setting is 0 characters per notch, so the horizontal wheel is not graded.";
    } else if (observed == 0 && setup_.horizontalBar) {
        line.verdict = WheelVerdict::Fault;
        line.finding = "Does not scroll sideways on the horizontal wheel.";
    } else if (observed < 0) {
        line.verdict = WheelVerdict::Fault;
        line.finding = "Scrolls left when the horizontal wheel turns right.";
    } else if (observed == 0) {
        line.note = "Note: nothing moved sideways on the horizontal wheel (there may be nothing to scroll sideways).";
    }
}

void WheelGrader::Stop(const std::string& reason) {
    if (stopReason_.empty() && stage_ < kStageCount) stopReason_ = reason;
}

WheelOutcome WheelGrader::Outcome() const {
    if (!stopReason_.empty()) return WheelOutcome::CouldNotTest;
    if (stage_ < kStageCount) return WheelOutcome::Running;
    return Findings().empty() ? WheelOutcome::NoFault : WheelOutcome::Faults;
}

std::vector<std::string> WheelGrader::Findings() const {
    std::vector<std::string> findings;
    if (!stopReason_.empty()) return findings;
    for (const auto& line : lines_)
        if (!line.finding.empty() && std::find(findings.begin(), findings.end(), line.finding) == findings.end())
            findings.push_back(line.finding);
    return findings;
}

std::vector<std::string> WheelGrader::Notes() const {
    std::vector<std::string> notes;
    if (!stopReason_.empty()) return notes;
    int unmeasured = 0;
    for (const auto& line : lines_) {
        if (!line.note.empty()) notes.push_back(line.note);
        if (line.verdict == WheelVerdict::Unmeasured) ++unmeasured;
    }
    if (unmeasured > 0)
        notes.push_back("Note: " + DecText(unmeasured) + (unmeasured == 1 ? " step" : " steps") + " unmeasured.");
    return notes;
}

std::string WheelGrader::ResultText() const {
    switch (Outcome()) {
        case WheelOutcome::Running: return std::string();
        case WheelOutcome::CouldNotTest: return "Result: could not test (" + stopReason_ + ")";
        case WheelOutcome::NoFault: return "Result: no fault found";
        case WheelOutcome::Faults: break;
    }
    const std::size_t n = Findings().size();
    return "Result: " + DecText(static_cast<std::int64_t>(n)) + (n == 1 ? " fault found" : " faults found");
}

std::string WheelResultLineText(const WheelResultLine& line) {
    return line.pattern + "," + line.sent + "," + OptionalText(line.sound, "") + "," +
           OptionalText(line.observed, "unmeasured") + "," + line.method + "," + VerdictText(line.verdict);
}

}  // namespace nl
