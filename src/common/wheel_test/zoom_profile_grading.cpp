#include "common/wheel_test/zoom_profile_grading.h"

#include <algorithm>
#include <cstdlib>

#include "common/base/number_text.h"
#include "common/wheel_test/wheel_grading.h"

namespace nl {

namespace {
int ChangeOf(int percent) { return std::abs(percent - 100); }

std::string Lines(int n) { return DecText(n) + (n == 1 ? " line" : " lines"); }
}  // namespace

bool Zoomed(const std::optional<int>& percent) { return percent && ChangeOf(*percent) >= kLeastZoomChange; }

void GradeZoom(WheelResultLine& line, bool moved) {
    if (!line.observed) return;
    if (!Zoomed(line.observed)) {
        line.verdict = WheelVerdict::Info;
        line.note = "Note: the window did not zoom on Ctrl+wheel, so zoom is not graded.";
        if (moved) line.note += "\r\nNote: Ctrl+wheel scrolled the window.";
    } else if (*line.observed < 100) {
        line.verdict = WheelVerdict::Fault;
        line.finding = "Zooms out on Ctrl+wheel forward (the convention is in).";
    } else {
        line.verdict = WheelVerdict::Ok;
    }
}

void GradePinch(WheelResultLine& line, bool moved) {
    if (!line.observed) return;
    if (Zoomed(line.observed)) {
        line.verdict = WheelVerdict::Ok;
    } else {
        line.verdict = WheelVerdict::Fault;
        line.finding = moved ? "Scrolls on a touchpad pinch instead of zooming."
                             : "Ignores a touchpad pinch: it checks the Ctrl key instead of the message's MK_CONTROL.";
    }
}

void GradePinchFine(WheelResultLine& line, int zoomPercent) {
    if (!line.observed) return;
    const int fine = ChangeOf(*line.observed), whole = ChangeOf(zoomPercent);
    line.verdict = WheelVerdict::Fault;
    if (!Zoomed(line.observed))
        line.finding = "Ignores small pinch deltas: a touchpad's pinch does not zoom.";
    else if (fine >= 4 * whole)
        line.finding = "Zooms a step for every message of a pinch: pinching zooms far too fast.";
    else if (fine <= 2 * whole)
        line.verdict = WheelVerdict::Ok;
    else
        line.finding = "Zooms " + DecText(*line.observed) + "% for " + line.sent + " (Ctrl+wheel: " + DecText(zoomPercent) +
                       "%).";
}

std::vector<ProfileRow> GradeProfile(const std::vector<SettingMeasure>& measures, int found, std::optional<int> page,
                                     bool inLines) {
    std::vector<ProfileRow> rows;
    for (const auto& m : measures) rows.push_back(ProfileRow{m.lines, m.observed, WheelVerdict::Info, {}});
    // A page per notch: a page (or a page less one line) is right, the wrong way a fault.
    for (auto& row : rows) {
        if (row.lines != -1 || !row.observed) continue;
        if (*row.observed < 0) {
            row.verdict = WheelVerdict::Fault;
            row.finding = "Scrolls the wrong way when the setting is one page per notch.";
        } else if (inLines && page && (*row.observed == *page || *row.observed == *page - 1)) {
            row.verdict = WheelVerdict::Ok;
        }
    }
    if (!inLines) return rows;
    std::vector<ProfileRow*> counted;  // the values in lines, measured, smallest first
    for (auto& row : rows)
        if (row.lines > 0 && row.observed) counted.push_back(&row);
    std::sort(counted.begin(), counted.end(), [](const ProfileRow* a, const ProfileRow* b) { return a->lines < b->lines; });
    for (ProfileRow* row : counted) row->verdict = *row->observed == row->lines ? WheelVerdict::Ok : WheelVerdict::Fault;
    const bool allAlike = counted.size() >= 2 && std::all_of(counted.begin(), counted.end(), [&](const ProfileRow* r) {
        return *r->observed == *counted.front()->observed;
    });
    std::string finding;
    if (allAlike) {
        const int u = *counted.front()->observed;
        finding = u == found ? "Scrolls " + Lines(u) + " per notch at every value: it ignores the setting, or keeps the "
                                                       "value it read when it started (start it again at another setting "
                                                       "to tell which)."
                             : "Ignores the setting: scrolls " + Lines(u) + " per notch at every value.";
    } else {
        // Right up to a value, then the same number above it while a page holds more: a cap.
        std::size_t right = 0;
        while (right < counted.size() && *counted[right]->observed == counted[right]->lines) ++right;
        if (right > 0 && right < counted.size()) {
            const int cap = *counted[right]->observed;
            const bool capped = cap == counted[right - 1]->lines &&
                                std::all_of(counted.begin() + static_cast<std::ptrdiff_t>(right), counted.end(),
                                            [&](const ProfileRow* r) { return *r->observed == cap; }) &&
                                (!page || *page > cap);
            if (capped) finding = "Caps the setting at " + Lines(cap) + " per notch.";
        }
    }
    for (ProfileRow* row : counted) {
        if (row->verdict != WheelVerdict::Fault) continue;
        row->finding = !finding.empty() ? finding
                                        : "Scrolls " + Lines(*row->observed) + " per notch while the setting is " +
                                              DecText(row->lines) + ": it ignores the setting.";
    }
    return rows;
}

std::string ProfileRowText(const ProfileRow& row, ReadMethod method) {
    return "profile," + DecText(row.lines) + "," + (row.observed ? DecText(*row.observed) : std::string("unmeasured")) +
           "," + MethodUnit(method) + "," + VerdictText(row.verdict);
}

}  // namespace nl
