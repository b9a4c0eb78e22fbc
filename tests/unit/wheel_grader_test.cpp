#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "common/wheel_test/wheel_grader.h"
#include "common/wheel_test/wheel_grading.h"
#include "common/wheel_test/wheel_report.h"
#include "common/wheel_test/wheel_test_loop.h"
#include "common/wheel_test/zoom_profile_grading.h"

namespace nl {
namespace {

constexpr std::optional<int> kUnmeasured = std::nullopt;
constexpr ReadMethod kItems = ReadMethod::ListBoxTop, kUnits = ReadMethod::ScrollBarControl, kPx = ReadMethod::Image,
                     kLines = ReadMethod::EditFirstLine;

// The result lines, then findings, notes and the Result line.
std::vector<std::string> Report(const WheelGrader& grader) {
    std::vector<std::string> lines;
    for (const auto& line : grader.Lines()) lines.push_back(WheelResultLineText(line));
    for (const auto& f : grader.Findings()) lines.push_back(f);
    for (const auto& n : grader.Notes()) lines.push_back(n);
    lines.push_back(grader.ResultText());
    return lines;
}

// Plays a whole test with the movements given, in order, for every step the
// grader asks for (turning around and going back included); timed steps take
// their catch-up from `catchUps`. `stopAt`: the step (from 1) before which the
// test is stopped (0: never).
std::vector<std::string> Play(const WheelTestSetup& setup, const std::vector<std::optional<int>>& movements,
                              std::vector<int> catchUps = {40, 40}, int stopAt = 0) {
    WheelGrader grader(setup);
    std::size_t next = 0;
    while (const auto step = grader.Next()) {
        if (static_cast<int>(next) + 1 == stopAt) {
            grader.Stop("stopped");
            break;
        }
        if (next >= movements.size()) {
            ADD_FAILURE() << "no movement for step " << next + 1 << " " << step->pattern;
            break;
        }
        StepReading r;
        r.movement = movements[next++];
        r.reason = "the reason";
        if (step->timed && !catchUps.empty()) {
            if (catchUps.front() >= 0) r.catchUpMs = catchUps.front();
            catchUps.erase(catchUps.begin());
        }
        grader.Feed(r);
    }
    EXPECT_EQ(next, movements.size()) << "movements left over";
    return Report(grader);
}

WheelTestSetup TestSetup(ReadMethod vertical, ReadMethod horizontal = kPx, bool bar = false, int lines = 3, int chars = 3) {
    WheelTestSetup s;
    s.linesPerNotch = lines;
    s.charsPerNotch = chars;
    s.verticalMethod = vertical;
    s.horizontalMethod = horizontal;
    s.horizontalBar = bar;
    return s;
}

const char* const kDrops =
    "Drops sub-notch deltas (it divides each delta by 120 before adding up): touchpads and high-resolution wheels do "
    "not scroll.";
const char* const kEveryMessage = "Treats every message as a whole notch: touchpads scroll far too fast.";
const char* const kNothingSideways =
    "Note: nothing moved sideways on the horizontal wheel (there may be nothing to scroll sideways).";
const char* const kBack = "Note: the target is back where it was.";

// A sound handler at U units per notch, with `right` for the horizontal
// wheel, and the one notch back down it ends with (burst-end).
std::vector<std::optional<int>> Sound(int u, int right = 0) {
    return {u, 2 * u, u, -u, 2 * u, -2 * u, u, -u, u, -u, right, -right, 20 * u, u, -20 * u, -3 * u, -u};
}

// Kinds line by line: `end` steps, the ends of the range, both catch-ups.
TEST(WheelGrader, TargetKinds) {
    struct Row {
        const char* kind;
        WheelTestSetup setup;
        std::vector<std::optional<int>> movements;
        std::vector<int> catchUps;
        std::vector<std::string> expected;
    } rows[] = {
        {"truncating: an end step follows each short half",
         TestSetup(kUnits),
         {3, 6, 3, -3, 6, -6, 0, 3, 0, 0, 3, 0, 0, 0, 60, 3, -60, -9, -3, -3, -3},
         {40, 40},
         {"room,3x-120,,9,SBM_GETPOS units,info", "notch,-120,,3,SBM_GETPOS units,info",
          "notch,+120,,-3,SBM_GETPOS units,info", "setting,,,3,SBM_GETPOS units,info",
          "two-notch,-240,6,6,SBM_GETPOS units,ok", "two-notch,+240,,-6,SBM_GETPOS units,info",
          "sub-notch,4x-30,3,0,SBM_GETPOS units,fault", "end,-120,,3,SBM_GETPOS units,info",
          "sub-notch,4x+30,,0,SBM_GETPOS units,info", "fine,8x-15,3,0,SBM_GETPOS units,fault",
          "end,-120,,3,SBM_GETPOS units,info", "fine,8x+15,,0,SBM_GETPOS units,info",
          "horizontal,H+120,,0,image px,info", "horizontal,H-120,,0,image px,info",
          "burst,20x-120,60,60,SBM_GETPOS units,ok", "catch-up,,400,40,clock ms,ok",
          "burst-end,-120,,3,SBM_GETPOS units,info", "burst,20x+120,,-60,SBM_GETPOS units,info",
          "catch-up,,400,40,clock ms,ok", "room,3x+120,,-9,SBM_GETPOS units,info", kDrops, kNothingSideways,
          "Note: the target is back where it was.", "Result: 1 fault found"}},
        {"a short list reaching its end",
         TestSetup(kItems),
         {3, 6, 3, -3, 3, 0, -6, 3, -3, 3, -3, 0, 0, 6, 0, -12, 0},
         {500, 420},
         {"room,3x-120,,9,LB_GETTOPINDEX items,info", "notch,-120,,3,LB_GETTOPINDEX items,info",
          "notch,+120,,-3,LB_GETTOPINDEX items,info", "setting,,3,3,LB_GETTOPINDEX items,ok",
          "two-notch,-240,6,3,LB_GETTOPINDEX items,info", "end,-120,,0,LB_GETTOPINDEX items,info",
          "two-notch,+240,,-6,LB_GETTOPINDEX items,info", "sub-notch,4x-30,3,3,LB_GETTOPINDEX items,ok",
          "sub-notch,4x+30,,-3,LB_GETTOPINDEX items,info", "fine,8x-15,3,3,LB_GETTOPINDEX items,ok",
          "fine,8x+15,,-3,LB_GETTOPINDEX items,info", "horizontal,H+120,,0,image px,info",
          "horizontal,H-120,,0,image px,info", "burst,20x-120,60,6,LB_GETTOPINDEX items,info",
          "catch-up,,400,500,clock ms,info", "burst-end,-120,,0,LB_GETTOPINDEX items,info",
          "burst,20x+120,,-12,LB_GETTOPINDEX items,info", "catch-up,,400,420,clock ms,info",
          "room,3x+120,,0,LB_GETTOPINDEX items,info", "Note: two-notch reached the end of the range.",
          kNothingSideways, "Note: burst reached the end of the range.",
          "Note: catch-up took 500 and 420 ms, between 400 and 650 ms: not graded (a busy machine moves it either way).",
          kBack, "Result: no fault found"}},
    };
    for (const auto& r : rows) EXPECT_EQ(Play(r.setup, r.movements, r.catchUps), r.expected) << r.kind;
}

// The findings, notes and Result line of odd kinds, in the method's unit.
TEST(WheelGrader, FindingsAndNotes) {
    const char* const kUnmeasuredBurst = "Note: burst 20x-120 unmeasured: the reason.";
    struct Row {
        const char* what;
        WheelTestSetup setup;
        std::vector<std::optional<int>> movements;
        std::vector<std::string> expectedTail;  // the last lines: findings, notes, Result
        std::vector<int> catchUps = {40, 40};
    } rows[] = {
        {"both catch-ups at 400 ms", TestSetup(kItems), Sound(3), {kNothingSideways, kBack, "Result: no fault found"},
         {400, 400}},
        {"graded on the faster: 651 and 900 ms", TestSetup(kItems), Sound(3),
         {"Takes 651 ms to catch up with a burst of twenty notches.", kNothingSideways, kBack, "Result: 1 fault found"},
         {900, 651}},
        {"the faster is ok: 380 and 900 ms", TestSetup(kItems), Sound(3), {kNothingSideways, kBack, "Result: no fault found"},
         {380, 900}},
        {"one catch-up never came to rest", TestSetup(kItems), Sound(3),
         {kNothingSideways, "Note: catch-up unmeasured: the reason.", kBack,
          "Result: no fault found (1 step unmeasured)"},
         {40, -1}},
        {"accumulating, read by its scroll bars", TestSetup(kUnits, kUnits, true), Sound(3, 3),
         {kBack, "Result: no fault found"}},
        {"every message a notch", TestSetup(kUnits),
         {3, 6, 3, -3, 3, 3, -3, 12, -12, 24, -24, 0, 0, 60, 3, -60, -9, -3, -3},
         {"Scrolls one notch for a message of two notches.", kEveryMessage, kNothingSideways, kBack,
          "Result: 2 faults found"}},
        {"a list box scrolling a fixed 4 lines a notch", TestSetup(kItems), Sound(4),
         {"Scrolls 4 lines per notch while the setting is 3: it ignores the setting.",
          "Note: a program that reads the setting only when it starts scrolls by the old setting until it is started "
          "again.",
          kNothingSideways, kBack, "Result: 1 fault found"}},
        {"reversed horizontal", TestSetup(kUnits, ReadMethod::ScrollInfo, true), Sound(3, -3),
         {"Scrolls left when the horizontal wheel turns right.", kBack, "Result: 1 fault found"}},
        {"a horizontal scroll bar the wheel does not move", TestSetup(kUnits, kUnits, true), Sound(3, 0),
         {"Does not scroll sideways on the horizontal wheel.", kBack, "Result: 1 fault found"}},
        {"a burst the picture could not follow", TestSetup(kPx),
         {42, 84, 42, -42, 84, -84, 42, -42, 42, -42, 0, 0, kUnmeasured, 42, -840, -126},
         {kNothingSideways, kUnmeasuredBurst, "Note: the target could not be brought back: where it is could not be read.",
          "Result: no fault found (1 step unmeasured)"}},
        {"an unmeasured mirror is not inconclusive", TestSetup(kPx),
         {42, 84, 42, -42, 84, kUnmeasured, 42, -42, 42, -42, 0, 0, 840, 42, -840, -126},
         {"Note: two-notch +240 unmeasured: the reason.", kNothingSideways,
          "Note: the target could not be brought back: where it is could not be read.", "Result: no fault found"}},
        {"a fault and an unmeasured step", TestSetup(kLines),
         {3, 6, 3, -3, 5, kUnmeasured, -5, 3, -3, 3, -3, 0, 0, kUnmeasured, 3, -60, -9},
         {"Scrolls 5 lines for -240 (a sound handler: 6 lines).", "Note: end -120 unmeasured: the reason.",
          kNothingSideways, kUnmeasuredBurst, "Note: the target could not be brought back: where it is could not be read.",
          "Result: 1 fault found (1 step unmeasured)"}},
        {"too far is no end", TestSetup(ReadMethod::ListViewTop),
         {3, 6, 3, -3, 7, -7, 3, -3, 3, -3, 0, 0, 61, 3, -61, -9, -3},
         {"Scrolls 7 rows for -240 (a sound handler: 6 rows).",
          "Scrolls 61 rows for 20x-120 (a sound handler: 60 rows).", kNothingSideways, kBack, "Result: 2 faults found"}},
        {"no characters per notch", TestSetup(ReadMethod::ScrollInfo, ReadMethod::ScrollInfo, true, 3, 0), Sound(1, 0),
         {"Note: the setting is 0 characters per notch, so the horizontal wheel is not graded.", kBack,
          "Result: no fault found"}},
        {"horizontal unmeasured twice, with a bar", TestSetup(kItems, kPx, true),
         {3, 6, 3, -3, 6, -6, 3, -3, 3, -3, kUnmeasured, kUnmeasured, 60, 3, -60, -9, -3},
         {"Note: horizontal H+120 unmeasured: the reason.", "Note: horizontal H-120 unmeasured: the reason.", kBack,
          "Result: no fault found (1 step unmeasured)"}},
    };
    for (const auto& r : rows) {
        const auto lines = Play(r.setup, r.movements, r.catchUps);
        ASSERT_GE(lines.size(), r.expectedTail.size()) << r.what;
        EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<std::ptrdiff_t>(r.expectedTail.size()), lines.end()),
                  r.expectedTail)
            << r.what;
    }
}

