#include <gtest/gtest.h>

#include "common/wheel_test/wheel_grader.h"
#include "common/wheel_test/wheel_report.h"

namespace nl {
namespace {

constexpr std::optional<int> kUnmeasured = std::nullopt;

// Plays a whole test: each step the grader asks for gets the next movement;
// the timed step also gets `catchUpMs`. `stopAt`: the step before which the
// test is stopped (0: never). Gives the result lines, then findings, notes
// and the Result line.
std::vector<std::string> Play(const WheelTestSetup& setup, const std::vector<std::optional<int>>& movements, int catchUpMs = 40,
            int stopAt = 0) {
    WheelGrader grader(setup);
    std::size_t next = 0;
    while (const auto step = grader.Next()) {
        if (step->number == stopAt) {
            grader.Stop("stopped");
            break;
        }
        if (next >= movements.size()) {
            ADD_FAILURE() << "no movement for step " << step->number << " " << step->pattern;
            break;
        }
        const auto movement = movements[next++];
        grader.Feed(movement, step->timed ? std::optional<int>(catchUpMs) : std::nullopt);
    }
    EXPECT_EQ(next, movements.size()) << "movements left over";
    std::vector<std::string> lines;
    for (const auto& line : grader.Lines()) lines.push_back(WheelResultLineText(line));
    for (const auto& f : grader.Findings()) lines.push_back(f);
    for (const auto& n : grader.Notes()) lines.push_back(n);
    lines.push_back(grader.ResultText());
    return lines;
}

WheelTestSetup TestSetup(const char* vertical, bool inLines, const char* horizontal = "image px", bool bar = false,
                     int lines = 3, int chars = 3) {
    return WheelTestSetup{lines, chars, vertical, inLines, horizontal, bar};
}

const char* const kDrops =
    "Drops sub-notch deltas (it divides each delta by 120 before adding up): touchpads and high-resolution wheels do "
    "not scroll.";
const char* const kEveryMessage = "Treats every message as a whole notch: touchpads scroll far too fast.";
const char* const kNothingSideways =
    "Note: nothing moved sideways on the horizontal wheel (there may be nothing to scroll sideways).";

// A sound handler at U units per notch, with `right` for the horizontal wheel.
std::vector<std::optional<int>> Sound(int u, int right = 0) {
    return {3 * u, u, -u, 2 * u, -2 * u, u, -u, u, -u, right, -right, 20 * u, u, -20 * u, -3 * u};
}

// Two kinds line by line: extra `end` steps, and the ends of the range.
TEST(WheelGrader, TargetKinds) {
    struct Row {
        const char* kind;
        WheelTestSetup setup;
        std::vector<std::optional<int>> movements;
        int catchUpMs;
        std::vector<std::string> expected;
    } rows[] = {
        {"truncating: an end step follows each short half",
         TestSetup("SBM_GETPOS units", false),
         {9, 3, -3, 6, -6, 0, 3, 0, 0, 3, 0, 0, 0, 60, 3, -60, -9}, 40,
         {"room,3x-120,,9,SBM_GETPOS units,info", "notch,-120,,3,SBM_GETPOS units,info",
          "notch,+120,,-3,SBM_GETPOS units,info", "setting,,,3,SBM_GETPOS units,info",
          "two-notch,-240,6,6,SBM_GETPOS units,ok", "two-notch,+240,,-6,SBM_GETPOS units,info",
          "sub-notch,4x-30,3,0,SBM_GETPOS units,fault", "end,-120,,3,SBM_GETPOS units,info",
          "sub-notch,4x+30,,0,SBM_GETPOS units,info", "fine,8x-15,3,0,SBM_GETPOS units,fault",
          "end,-120,,3,SBM_GETPOS units,info", "fine,8x+15,,0,SBM_GETPOS units,info",
          "horizontal,H+120,,0,image px,info", "horizontal,H-120,,0,image px,info",
          "burst,20x-120,60,60,SBM_GETPOS units,ok", "catch-up,,500,40,clock ms,ok",
          "burst-end,-120,,3,SBM_GETPOS units,info", "burst,20x+120,,-60,SBM_GETPOS units,info",
          "room,3x+120,,-9,SBM_GETPOS units,info", kDrops, kNothingSideways, "Result: 1 fault found"}},
        {"a short list reaching its end", TestSetup("LB_GETTOPINDEX items", true),
         {9, 3, -3, 3, 0, -6, 3, -3, 3, -3, 0, 0, 2, 0, -20, -9}, 30,
         {"room,3x-120,,9,LB_GETTOPINDEX items,info", "notch,-120,,3,LB_GETTOPINDEX items,info",
          "notch,+120,,-3,LB_GETTOPINDEX items,info", "setting,,3,3,LB_GETTOPINDEX items,ok",
          "two-notch,-240,6,3,LB_GETTOPINDEX items,info", "end,-120,,0,LB_GETTOPINDEX items,info",
          "two-notch,+240,,-6,LB_GETTOPINDEX items,info", "sub-notch,4x-30,3,3,LB_GETTOPINDEX items,ok",
          "sub-notch,4x+30,,-3,LB_GETTOPINDEX items,info", "fine,8x-15,3,3,LB_GETTOPINDEX items,ok",
          "fine,8x+15,,-3,LB_GETTOPINDEX items,info", "horizontal,H+120,,0,image px,info",
          "horizontal,H-120,,0,image px,info", "burst,20x-120,60,2,LB_GETTOPINDEX items,info",
          "catch-up,,500,30,clock ms,ok", "burst-end,-120,,0,LB_GETTOPINDEX items,info",
          "burst,20x+120,,-20,LB_GETTOPINDEX items,info", "room,3x+120,,-9,LB_GETTOPINDEX items,info",
          "Note: two-notch reached the end of the range.", kNothingSideways,
          "Note: burst reached the end of the range.", "Result: no fault found"}},
    };
    for (const auto& r : rows) EXPECT_EQ(Play(r.setup, r.movements, r.catchUpMs), r.expected) << r.kind;
}

// Odd movements: the fault text names what was seen, in the method's unit.
TEST(WheelGrader, OtherFaultsAndSettings) {
    struct Row {
        const char* what;
        WheelTestSetup setup;
        std::vector<std::optional<int>> movements;
        std::vector<std::string> expectedTail;  // the last lines: findings, notes, Result
        int catchUpMs = 40;
    } rows[] = {
        {"caught up in 500 ms", TestSetup("LB_GETTOPINDEX items", true), Sound(3), {kNothingSideways, "Result: no fault found"},
         500},
        {"caught up in 501 ms", TestSetup("LB_GETTOPINDEX items", true), Sound(3),
         {"Takes 501 ms to catch up with a burst of twenty notches.", kNothingSideways, "Result: 1 fault found"}, 501},
        {"accumulating, read by its scroll bars", TestSetup("SBM_GETPOS units", false, "SBM_GETPOS units", true),
         Sound(3, 3), {"Result: no fault found"}},
        {"every message a notch", TestSetup("SBM_GETPOS units", false),
         {9, 3, -3, 3, 3, -3, 12, -12, 24, -24, 0, 0, 60, 3, -60, -9},
         {"Scrolls one notch for a message of two notches.", kEveryMessage, kNothingSideways, "Result: 2 faults found"}},
        {"a list box scrolling a fixed 4 lines a notch", TestSetup("LB_GETTOPINDEX items", true), Sound(4),
         {"Scrolls 4 lines per notch while the setting is 3: it ignores the setting.", kNothingSideways,
          "Result: 1 fault found"}},
        {"reversed horizontal", TestSetup("SBM_GETPOS units", false, "GetScrollInfo units", true), Sound(3, -3),
         {"Scrolls left when the horizontal wheel turns right.", "Result: 1 fault found"}},
        {"a horizontal scroll bar the wheel does not move", TestSetup("SBM_GETPOS units", false, "SBM_GETPOS units", true),
         Sound(3, 0), {"Does not scroll sideways on the horizontal wheel.", "Result: 1 fault found"}},
        {"pixels only, one reading lost", TestSetup("image px", false),
         {126, 42, -42, 84, -84, 42, -42, kUnmeasured, -42, 0, 0, 840, 42, -840, -126},
         {kNothingSideways, "Note: 1 step unmeasured.", "Result: no fault found"}},
        {"a short half that still moves on the extra notch", TestSetup("EM_GETFIRSTVISIBLELINE lines", true),
         {9, 3, -3, 1, 3, -1, 3, -3, 3, -3, 0, 0, 60, 3, -60, -9},
         {"Scrolls 1 line for -240 (a sound handler: 6 lines).", kNothingSideways, "Result: 1 fault found"}},
        {"an unmeasured extra notch keeps the fault", TestSetup("EM_GETFIRSTVISIBLELINE lines", true),
         {9, 3, -3, 5, kUnmeasured, -5, 3, -3, 3, -3, 0, 0, 59, 3, -60, -9},
         {"Scrolls 5 lines for -240 (a sound handler: 6 lines).",
          "Scrolls 59 lines for 20x-120 (a sound handler: 60 lines).", kNothingSideways, "Note: 1 step unmeasured.",
          "Result: 2 faults found"}},
        {"too far is no end", TestSetup("LVM_GETTOPINDEX rows", true),
         {9, 3, -3, 7, -7, 3, -3, 3, -3, 0, 0, 61, 3, -61, -9},
         {"Scrolls 7 rows for -240 (a sound handler: 6 rows).",
          "Scrolls 61 rows for 20x-120 (a sound handler: 60 rows).", kNothingSideways, "Result: 2 faults found"}},
        {"a page per notch", TestSetup("LB_GETTOPINDEX items", true, "image px", false, -1),
         {27, 9, -9, 18, -18, 9, -9, 9, -9, 0, 0, 180, 9, -180, -27},
         {"Note: the setting scrolls a page per notch, so lines per notch are not graded.", kNothingSideways,
          "Result: no fault found"}},
        {"no characters per notch", TestSetup("GetScrollInfo units", false, "GetScrollInfo units", true, 3, 0),
         Sound(1, 0),
         {"Note: the setting is 0 characters per notch, so the horizontal wheel is not graded.",
          "Result: no fault found"}},
        {"one line a notch, every message a notch", TestSetup("LB_GETTOPINDEX items", true, "image px", false, 1),
         {3, 1, -1, 2, -2, 4, -4, 8, -8, 0, 0, 20, 1, -20, -3},
         {kEveryMessage, kNothingSideways, "Result: 1 fault found"}},
        {"horizontal unmeasured twice", TestSetup("LB_GETTOPINDEX items", true, "image px", true),
         {9, 3, -3, 6, -6, 3, -3, 3, -3, kUnmeasured, kUnmeasured, 60, 3, -60, -9},
         {"Note: 2 steps unmeasured.", "Result: no fault found"}},
    };
    for (const auto& r : rows) {
        const auto lines = Play(r.setup, r.movements, r.catchUpMs);
        ASSERT_GE(lines.size(), r.expectedTail.size()) << r.what;
        EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<std::ptrdiff_t>(r.expectedTail.size()), lines.end()),
                  r.expectedTail)
            << r.what;
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
        {"stopped mid-way: lines kept, no findings or notes",
         {9, 3, -3, 6, -6, 0, 3},
         8,
         {"room,3x-120,,9,LB_GETTOPINDEX items,info", "notch,-120,,3,LB_GETTOPINDEX items,info",
          "notch,+120,,-3,LB_GETTOPINDEX items,info", "setting,,3,3,LB_GETTOPINDEX items,ok",
          "two-notch,-240,6,6,LB_GETTOPINDEX items,ok", "two-notch,+240,,-6,LB_GETTOPINDEX items,info",
          "sub-notch,4x-30,3,0,LB_GETTOPINDEX items,fault", "end,-120,,3,LB_GETTOPINDEX items,info",
          "Result: could not test (stopped)"}},
        {"one notch moves nothing",
         {9, 0},
         0,
         {"room,3x-120,,9,LB_GETTOPINDEX items,info", "notch,-120,,0,LB_GETTOPINDEX items,info",
          "Result: could not test (the window did not scroll on the wheel, or has nothing to scroll)"}},
        {"one notch unmeasured",
         {0, kUnmeasured},
         0,
         {"room,3x-120,,0,LB_GETTOPINDEX items,info", "notch,-120,,unmeasured,LB_GETTOPINDEX items,unmeasured",
          "Result: could not test (the window did not scroll on the wheel, or has nothing to scroll)"}},
        {"back by less than one notch",
         {9, 3, -2},
         0,
         {"room,3x-120,,9,LB_GETTOPINDEX items,info", "notch,-120,,3,LB_GETTOPINDEX items,info",
          "notch,+120,,-2,LB_GETTOPINDEX items,info", "Result: could not test (one notch scrolled 3 down and 2 up)"}},
        {"down the wrong way",
         {-9, -3, 3},
         0,
         {"room,3x-120,,-9,LB_GETTOPINDEX items,info", "notch,-120,,-3,LB_GETTOPINDEX items,info",
          "notch,+120,,3,LB_GETTOPINDEX items,info", "Result: could not test (one notch scrolled -3 down and -3 up)"}},
        {"back unmeasured",
         {9, 3, kUnmeasured},
         0,
         {"room,3x-120,,9,LB_GETTOPINDEX items,info", "notch,-120,,3,LB_GETTOPINDEX items,info",
          "notch,+120,,unmeasured,LB_GETTOPINDEX items,unmeasured",
          "Result: could not test (one notch scrolled 3 down and unmeasured up)"}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Play(TestSetup("LB_GETTOPINDEX items", true), r.movements, 40, r.stopAt), r.expected) << r.what;
}

TEST(WheelGrader, Progress) {
    WheelGrader grader(TestSetup("LB_GETTOPINDEX items", true));
    EXPECT_EQ(grader.Progress(), "Step 1: room 3x-120");
    grader.Feed(9);
    grader.Feed(3);
    grader.Feed(-3);
    EXPECT_EQ(grader.Progress(), "Step 4: two-notch -240");
    EXPECT_EQ(grader.ResultText(), "");
    grader.Stop("the target was closed");
    EXPECT_EQ(grader.Progress(), "");
    grader.Stop("stopped");  // the first reason stays
    EXPECT_EQ(grader.ResultText(), "Result: could not test (the target was closed)");
}

}  // namespace
}  // namespace nl
