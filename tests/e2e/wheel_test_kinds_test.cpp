// The wheel test as a script runs it (--test-target, --test-report) against
// windows of known kinds: the result lines, findings, notes and exit code
// each kind earns, with either delivery, and the pointer back where it was.
#include <gtest/gtest.h>

#include "driver/wheel_targets.h"
#include "driver/wheel_test_runs.h"

namespace nle2e {
namespace {

const char* const kSideways =
    "Note: nothing moved sideways on the horizontal wheel (there may be nothing to scroll sideways).";

struct Expected {
    WheelTargetKind kind;
    DWORD exitCode;
    const char* results;  // from the result header to the Result line, one per line
};

// Scroll-bar windows step 3 units a notch, list boxes 3 items (4 for
// fixed-four), the pixel window 3 lines of 16 px; a burst of twenty notches
// moves the pixel window further than it is high: it comes to rest, but how far
// it went cannot be measured.
const Expected kExpected[] = {
    {WheelTargetKind::Accumulating, 0, R"(pattern,sent,sound,observed,method,verdict
room,3x-120,,9,SBM_GETPOS units,info
notch,-120,,3,SBM_GETPOS units,info
notch,+120,,-3,SBM_GETPOS units,info
setting,,,3,SBM_GETPOS units,info
two-notch,-240,6,6,SBM_GETPOS units,ok
two-notch,+240,,-6,SBM_GETPOS units,info
sub-notch,4x-30,3,3,SBM_GETPOS units,ok
sub-notch,4x+30,,-3,SBM_GETPOS units,info
fine,8x-15,3,3,SBM_GETPOS units,ok
fine,8x+15,,-3,SBM_GETPOS units,info
horizontal,H+120,,0,image px,info
horizontal,H-120,,0,image px,info
burst,20x-120,60,60,SBM_GETPOS units,ok
catch-up,,500,MS,clock ms,ok
burst-end,-120,,3,SBM_GETPOS units,info
burst,20x+120,,-60,SBM_GETPOS units,info
room,3x+120,,-9,SBM_GETPOS units,info

NOTE
Result: no fault found)"},
    {WheelTargetKind::Truncating, 1, R"(pattern,sent,sound,observed,method,verdict
room,3x-120,,9,SBM_GETPOS units,info
notch,-120,,3,SBM_GETPOS units,info
notch,+120,,-3,SBM_GETPOS units,info
setting,,,3,SBM_GETPOS units,info
two-notch,-240,6,6,SBM_GETPOS units,ok
two-notch,+240,,-6,SBM_GETPOS units,info
sub-notch,4x-30,3,0,SBM_GETPOS units,fault
end,-120,,3,SBM_GETPOS units,info
sub-notch,4x+30,,0,SBM_GETPOS units,info
fine,8x-15,3,0,SBM_GETPOS units,fault
end,-120,,3,SBM_GETPOS units,info
fine,8x+15,,0,SBM_GETPOS units,info
horizontal,H+120,,0,image px,info
horizontal,H-120,,0,image px,info
burst,20x-120,60,60,SBM_GETPOS units,ok
catch-up,,500,MS,clock ms,ok
burst-end,-120,,3,SBM_GETPOS units,info
burst,20x+120,,-60,SBM_GETPOS units,info
room,3x+120,,-9,SBM_GETPOS units,info

Drops sub-notch deltas (it divides each delta by 120 before adding up): touchpads and high-resolution wheels do not scroll.
NOTE
Result: 1 fault found)"},
    {WheelTargetKind::EveryMessage, 1, R"(pattern,sent,sound,observed,method,verdict
room,3x-120,,9,SBM_GETPOS units,info
notch,-120,,3,SBM_GETPOS units,info
notch,+120,,-3,SBM_GETPOS units,info
setting,,,3,SBM_GETPOS units,info
two-notch,-240,6,3,SBM_GETPOS units,fault
end,-120,,3,SBM_GETPOS units,info
two-notch,+240,,-3,SBM_GETPOS units,info
sub-notch,4x-30,3,12,SBM_GETPOS units,fault
sub-notch,4x+30,,-12,SBM_GETPOS units,info
fine,8x-15,3,24,SBM_GETPOS units,fault
fine,8x+15,,-24,SBM_GETPOS units,info
horizontal,H+120,,0,image px,info
horizontal,H-120,,0,image px,info
burst,20x-120,60,60,SBM_GETPOS units,ok
catch-up,,500,MS,clock ms,ok
burst-end,-120,,3,SBM_GETPOS units,info
burst,20x+120,,-60,SBM_GETPOS units,info
room,3x+120,,-9,SBM_GETPOS units,info

Scrolls one notch for a message of two notches.
Treats every message as a whole notch: touchpads scroll far too fast.
NOTE
Result: 2 faults found)"},
    {WheelTargetKind::FixedFour, 1, R"(pattern,sent,sound,observed,method,verdict
room,3x-120,,12,LB_GETTOPINDEX items,info
notch,-120,,4,LB_GETTOPINDEX items,info
notch,+120,,-4,LB_GETTOPINDEX items,info
setting,,3,4,LB_GETTOPINDEX items,fault
two-notch,-240,8,8,LB_GETTOPINDEX items,ok
two-notch,+240,,-8,LB_GETTOPINDEX items,info
sub-notch,4x-30,4,4,LB_GETTOPINDEX items,ok
sub-notch,4x+30,,-4,LB_GETTOPINDEX items,info
fine,8x-15,4,4,LB_GETTOPINDEX items,ok
fine,8x+15,,-4,LB_GETTOPINDEX items,info
horizontal,H+120,,0,image px,info
horizontal,H-120,,0,image px,info
burst,20x-120,80,80,LB_GETTOPINDEX items,ok
catch-up,,500,MS,clock ms,ok
burst-end,-120,,4,LB_GETTOPINDEX items,info
burst,20x+120,,-80,LB_GETTOPINDEX items,info
room,3x+120,,-12,LB_GETTOPINDEX items,info

Scrolls 4 lines per notch while the setting is 3: it ignores the setting.
NOTE
Result: 1 fault found)"},
    {WheelTargetKind::ReversedHorizontal, 1, R"(pattern,sent,sound,observed,method,verdict
room,3x-120,,9,SBM_GETPOS units,info
notch,-120,,3,SBM_GETPOS units,info
notch,+120,,-3,SBM_GETPOS units,info
setting,,,3,SBM_GETPOS units,info
two-notch,-240,6,6,SBM_GETPOS units,ok
two-notch,+240,,-6,SBM_GETPOS units,info
sub-notch,4x-30,3,3,SBM_GETPOS units,ok
sub-notch,4x+30,,-3,SBM_GETPOS units,info
fine,8x-15,3,3,SBM_GETPOS units,ok
fine,8x+15,,-3,SBM_GETPOS units,info
horizontal,H+120,,-3,SBM_GETPOS units,fault
horizontal,H-120,,3,SBM_GETPOS units,info
burst,20x-120,60,60,SBM_GETPOS units,ok
catch-up,,500,MS,clock ms,ok
burst-end,-120,,3,SBM_GETPOS units,info
burst,20x+120,,-60,SBM_GETPOS units,info
room,3x+120,,-9,SBM_GETPOS units,info

Scrolls left when the horizontal wheel turns right.
Result: 1 fault found)"},
    {WheelTargetKind::IgnoresHorizontal, 1, R"(pattern,sent,sound,observed,method,verdict
room,3x-120,,9,SBM_GETPOS units,info
notch,-120,,3,SBM_GETPOS units,info
notch,+120,,-3,SBM_GETPOS units,info
setting,,,3,SBM_GETPOS units,info
two-notch,-240,6,6,SBM_GETPOS units,ok
two-notch,+240,,-6,SBM_GETPOS units,info
sub-notch,4x-30,3,3,SBM_GETPOS units,ok
sub-notch,4x+30,,-3,SBM_GETPOS units,info
fine,8x-15,3,3,SBM_GETPOS units,ok
fine,8x+15,,-3,SBM_GETPOS units,info
horizontal,H+120,,0,SBM_GETPOS units,fault
horizontal,H-120,,0,SBM_GETPOS units,info
burst,20x-120,60,60,SBM_GETPOS units,ok
catch-up,,500,MS,clock ms,ok
burst-end,-120,,3,SBM_GETPOS units,info
burst,20x+120,,-60,SBM_GETPOS units,info
room,3x+120,,-9,SBM_GETPOS units,info

Does not scroll sideways on the horizontal wheel.
Result: 1 fault found)"},
    {WheelTargetKind::Slow, 1, R"(pattern,sent,sound,observed,method,verdict
room,3x-120,,9,SBM_GETPOS units,info
notch,-120,,3,SBM_GETPOS units,info
notch,+120,,-3,SBM_GETPOS units,info
setting,,,3,SBM_GETPOS units,info
two-notch,-240,6,6,SBM_GETPOS units,ok
two-notch,+240,,-6,SBM_GETPOS units,info
sub-notch,4x-30,3,3,SBM_GETPOS units,ok
sub-notch,4x+30,,-3,SBM_GETPOS units,info
fine,8x-15,3,3,SBM_GETPOS units,ok
fine,8x+15,,-3,SBM_GETPOS units,info
horizontal,H+120,,0,image px,info
horizontal,H-120,,0,image px,info
burst,20x-120,60,60,SBM_GETPOS units,ok
catch-up,,500,MS,clock ms,fault
burst-end,-120,,3,SBM_GETPOS units,info
burst,20x+120,,-60,SBM_GETPOS units,info
room,3x+120,,-9,SBM_GETPOS units,info

Takes MS ms to catch up with a burst of twenty notches.
NOTE
Result: 1 fault found)"},
    {WheelTargetKind::List, 0, R"(pattern,sent,sound,observed,method,verdict
room,3x-120,,9,LB_GETTOPINDEX items,info
notch,-120,,3,LB_GETTOPINDEX items,info
notch,+120,,-3,LB_GETTOPINDEX items,info
setting,,3,3,LB_GETTOPINDEX items,ok
two-notch,-240,6,6,LB_GETTOPINDEX items,ok
two-notch,+240,,-6,LB_GETTOPINDEX items,info
sub-notch,4x-30,3,3,LB_GETTOPINDEX items,ok
sub-notch,4x+30,,-3,LB_GETTOPINDEX items,info
fine,8x-15,3,3,LB_GETTOPINDEX items,ok
fine,8x+15,,-3,LB_GETTOPINDEX items,info
horizontal,H+120,,0,image px,info
horizontal,H-120,,0,image px,info
burst,20x-120,60,60,LB_GETTOPINDEX items,ok
catch-up,,500,MS,clock ms,ok
burst-end,-120,,3,LB_GETTOPINDEX items,info
burst,20x+120,,-60,LB_GETTOPINDEX items,info
room,3x+120,,-9,LB_GETTOPINDEX items,info

NOTE
Result: no fault found)"},
    {WheelTargetKind::Pixels, 0, R"(pattern,sent,sound,observed,method,verdict
room,3x-120,,144,image px,info
notch,-120,,48,image px,info
notch,+120,,-48,image px,info
setting,,,48,image px,info
two-notch,-240,96,96,image px,ok
two-notch,+240,,-96,image px,info
sub-notch,4x-30,48,48,image px,ok
sub-notch,4x+30,,-48,image px,info
fine,8x-15,48,48,image px,ok
fine,8x+15,,-48,image px,info
horizontal,H+120,,0,image px,info
horizontal,H-120,,0,image px,info
burst,20x-120,960,unmeasured,image px,unmeasured
catch-up,,500,MS,clock ms,ok
burst-end,-120,,48,image px,info
burst,20x+120,,unmeasured,image px,unmeasured
room,3x+120,,-144,image px,info

NOTE
Note: 2 steps unmeasured.
Result: no fault found)"},
    {WheelTargetKind::ShortList, 0, R"(pattern,sent,sound,observed,method,verdict
room,3x-120,,9,LB_GETTOPINDEX items,info
notch,-120,,3,LB_GETTOPINDEX items,info
notch,+120,,-3,LB_GETTOPINDEX items,info
setting,,3,3,LB_GETTOPINDEX items,ok
two-notch,-240,6,3,LB_GETTOPINDEX items,info
end,-120,,0,LB_GETTOPINDEX items,info
two-notch,+240,,-6,LB_GETTOPINDEX items,info
sub-notch,4x-30,3,3,LB_GETTOPINDEX items,ok
sub-notch,4x+30,,-3,LB_GETTOPINDEX items,info
fine,8x-15,3,3,LB_GETTOPINDEX items,ok
fine,8x+15,,-3,LB_GETTOPINDEX items,info
horizontal,H+120,,0,image px,info
horizontal,H-120,,0,image px,info
burst,20x-120,60,6,LB_GETTOPINDEX items,info
catch-up,,500,MS,clock ms,ok
burst-end,-120,,0,LB_GETTOPINDEX items,info
burst,20x+120,,-12,LB_GETTOPINDEX items,info
room,3x+120,,0,LB_GETTOPINDEX items,info

Note: two-notch reached the end of the range.
NOTE
Note: burst reached the end of the range.
Result: no fault found)"},
};

std::vector<std::string> ExpectedResults(const Expected& e) {
    std::vector<std::string> lines = Split(std::string(e.results), "\n");
    for (auto& line : lines)
        if (line == "NOTE") line = kSideways;
    return lines;
}

// Runs each kind's test with `delivery`; the pointer rests away from every window meanwhile.
void RunKinds(const wchar_t* delivery, const std::vector<WheelTargetKind>& kinds) {
    for (const Expected& e : kExpected) {
        if (std::find(kinds.begin(), kinds.end(), e.kind) == kinds.end()) continue;
        SCOPED_TRACE(Narrow(WheelTargetName(e.kind)) + ", " + Narrow(delivery));
        WheelTarget target(e.kind);
        const POINT rest{3, 1000};
        MoveCursor(rest);
        const WheelTestReport report =
            RunWheelTestScript(L"--test-target " + HexSpec(target.Window()) + L" --test-delivery " + delivery);
        std::vector<std::string> results = report.Results();
        DWORD exitCode = report.exitCode;
        if (e.kind != WheelTargetKind::Slow) ForgiveLateCatchUp(results, exitCode);
        EXPECT_EQ(results, ExpectedResults(e)) << report.text;
        EXPECT_EQ(exitCode, e.exitCode);
        const POINT now = CursorNow();
        EXPECT_TRUE(now.x == rest.x && now.y == rest.y) << "the pointer stayed at " << now.x << "," << now.y;
        // The head names the target and the window measured at the centre of its client area.
        const auto lines = report.Lines();
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[1].rfind(Narrow(Format(L"Target: %08lX ", Handle32(target.Window()))), 0), 0u) << lines[1];
        EXPECT_EQ(lines[2].rfind(Narrow(Format(L"Measured window: %08lX ", Handle32(target.Content()))), 0), 0u)
            << lines[2];
    }
}

TEST(WheelTestKinds, InjectedGradesEveryKind) {
    RunKinds(L"injected", std::vector<WheelTargetKind>(std::begin(kAllWheelTargetKinds), std::end(kAllWheelTargetKinds)));
}

TEST(WheelTestKinds, PostedGradesAsInjected) {
    RunKinds(L"posted", {WheelTargetKind::Truncating, WheelTargetKind::ReversedHorizontal, WheelTargetKind::List});
}

}  // namespace
}  // namespace nle2e