// A simulated window: a position from 0 to `last` (its top at the end of the
// range), moved by `move` for each step.
struct SimTarget {
    int position = 0, last = 1000, page = 20;
    std::function<int(const WheelStep&)> move;  // whole units towards the end for one step
};

int SoundMove(const WheelStep& s, int u) { return s.horizontal ? 0 : -s.delta * s.count * u / 120; }

// Runs the grader against the simulated window, reading its position (and
// the range below it) after every step; returns the report's lines and where
// the window ended.
std::vector<std::string> Simulate(WheelTestSetup setup, SimTarget t, int* endedAt = nullptr, int stopAfter = 0) {
    const int start = t.position;
    setup.page = t.page;
    setup.freeBelow = t.last - t.position;
    WheelGrader grader(setup);
    int sent = 0;
    while (const auto step = grader.Next()) {
        if (stopAfter > 0 && sent == stopAfter) {
            grader.Stop("stopped");
            break;
        }
        ++sent;
        const int before = t.position;
        t.position = std::clamp(t.position + t.move(*step), 0, t.last);
        StepReading r;
        r.movement = step->horizontal ? 0 : t.position - before;
        r.position = t.position - start;
        r.freeBelow = t.last - t.position;
        if (step->timed) r.catchUpMs = 100;
        grader.Feed(r);
        if (sent > 200) break;
    }
    if (endedAt) *endedAt = t.position;
    return Report(grader);
}

