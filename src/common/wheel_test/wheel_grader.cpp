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

// The grader's core: the step to send next, and the test's own patterns.
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
    const Stage& s = StageAt(NL_TABLE, stage_);
    if (phase_ == StepPhase::GoBack && section_ != Section::Zoom) {
        step.pattern = "back";
        step.delta = backDelta_;
        step.sent = backDelta_ > 0 ? "+120" : "-120";
        step.count = 1;
        return step;
    }
    step.pattern = Suffixed(s.pattern);
    step.sent = s.sent;
    step.horizontal = s.horizontal;
    step.delta = s.delta;
    step.count = s.count;
    step.timed = s.role == Role::Burst || s.role == Role::BurstUp;
    if (s.role == Role::SetSetting) step.setLines = setup_.settings[profileIndex_];
    if (section_ == Section::Zoom) {
        step.readZoom = true;
        step.holdCtrl = s.role == Role::ZoomCtrl;
        step.posted = s.role == Role::Pinch;
        step.keys = s.role == Role::Pinch ? kControlKey : 0;
        step.markZoom = stage_ == 0 && !zoomBacking_;
        if (zoomBacking_) {  // towards the size it had: the opposite input while still on the side the stage took it
            const bool grew = lines_.back().observed.value_or(100) >= 100;
            const bool reverse = (zoomBackAt_ >= 100) == grew;
            step.pattern = "zoom back";
            step.delta = static_cast<std::int16_t>(reverse ? -s.delta : s.delta);
            step.count = zoomBackSingle_ ? 1 : s.count;
            step.sent = (step.count > 1 ? DecText(step.count) + "x" : std::string()) + DecText(step.delta);
        }
    }
    return step;
}

std::string WheelGrader::Suffixed(const std::string& pattern) const {
    if (section_ != Section::Profile) return pattern;
    return pattern + "@" + DecText(setup_.settings[profileIndex_]);
}

int WheelGrader::ExpectedLines() const {
    int n = static_cast<int>(lines_.size());
    if (ended_) return n;
    const Table table = NL_TABLE;
    if (phase_ != StepPhase::GoBack && section_ != Section::Zoom)
        for (int i = stage_; i < StageCount(table); ++i)
            n += StageAt(table, i).role == Role::End ? (i == stage_ ? 1 : 0)
                 : StageAt(table, i).role == Role::SetSetting ? 0
                                                             : LinesOf(StageAt(table, i).role);
    if (section_ == Section::Zoom) return n + kZoomStageCount - stage_ - (zoomBacking_ || phase_ == StepPhase::GoBack ? 1 : 0);
    const std::size_t valuesLeft = setup_.settings.size() - std::min(setup_.settings.size(),
                                                                    profileIndex_ + (section_ == Section::Profile ? 1 : 0));
    return n + static_cast<int>(valuesLeft) * kProfileLines + (setup_.zoom && !earlyEnd_ ? kZoomStageCount : 0);
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
    if (step.horizontal || step.readZoom || step.setLines) return;
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
        case StepPhase::GoBack: return section_ == Section::Zoom ? FeedZoomBack(r) : FeedGoBack(r);
        case StepPhase::Test: return section_ == Section::Zoom ? FeedZoom(r) : FeedTest(r);
    }
}

WheelResultLine& WheelGrader::AddLine(std::optional<int> sound, const StepReading& r, WheelVerdict verdict) {
    const Stage& s = StageAt(NL_TABLE, stage_);
    WheelResultLine line;
    line.pattern = Suffixed(s.pattern);
    line.sent = s.sent;
    line.sound = sound;
    line.observed = r.movement;
    line.method = s.horizontal ? setup_.horizontalMethod : setup_.verticalMethod;
    line.verdict = r.movement ? verdict : WheelVerdict::Unmeasured;
    if (!r.movement) line.note = UnmeasuredNote(line.pattern, line.sent, r.reason), line.reason = r.reason;
    lines_.push_back(std::move(line));
    return lines_.back();
}

void WheelGrader::FeedTest(const StepReading& r) {
    const Stage& s = StageAt(NL_TABLE, stage_);
    switch (s.role) {
        case Role::SetSetting:
        case Role::ZoomCtrl:
        case Role::Pinch: break;
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
    if (++stage_ < StageCount(NL_TABLE)) return;
    if (section_ == Section::Main) Finish();
    else StartGoingBack();  // a setting's patterns are done
}

void WheelGrader::FeedNotchDown(const StepReading& r) {
    WheelResultLine& line = AddLine(std::nullopt, r, WheelVerdict::Info);
    if (section_ == Section::Profile) {
        // A setting whose notch tells nothing, or the wrong way at a page per
        // notch, ends that setting's patterns; the next setting is tried.
        WheelTestSetup atValue = setup_;
        atValue.linesPerNotch = setup_.settings[profileIndex_];
        if (r.movement && *r.movement != 0 && atValue.linesPerNotch == -1) GradePagePerNotch(line, atValue);
        settingsTried_.back().notch = r.movement;
        settingsTried_.back().reason = r.reason;
        if (!r.movement || *r.movement <= 0) return StartGoingBack();
        ++stage_;
        return;
    }
    if (!r.movement) return Finish("one notch could not be measured: " + r.reason);
    if (*r.movement == 0) return Finish("the window did not scroll on the wheel, or has nothing to scroll");
    if (setup_.linesPerNotch == -1) {
        GradePagePerNotch(line, setup_);
        if (line.verdict == WheelVerdict::Fault) {  // the one finding: nothing after it tells more
            earlyEnd_ = true;
            return Finish();
        }
    }
    ++stage_;
}

void WheelGrader::FeedNotchUp(const StepReading& r) {
    const auto down = lines_.back().observed;
    AddLine(std::nullopt, r, WheelVerdict::Info);
    if (section_ == Section::Profile) {
        notch_ = *down;
        WheelResultLine line;
        line.pattern = Suffixed("setting");
        line.observed = notch_;
        line.method = setup_.verticalMethod;
        line.graded = true;
        const int value = setup_.settings[profileIndex_];
        if (value > 0 && CountsLines(setup_.verticalMethod)) line.sound = value;
        lines_.push_back(std::move(line));
        settingsTried_.back().settingLine = lines_.size() - 1;
        if (!r.movement || *r.movement != -*down) return StartGoingBack();
        ++stage_;
        return;
    }
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
    const Stage& s = StageAt(NL_TABLE, stage_);
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
    if (!r.catchUpMs) clock.note = UnmeasuredNote(clock.pattern, clock.sent, r.reason), clock.reason = r.reason;
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

}  // namespace nl
