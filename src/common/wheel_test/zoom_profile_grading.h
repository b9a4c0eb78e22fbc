// How the wheel test grades Ctrl+wheel zoom and a touchpad's pinch, and the
// scrolling it measured at each lines-per-notch setting a user may choose.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/wheel_test/wheel_grader.h"

namespace nl {

// A zoom reading changed the content's size when it differs from 100% by
// 5% or more.
inline constexpr int kLeastZoomChange = 5;
bool Zoomed(const std::optional<int>& percent);

// `zoom`: one notch forward with Ctrl held. Zooming out is a fault; no
// change is information with its notes (`moved`: the content scrolled
// instead), after which the other zoom patterns are left out.
void GradeZoom(WheelResultLine& line, bool moved);
// `pinch`: the same notch posted with MK_CONTROL and no key down, against
// what `zoom` did.
void GradePinch(WheelResultLine& line, bool moved);
// `pinch-fine`: eight messages of +15, against what `zoom` did (`zoomPercent`).
void GradePinchFine(WheelResultLine& line, int zoomPercent);

// What one setting scrolled: the setting's lines per notch (-1: a page)
// and U, one notch's movement there (nullopt: not measured).
struct SettingMeasure {
    int lines = 0;
    std::optional<int> observed;
};

// One line of the profile block, and the findings the profile gives.
struct ProfileRow {
    int lines = 0;
    std::optional<int> observed;
    WheelVerdict verdict = WheelVerdict::Info;
    std::string finding;  // the finding this value's fault shows, empty for others
};
inline constexpr const char* kProfileHeader = "profile,lines_per_notch,observed_per_notch,unit,verdict";

// Grades every setting together: a program that scrolls the same at every
// value ignores the setting (or keeps the one it read when it started, when
// that is the value found at the start, `found`); one that stops growing
// above a value while a page is larger caps it; at a page per notch the
// wrong way is a fault; any other value that scrolls other than its lines
// is a fault of its own. `inLines`: the reading counts lines, items or rows.
std::vector<ProfileRow> GradeProfile(const std::vector<SettingMeasure>& measures, int found,
                                     std::optional<int> page, bool inLines);
// "profile,10,10,items,ok"
std::string ProfileRowText(const ProfileRow& row, ReadMethod method);

}  // namespace nl