// Whether `want` appear in `lines` in this order.
bool InOrder(const std::vector<std::string>& lines, const std::vector<std::string>& want) {
    auto at = lines.begin();
    for (const auto& w : want)
        if ((at = std::find(at, lines.end(), w)) == lines.end()) return false;
    return true;
}

// Where the target starts, and where the test leaves it.
TEST(WheelGrader, TurningAroundAndTheWayBack) {
    const auto sound = [](const WheelStep& s) { return SoundMove(s, 3); };
    const auto wrongWay = [](const WheelStep& s) { return -SoundMove(s, 1); };  // one line, the wrong way
    const auto pagePerNotch = [](const WheelStep& s) { return SoundMove(s, 20); };
    // Sound, but twenty notches up at once move it only half way.
    const auto halfBurstUp = [](const WheelStep& s) { return s.count == 20 && s.delta > 0 ? -30 : SoundMove(s, 3); };
    const std::string kNeitherWay = "Result: could not test (the window did not scroll on the wheel, or has nothing to scroll)";
    struct Row {
        const char* what;
        WheelTestSetup setup;
        SimTarget target;
        int endsAt;
        std::vector<std::string> expected;  // in this order, among the report's lines
    } rows[] = {
        {"a list at its end turns around and comes back", TestSetup(kItems), {180, 180, 20, sound}, 180,
         {"room,3x+120,,-9,LB_GETTOPINDEX items,info", "Note: the target was at its end: it was first scrolled up 72 items.",
          kNothingSideways, kBack, "Result: no fault found"}},
        {"a picture at its end: room's first notch moves nothing", TestSetup(kPx), {90, 90, 20, sound}, 90,
         {"room,3x-120,,9,image px,info", "Note: the target was at its end: it was first scrolled up 72 px.", kBack,
          "Result: no fault found"}},
        {"neither way", TestSetup(kItems), {0, 0, 20, sound}, 0, {"notch,-120,,0,LB_GETTOPINDEX items,info", kBack, kNeitherWay}},
        {"the wrong way at a page per notch, from the top", TestSetup(kLines, kPx, false, -1), {0, 1000, 20, wrongWay}, 0,
         {"room,3x-120,,-3,EM_GETFIRSTVISIBLELINE lines,info", "notch,-120,20,-1,EM_GETFIRSTVISIBLELINE lines,fault",
          "Scrolls the wrong way when the setting is one page per notch.",
          "Note: the target was at its end: it was first scrolled down 24 lines.", kBack, "Result: 1 fault found"}},
        {"a page per notch", TestSetup(kLines, kPx, false, -1), {0, 10000, 20, pagePerNotch}, 0,
         {"notch,-120,20,20,EM_GETFIRSTVISIBLELINE lines,ok",
          "Note: the setting scrolls a page per notch, so lines per notch are not graded.", kBack,
          "Result: no fault found"}},
        {"a page less one line is a page", TestSetup(kLines, kPx, false, -1), {0, 10000, 21, pagePerNotch}, 0,
         {"notch,-120,21,20,EM_GETFIRSTVISIBLELINE lines,ok", "Result: no fault found"}},
        {"another step at a page per notch", TestSetup(kLines, kPx, false, -1), {0, 10000, 30, pagePerNotch}, 0,
         {"notch,-120,30,20,EM_GETFIRSTVISIBLELINE lines,info",
          "Note: one notch moved 20 lines at one page per notch (a page is 30 lines).", "Result: no fault found"}},
        {"the way back sends at most the net notches and three", TestSetup(kItems), {0, 1000, 20, halfBurstUp}, 21,
         {"burst,20x+120,,-30,LB_GETTOPINDEX items,info",
          "Note: the target could not be brought back: it is 21 items below where it was.", "Result: no fault found"}},
    };
    for (const auto& r : rows) {
        int endedAt = -1;
        const auto lines = Simulate(r.setup, r.target, &endedAt);
        EXPECT_EQ(endedAt, r.endsAt) << r.what;
        EXPECT_TRUE(InOrder(lines, r.expected)) << r.what << ":\n" << ::testing::PrintToString(lines);
    }
}

