// After the wheel test and its way back: each lines-per-notch setting
// tried, then Ctrl+wheel zoom and a touchpad's pinch.
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

// ---- the sections after the test: each setting, then zoom --------------------

void WheelGrader::SectionDone() {
    phase_ = StepPhase::Test;
    if (!stopReason_.empty() || earlyEnd_ || section_ == Section::Zoom) {
        ended_ = true;
        return;
    }
    if (section_ == Section::Profile) ++profileIndex_;
    if (profileIndex_ < setup_.settings.size()) return StartProfileValue();
    if (section_ == Section::Profile) FinishProfile();
    if (setup_.zoom) return StartZoom();
    ended_ = true;
}

void WheelGrader::StartProfileValue() {
    section_ = Section::Profile;
    phase_ = StepPhase::Test;
    stage_ = 0;
    settingsTried_.push_back(SettingTried{setup_.settings[profileIndex_], std::nullopt, std::string(), std::string::npos});
}

// Each setting by what its notch down moved: a notch that moved nothing, or
// the wrong way, is a measure too.
void WheelGrader::FinishProfile() {
    std::vector<SettingMeasure> measures;
    for (const SettingTried& tried : settingsTried_) measures.push_back(SettingMeasure{tried.lines, tried.notch});
    const std::vector<ProfileRow> rows =
        GradeProfile(measures, setup_.linesPerNotch, setup_.page, CountsLines(setup_.verticalMethod));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SettingTried& tried = settingsTried_[i];
        const WheelVerdict verdict = rows[i].observed ? rows[i].verdict : WheelVerdict::Unmeasured;
        profile_.push_back(ProfileRowValue{rows[i].lines, rows[i].observed, verdict, rows[i].observed ? "" : tried.reason,
                                           rows[i].finding});
        if (tried.settingLine == std::string::npos) continue;
        WheelResultLine& line = lines_[tried.settingLine];
        line.verdict = rows[i].verdict;
        line.finding = rows[i].finding;
    }
}

void WheelGrader::StartZoom() {
    section_ = Section::Zoom;
    phase_ = StepPhase::Test;
    stage_ = 0;
    zoomBacking_ = false;
}

void WheelGrader::FeedZoom(const StepReading& r) {
    const Stage& s = kZoomStages[stage_];
    WheelResultLine line;
    line.pattern = s.pattern;
    line.sent = s.sent;
    line.observed = r.zoomPercent;
    line.method = setup_.zoomMethod;
    line.graded = true;
    line.verdict = r.zoomPercent ? WheelVerdict::Info : WheelVerdict::Unmeasured;
    if (!r.zoomPercent) line.note = UnmeasuredNote(line.pattern, line.sent, r.reason), line.reason = r.reason;
    bool goOn = r.zoomPercent.has_value();
    if (stage_ == 0) {
        GradeZoom(line, r.zoomMoved);
        if (Zoomed(r.zoomPercent)) zoomChange_ = r.zoomPercent;
        goOn = goOn && zoomChange_.has_value();  // no zoom: the other patterns are left out
    } else if (stage_ == 1) {
        GradePinch(line, r.zoomMoved);
        goOn = goOn && line.verdict == WheelVerdict::Ok;  // a pinch it ignores tells nothing more in small deltas
    } else {
        GradePinchFine(line, *zoomChange_);
    }
    lines_.push_back(std::move(line));
    if (!goOn) stage_ = kZoomStageCount - 1;  // after its way back, the last
    if (Zoomed(r.zoomPercent) || r.zoomMoved || !r.zoomPercent) {
        phase_ = StepPhase::GoBack;
        zoomBacking_ = true;
        zoomBackSent_ = 0;
        zoomBackAt_ = lines_.back().observed.value_or(100);
        zoomBackSingle_ = zoomBackLastStep_ = false;
        return;
    }
    if (++stage_ >= kZoomStageCount) SectionDone();
}

// Input towards the size it had until it is back within 5%, at most ten
// times; once for a zoom that could not be read or that scrolled instead. A
// target whose steps do not lead back to it (one that stops at its largest
// size, say) is gone past: from there a message at a time, and where one
// message takes it past again, it is left on the nearer side.
void WheelGrader::FeedZoomBack(const StepReading& r) {
    ++zoomBackSent_;
    const bool back = r.zoomPercent && !Zoomed(r.zoomPercent);
    const bool once = !Zoomed(lines_.back().observed);  // unread, or scrolled instead: undone once
    bool done = back || once || zoomBackLastStep_ || !r.zoomPercent || zoomBackSent_ >= kMostZoomBack;
    if (!done) {
        const int before = zoomBackAt_, now = *r.zoomPercent;
        zoomBackAt_ = now;
        if ((before >= 100) != (now >= 100)) {  // gone past
            if (zoomBackSingle_) {
                // One message apart on either side: the nearer one.
                done = std::abs(now - 100) <= std::abs(before - 100);
                zoomBackLastStep_ = true;
            }
            zoomBackSingle_ = true;
        }
    }
    if (!done) return;
    zoomBacking_ = false;
    phase_ = StepPhase::Test;
    if (!back && !once) {
        zoomBackNote_ = "Note: the zoom could not be brought back: it is at " +
                        (r.zoomPercent ? DecText(*r.zoomPercent) + "%." : std::string("a size that could not be read."));
        return SectionDone();
    }
    if (++stage_ >= kZoomStageCount) SectionDone();
}

}  // namespace nl
