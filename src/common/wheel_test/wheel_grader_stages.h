// The wheel test's steps, as its grader plays them: the patterns of the
// test itself, of each setting tried after it and of zoom, each with its
// role. Shared by the grader's parts; nothing outside them uses it.
#pragma once

#include <cstdint>

namespace nl {
namespace grader {
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
    SetSetting,  // a setting to try: nothing is sent, the setting changes
    ZoomCtrl,    // a notch with the Ctrl key held down
    Pinch,       // posted with MK_CONTROL in wParam and no key down
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
inline constexpr Stage kStages[] = {
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
inline constexpr int kStageCount = static_cast<int>(sizeof kStages / sizeof kStages[0]);

// For each setting tried, its pattern names suffixed with the value.
inline constexpr Stage kProfileStages[] = {
    {"set", "", Role::SetSetting, false, 0, 0},
    {"notch", "-120", Role::NotchDown, false, -120, 1},
    {"notch", "+120", Role::NotchUp, false, 120, 1},
    {"two-notch", "-240", Role::Graded, false, -240, 1},
    {"end", "-120", Role::End, false, -120, 1},
    {"two-notch", "+240", Role::Mirror, false, 240, 1},
    {"sub-notch", "4x-30", Role::Graded, false, -30, 4},
    {"end", "-120", Role::End, false, -120, 1},
    {"sub-notch", "4x+30", Role::Mirror, false, 30, 4},
};
inline constexpr int kProfileStageCount = static_cast<int>(sizeof kProfileStages / sizeof kProfileStages[0]);
inline constexpr int kProfileLines = 7;

// Each followed by its opposite until the size is back where it was.
inline constexpr Stage kZoomStages[] = {
    {"zoom", "+120", Role::ZoomCtrl, false, 120, 1},
    {"pinch", "+120", Role::Pinch, false, 120, 1},
    {"pinch-fine", "8x+15", Role::Pinch, false, 15, 8},
};
inline constexpr int kZoomStageCount = static_cast<int>(sizeof kZoomStages / sizeof kZoomStages[0]);
inline constexpr int kMostZoomBack = 10;
inline constexpr std::uint16_t kControlKey = 0x0008;  // MK_CONTROL

enum class Table { Main, Profile, Zoom };
inline const Stage& StageAt(Table t, int i) {
    return t == Table::Main ? kStages[i] : t == Table::Profile ? kProfileStages[i] : kZoomStages[i];
}
inline int StageCount(Table t) {
    return t == Table::Main ? kStageCount : t == Table::Profile ? kProfileStageCount : kZoomStageCount;
}

// The result lines a stage makes (an `End` only once it is entered).
inline int LinesOf(Role role) {
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
inline constexpr int kNotchesOfRoom = 24;
inline constexpr int kMostTurnNotches = 40;
inline constexpr int kBackSpare = 3;


inline Table TableOf(int section) { return section == 0 ? Table::Main : section == 1 ? Table::Profile : Table::Zoom; }

}  // namespace grader
}  // namespace nl

// The table of the grader's section now.
#define NL_TABLE ::nl::grader::TableOf(static_cast<int>(section_))