// A window that scrolls by the setting it reads (or the one it read first,
// `keeps`) and zooms by `zoom` (a step a notch, x1.25; per message with
// `perMessage`; the wrong way with `outward`; only with the Ctrl key held
// with `keyboard`; never with `none`, scrolling instead).
struct SettingAndZoomTarget {
    bool keeps = false, perMessage = false, outward = false, keyboard = false, none = false;
    double largest = 1e9;  // the size it stops at
    int lines = 3, page = 20, position = 0, rest = 0;
    double zoom = 100;
    std::optional<int> end = std::nullopt;  // the last position it scrolls to, where it has one
    int stuckAt = 0, unreadAt = 0;  // a setting at which a notch moves nothing, or cannot be read
    int setting = 0;
    // What one step did: its movement and the size, and whether it scrolled.
    StepReading Do(const WheelStep& s) {
        StepReading r;
        if (s.setLines) setting = *s.setLines;
        if (s.setLines && !keeps) lines = *s.setLines;
        const int per = lines == -1 ? page : lines;
        const bool ctrl = s.holdCtrl || (s.keys & 0x0008);
        const bool zooms = ctrl && !none && !(keyboard && !s.holdCtrl);
        if (zooms) {
            const int steps = perMessage ? s.count * (s.delta > 0 ? 1 : -1) : [&] {
                rest += s.delta * s.count;
                const int whole = rest / 120;
                rest -= whole * 120;
                return whole;
            }();
            for (int i = 0; i < std::abs(steps); ++i)
                zoom = (steps > 0) != outward ? std::min(largest, zoom * 1.25) : zoom / 1.25;
            r.movement = 0;
        } else {
            r.movement = s.horizontal ? 0 : -s.delta * s.count * per / 120;
            if (end) r.movement = std::min(*r.movement, *end - position);
            if (setting != 0 && setting == stuckAt) r.movement = 0;
            position += *r.movement;
            if (setting != 0 && setting == unreadAt) r.movement.reset(), r.reason = "the reason";
            r.zoomMoved = ctrl && *r.movement != 0;
        }
        r.position = position;
        if (end) r.freeBelow = *end - position;
        r.zoomPercent = static_cast<int>(zoom + 0.5);
        if (s.timed) r.catchUpMs = 100;
        return r;
    }
};

std::vector<std::string> PlaySettingsAndZoom(SettingAndZoomTarget t, std::vector<int> settings, bool zoom) {
    WheelTestSetup setup = TestSetup(kItems);
    setup.page = t.page;
    setup.settings = std::move(settings);
    setup.zoom = zoom;
    if (t.end) setup.freeBelow = *t.end - t.position;
    WheelGrader grader(setup);
    for (int sent = 0; grader.Next() && sent < 400; ++sent) grader.Feed(t.Do(*grader.Next()));
    std::vector<std::string> lines = Report(grader);
    for (const auto& row : grader.Profile())
        lines.push_back(ProfileRowText(ProfileRow{row.lines, row.observed, row.verdict, {}}, kItems));
    return lines;
}

TEST(WheelGrader, EverySettingAUserMayChoose) {
    const std::string kKeeps =
        "Scrolls 3 lines per notch at every value: it ignores the setting, or keeps the value it read when it started "
        "(start it again at another setting to tell which).";
    struct Row {
        const char* what;
        SettingAndZoomTarget target;
        std::vector<int> settings;
        std::vector<std::string> expected;  // in this order among the report's lines and the profile's
    } rows[] = {
        {"reads the setting again", {}, {1, 5, -1},
         {"notch@1,-120,,1,LB_GETTOPINDEX items,info", "setting@1,,1,1,LB_GETTOPINDEX items,ok",
          "two-notch@5,-240,10,10,LB_GETTOPINDEX items,ok", "notch@-1,-120,20,20,LB_GETTOPINDEX items,ok",
          "Result: no fault found", "profile,1,1,items,ok", "profile,5,5,items,ok", "profile,-1,20,items,ok"}},
        {"keeps the value it read when it started", {true}, {1, 5, -1},
         {"setting@1,,1,3,LB_GETTOPINDEX items,fault", "setting@5,,5,3,LB_GETTOPINDEX items,fault", kKeeps,
          "Result: 1 fault found", "profile,1,3,items,fault", "profile,5,3,items,fault", "profile,-1,3,items,info"}},
        // Each setting is tried where the test's patterns began, with room below; the target ends where it was found.
        {"found at its end", [] { SettingAndZoomTarget t; t.end = 0; return t; }(), {1, 5, -1},
         {"notch@1,-120,,1,LB_GETTOPINDEX items,info", "notch@5,-120,,5,LB_GETTOPINDEX items,info",
          "Note: the target was at its end: it was first scrolled up 72 items.", "Note: the target is back where it was.",
          "Result: no fault found", "profile,1,1,items,ok", "profile,5,5,items,ok", "profile,-1,20,items,ok"}},
        // A notch that moves nothing at a setting is measured: 0 lines. One that cannot be read counts as unmeasured.
        {"moves nothing at one line per notch", [] { SettingAndZoomTarget t; t.stuckAt = 1; return t; }(), {1, 5},
         {"notch@1,-120,,0,LB_GETTOPINDEX items,info",
          "Scrolls 0 lines per notch while the setting is 1: it ignores the setting.", "Result: 1 fault found",
          "profile,1,0,items,fault", "profile,5,5,items,ok"}},
        {"a setting's notch unread", [] { SettingAndZoomTarget t; t.unreadAt = 5; return t; }(), {1, 5},
         {"notch@5,-120,,unmeasured,LB_GETTOPINDEX items,unmeasured", "Note: notch@5 -120 unmeasured: the reason.",
          "Result: no fault found (1 step unmeasured)", "profile,1,1,items,ok", "profile,5,unmeasured,items,unmeasured"}},
    };
    for (const auto& r : rows) {
        const auto lines = PlaySettingsAndZoom(r.target, r.settings, false);
        EXPECT_TRUE(InOrder(lines, r.expected)) << r.what << ":\n" << ::testing::PrintToString(lines);
    }
}

TEST(WheelGrader, ZoomAndPinch) {
    const char* const kNoZoom = "Note: the window did not zoom on Ctrl+wheel, so zoom is not graded.\r\nNote: Ctrl+wheel scrolled the window.";
    struct Row {
        const char* what;
        SettingAndZoomTarget target;
        std::vector<std::string> expected;
    } rows[] = {
        {"zooms by the message", {},
         {"zoom,+120,,125,image %,ok", "pinch,+120,,125,image %,ok", "pinch-fine,8x+15,,125,image %,ok",
          "Result: no fault found"}},
        {"checks the keyboard", {false, false, false, true},
         {"zoom,+120,,125,image %,ok", "pinch,+120,,100,image %,fault",
          "Scrolls on a touchpad pinch instead of zooming.", "Result: 1 fault found"}},
        {"a step every message", {false, true},
         {"pinch-fine,8x+15,,596,image %,fault", "Zooms a step for every message of a pinch: pinching zooms far too fast."}},
        // 400 back to 67, then a message at a time: 84, 105, where it is left (84 is farther).
        {"a step every message, at most 400%", {false, true, false, false, false, 400},
         {"pinch-fine,8x+15,,400,image %,fault", "Note: the zoom could not be brought back: it is at 105%."}},
        {"the wrong way", {false, false, true}, {"zoom,+120,,80,image %,fault", "Zooms out on Ctrl+wheel forward (the convention is in)."}},
        {"does not zoom", {false, false, false, false, true}, {"zoom,+120,,100,image %,info", kNoZoom, "Result: no fault found"}},
    };
    for (const auto& r : rows) {
        const auto lines = PlaySettingsAndZoom(r.target, {}, true);
        const bool leftZoomed = std::any_of(lines.begin(), lines.end(),
                                            [](const std::string& l) { return l.find("brought back") != std::string::npos; });
        EXPECT_EQ(leftZoomed, r.target.largest < 1000) << r.what;
        EXPECT_TRUE(InOrder(lines, r.expected)) << r.what << ":\n" << ::testing::PrintToString(lines);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("pinch", 0) == 0; }),
                  r.target.none ? 0 : r.target.keyboard ? 1 : 2) << r.what;
    }
}

TEST(WheelGrader, Stops) {
    struct Row {
        const char* what;
        std::vector<std::optional<int>> movements;
        int stopAt;
        std::vector<std::string> expected;
    } rows[] = {
        {"stopped before the first step", {}, 1, {"Result: could not test (stopped)"}},
        {"stopped mid-way: lines kept, no findings, where the target was left",
         {3, 6, 3, -3, 6, -6, 0, 3},
         9,
         {"room,3x-120,,9,LB_GETTOPINDEX items,info", "notch,-120,,3,LB_GETTOPINDEX items,info",
          "notch,+120,,-3,LB_GETTOPINDEX items,info", "setting,,3,3,LB_GETTOPINDEX items,ok",
          "two-notch,-240,6,6,LB_GETTOPINDEX items,ok", "two-notch,+240,,-6,LB_GETTOPINDEX items,info",
          "sub-notch,4x-30,3,0,LB_GETTOPINDEX items,fault", "end,-120,,3,LB_GETTOPINDEX items,info",
          "Note: the target was left 12 items below where it was.", "Result: could not test (stopped)"}},
        {"one notch moves nothing: back up",
         {3, 6, 0, -9},
         0,
         {"room,3x-120,,9,LB_GETTOPINDEX items,info", "notch,-120,,0,LB_GETTOPINDEX items,info", kBack,
          "Result: could not test (the window did not scroll on the wheel, or has nothing to scroll)"}},
        {"one notch unmeasured",
         {3, 6, kUnmeasured},
         0,
         {"room,3x-120,,9,LB_GETTOPINDEX items,info", "notch,-120,,unmeasured,LB_GETTOPINDEX items,unmeasured",
          "Result: could not test (one notch could not be measured: the reason)"}},
        {"back by less than one notch",
         {3, 6, 3, -2},
         0,
         {"room,3x-120,,9,LB_GETTOPINDEX items,info", "notch,-120,,3,LB_GETTOPINDEX items,info",
          "notch,+120,,-2,LB_GETTOPINDEX items,info", "Note: the target was left 10 items below where it was.",
          "Result: could not test (one notch scrolled 3 down and 2 up)"}},
        {"down the wrong way",
         {-3, -6, -3, 3},
         0,
         {"room,3x-120,,-9,LB_GETTOPINDEX items,info", "notch,-120,,-3,LB_GETTOPINDEX items,info",
          "notch,+120,,3,LB_GETTOPINDEX items,info", "Note: the target was left 9 items above where it was.",
          "Result: could not test (one notch scrolled -3 down and -3 up)"}},
    };
    for (const auto& r : rows) EXPECT_EQ(Play(TestSetup(kItems), r.movements, {40, 40}, r.stopAt), r.expected) << r.what;
}

TEST(WheelGrader, Progress) {
    WheelTestSetup setup = TestSetup(kItems);
    setup.freeBelow = 10;  // at its end: it turns around first
    WheelGrader grader(setup);
    const auto feed = [&](int moved, int freeBelow) {
        StepReading r;
        r.movement = moved;
        r.freeBelow = freeBelow;
        grader.Feed(r);
    };
    EXPECT_EQ(grader.Progress().phase, StepPhase::TurnAround);
    for (int i = 0; i < 21; ++i) feed(-3, 13 + 3 * i);  // 73 free: enough
    const WheelProgress p = grader.Progress();
    EXPECT_EQ(p.phase, StepPhase::Test);
    EXPECT_EQ(p.line, 1);
    EXPECT_EQ(p.lines, 18);
    feed(3, 70);
    feed(6, 64);
    feed(3, 61);
    EXPECT_EQ(grader.Progress().line, 3);
    feed(-3, 64);
    EXPECT_EQ(grader.Progress().pattern, "two-notch");
    EXPECT_EQ(grader.Progress().line, 5);
    feed(3, 61);  // short of six: its end step comes
    EXPECT_EQ(grader.Progress().lines, 19);
    EXPECT_EQ(grader.ResultText(), "");
    grader.Stop("the target was closed");
    EXPECT_FALSE(grader.Next());
    grader.Stop("stopped");  // the first reason stays
    EXPECT_EQ(grader.ResultText(), "Result: could not test (the target was closed)");
}

}  // namespace
}  // namespace nl

namespace nl {
namespace {

// The loop with a stand-in for the system: a sound window, a delivery that
// may refuse, a check that may fail while Esc is held.
struct StandInPort final : WheelTestPort {
    int steps = 0, refuseAt = 0, failCheckAt = 0;
    int closeAt = 0;       // the target closes under this step, or after it, at once
    bool closesUnder = true;
    bool escHeld = false;
    int position = 0;
    void Progress(const WheelGrader&) override {}
    bool StopAsked() override { return escHeld; }
    std::string Check() override {
        if (closeAt > 0 && steps >= closeAt) return "the target was closed";
        if (failCheckAt > 0 && steps + 1 == failCheckAt) {
            escHeld = true;  // the Esc key is itself a key held down
            return "a key or mouse button is held down";
        }
        return std::string();
    }
    std::string Send(const WheelStep& s) override {
        if (++steps == refuseAt) return "SendInput took 3 of " + std::to_string(s.count) + " events";
        return std::string();
    }
    StepReading Read(const WheelStep& s) override {
        StepReading r;
        if (closeAt > 0 && steps >= closeAt && closesUnder) {
            r.reason = "the position did not come to rest within a second";
            return r;
        }
        r.movement = SoundMove(s, 3);
        position += *r.movement;
        r.position = position;
        r.catchUpMs = 40;
        return r;
    }
};

TEST(WheelTestLoop, NotchlogsOwnFailuresAreNeverAGrade) {
    const struct Row {
        const char* what;
        int refuseAt, failCheckAt;
        const char* result;
        int exitCode;
        int closeAt = 0;
        bool closesUnder = true;
        std::vector<int> settings = {};
        int lines = -1;  // the result lines kept, where it matters
    } rows[] = {
        {"nothing goes wrong", 0, 0, "Result: no fault found", 0},
        {"the burst is refused", 15, 0, "Result: could not test (the system refused the input: SendInput took 3 of 20 events)", 2},
        {"refused on the way back", 17, 0, "Result: could not test (the system refused the input: SendInput took 3 of 1 events)", 2},
        {"Esc held when the check runs", 0, 6, "Result: could not test (stopped)", 2},
        // The two-notch's reading is lost to the closing, not kept as unmeasured: the room and the notches' lines.
        {"the target closes under a step", 0, 0, "Result: could not test (the target was closed)", 2, 5, true, {}, 4},
        {"closes under a setting's step", 0, 0, "Result: could not test (the target was closed)", 2, 20, true, {1, 5}},
        {"closes before the way back, a setting still to try", 0, 0, "Result: could not test (the target was closed)", 2, 16,
         false, {1}},
        {"closes before the last way back: the test stands", 0, 0, "Result: no fault found", 0, 16, false},
    };
    for (const Row& r : rows) {
        WheelTestSetup setup = TestSetup(kItems);
        setup.settings = r.settings;
        WheelGrader grader(setup);
        StandInPort port;
        port.refuseAt = r.refuseAt;
        port.failCheckAt = r.failCheckAt;
        port.closeAt = r.closeAt;
        port.closesUnder = r.closesUnder;
        RunWheelSteps(grader, port);
        EXPECT_EQ(grader.ResultText(), r.result) << r.what;
        EXPECT_EQ(WheelTestExitCode(grader, true), r.exitCode) << r.what;
        EXPECT_TRUE(grader.Findings().empty() || r.exitCode != 2) << r.what;
        if (r.lines >= 0) {
            EXPECT_EQ(static_cast<int>(grader.Lines().size()), r.lines) << r.what;
        }
    }
}

}  // namespace
}  // namespace nl
