// The wheel test as a script runs it (--test-target, --test-report) against
// windows of known kinds: the result lines, findings, notes and exit code
// each kind earns, with either delivery, and the pointer back where it was.
#include <gtest/gtest.h>

#include "driver/wheel_targets.h"
#include "driver/wheel_test_runs.h"

namespace nle2e {
namespace {

// A sound handler's result lines at `u` a notch, read by `v` (`h` sideways),
// the setting's sound `lines` where the reading counts lines.
std::vector<std::string> Sound(const std::string& v, int u, const std::string& h, const std::string& lines = "",
                               const std::string& catchUp = "ok") {
    const auto n = [](int x) { return std::to_string(x); };
    const std::string setting = lines.empty() ? "info" : n(u) == lines ? "ok" : "fault";
    return {"pattern,sent,sound,observed,method,verdict",
            "room,3x-120,," + n(3 * u) + "," + v + ",info",
            "notch,-120,," + n(u) + "," + v + ",info",
            "notch,+120,," + n(-u) + "," + v + ",info",
            "setting,," + lines + "," + n(u) + "," + v + "," + setting,
            "two-notch,-240," + n(2 * u) + "," + n(2 * u) + "," + v + ",ok",
            "two-notch,+240,," + n(-2 * u) + "," + v + ",info",
            "sub-notch,4x-30," + n(u) + "," + n(u) + "," + v + ",ok",
            "sub-notch,4x+30,," + n(-u) + "," + v + ",info",
            "fine,8x-15," + n(u) + "," + n(u) + "," + v + ",ok",
            "fine,8x+15,," + n(-u) + "," + v + ",info",
            "horizontal,H+120,,0," + h + ",info",
            "horizontal,H-120,,0," + h + ",info",
            "burst,20x-120," + n(20 * u) + "," + n(20 * u) + "," + v + ",ok",
            "catch-up,,400,MS,clock ms," + catchUp,
            "burst-end,-120,," + n(u) + "," + v + ",info",
            "burst,20x+120,," + n(-20 * u) + "," + v + ",info",
            "catch-up,,400,MS,clock ms," + catchUp,
            "room,3x+120,," + n(-3 * u) + "," + v + ",info",
            ""};
}

const std::string kUnits = "SBM_GETPOS units", kItems = "LB_GETTOPINDEX items", kImage = "image px";
const char* const kSideways =
    "Note: nothing moved sideways on the horizontal wheel (there may be nothing to scroll sideways).";
const char* const kBack = "Note: the target is back where it was.";

struct Expected {
    WheelTargetKind kind;
    std::vector<std::string> lines;  // a sound handler's
    // Lines that differ from a sound handler's: the line with the same
    // pattern and sent text is replaced by these (more than one: an `end`
    // step follows).
    std::vector<std::vector<std::string>> changes;
    std::vector<std::string> tail;  // findings, notes, Result
    DWORD exitCode;
};

// Scroll-bar windows step 3 units a notch, list boxes 3 items (4 for
// fixed-four), the pixel window 3 lines of 16 px; twenty notches move the
// pixel window further than it is high: it comes to rest, but how far it
// went cannot be measured.
const Expected kExpected[] = {
    {WheelTargetKind::Accumulating, Sound(kUnits, 3, kImage), {}, {kSideways, kBack, "Result: no fault found"}, 0},
    {WheelTargetKind::Truncating,
     Sound(kUnits, 3, kImage),
     {{"sub-notch,4x-30,3,0,SBM_GETPOS units,fault", "end,-120,,3,SBM_GETPOS units,info"},
      {"sub-notch,4x+30,,0,SBM_GETPOS units,info"},
      {"fine,8x-15,3,0,SBM_GETPOS units,fault", "end,-120,,3,SBM_GETPOS units,info"},
      {"fine,8x+15,,0,SBM_GETPOS units,info"}},
     {"Drops sub-notch deltas (it divides each delta by 120 before adding up): touchpads and high-resolution wheels "
      "do not scroll.",
      kSideways, kBack, "Result: 1 fault found"},
     1},
    {WheelTargetKind::EveryMessage,
     Sound(kUnits, 3, kImage),
     {{"two-notch,-240,6,3,SBM_GETPOS units,fault", "end,-120,,3,SBM_GETPOS units,info"},
      {"two-notch,+240,,-3,SBM_GETPOS units,info"},
      {"sub-notch,4x-30,3,12,SBM_GETPOS units,fault"},
      {"sub-notch,4x+30,,-12,SBM_GETPOS units,info"},
      {"fine,8x-15,3,24,SBM_GETPOS units,fault"},
      {"fine,8x+15,,-24,SBM_GETPOS units,info"}},
     {"Scrolls one notch for a message of two notches.",
      "Treats every message as a whole notch: touchpads scroll far too fast.", kSideways, kBack,
      "Result: 2 faults found"},
     1},
    {WheelTargetKind::FixedFour,
     Sound(kItems, 4, kImage, "3"),
     {},
     {"Scrolls 4 lines per notch while the setting is 3: it ignores the setting.",
      "Note: a program that reads the setting only when it starts scrolls by the old setting until it is started again.",
      kSideways, kBack, "Result: 1 fault found"},
     1},
    {WheelTargetKind::ReversedHorizontal,
     Sound(kUnits, 3, kUnits),
     {{"horizontal,H+120,,-3,SBM_GETPOS units,fault"}, {"horizontal,H-120,,3,SBM_GETPOS units,info"}},
     {"Scrolls left when the horizontal wheel turns right.", kBack, "Result: 1 fault found"},
     1},
    {WheelTargetKind::IgnoresHorizontal,
     Sound(kUnits, 3, kUnits),
     {{"horizontal,H+120,,0,SBM_GETPOS units,fault"}},
     {"Does not scroll sideways on the horizontal wheel.", kBack, "Result: 1 fault found"},
     1},
    {WheelTargetKind::Slow,
     Sound(kUnits, 3, kImage, "", "fault"),
     {},
     {"Takes MS ms to catch up with a burst of twenty notches.", kSideways, kBack, "Result: 1 fault found"},
     1},
    {WheelTargetKind::List, Sound(kItems, 3, kImage, "3"), {}, {kSideways, kBack, "Result: no fault found"}, 0},
    // The pixel window paints at every message: twenty notches are followed from capture to capture.
    {WheelTargetKind::Pixels, Sound(kImage, 48, kImage), {}, {kSideways, kBack, "Result: no fault found"}, 0},
    {WheelTargetKind::ShortList,
     Sound(kItems, 3, kImage, "3"),
     {{"two-notch,-240,6,3,LB_GETTOPINDEX items,info", "end,-120,,0,LB_GETTOPINDEX items,info"},
      {"burst,20x-120,60,6,LB_GETTOPINDEX items,info"},
      {"burst-end,-120,,0,LB_GETTOPINDEX items,info"},
      {"burst,20x+120,,-12,LB_GETTOPINDEX items,info"},
      {"room,3x+120,,0,LB_GETTOPINDEX items,info"}},
     {"Note: two-notch reached the end of the range.", kSideways, "Note: burst reached the end of the range.", kBack,
      "Result: no fault found"},
     0},
};

// Readable by their pixels only: the picture's rows and columns are matched,
// a still picture that repeats is read by its unchanged thumb, and a window
// that paints once after all its input leaves its burst unmeasured.
const char* const kNothingMatches =
    "nothing in the picture matches (it may have moved more than two thirds of the window between two readings)";
const Expected kPictureOnly[] = {
    {WheelTargetKind::BlocksReversed,
     Sound(kImage, 48, kImage),
     {{"horizontal,H+120,,-24,image px,fault"}, {"horizontal,H-120,,24,image px,info"}},
     {"Scrolls left when the horizontal wheel turns right.", kBack, "Result: 1 fault found"},
     1},
    {WheelTargetKind::BlocksIgnoresHorizontal,
     Sound(kImage, 48, kImage),
     {{"horizontal,H+120,,0,image px,fault"}},
     {"Does not scroll sideways on the horizontal wheel.", kBack, "Result: 1 fault found"},
     1},
    {WheelTargetKind::RepeatedText,
     Sound(kImage, 48, kImage),
     {{"horizontal,H+120,,0,image px,fault"}},
     {"Does not scroll sideways on the horizontal wheel.", kBack, "Result: 1 fault found"},
     1},
    {WheelTargetKind::PaintsOnce,
     Sound(kImage, 48, kImage),
     {{"burst,20x-120,960,unmeasured,image px,unmeasured"},
      {"burst-end,-120,,unmeasured,image px,unmeasured"},
      {"burst,20x+120,,unmeasured,image px,unmeasured"}},
     {kSideways, std::string("Note: burst 20x-120 unmeasured: ") + kNothingMatches + ".",
      std::string("Note: burst-end -120 unmeasured: ") + kNothingMatches + ".",
      "Note: burst 20x+120 unmeasured: the step before it could not be read.", kBack,
      "Result: no fault found (1 step unmeasured)"},
     4},
};

std::vector<std::string> ExpectedResults(const Expected& e) {
    std::vector<std::string> lines = e.lines;
    for (const auto& change : e.changes) {
        const std::string key = change[0].substr(0, change[0].find(',', change[0].find(',') + 1) + 1);
        const auto at = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(key, 0) == 0; });
        if (at == lines.end()) throw DriverError("no line " + key);
        lines.insert(lines.erase(at), change.begin(), change.end());
    }
    lines.insert(lines.end(), e.tail.begin(), e.tail.end());
    return lines;
}

// Runs each kind's test with `delivery`; the pointer rests away from every window meanwhile.
void RunKinds(const wchar_t* delivery, const std::vector<WheelTargetKind>& kinds,
              const std::vector<Expected>& table = std::vector<Expected>(std::begin(kExpected), std::end(kExpected))) {
    for (const Expected& e : table) {
        if (std::find(kinds.begin(), kinds.end(), e.kind) == kinds.end()) continue;
        SCOPED_TRACE(Narrow(WheelTargetName(e.kind)) + ", " + Narrow(delivery));
        WheelTarget target(e.kind);
        const POINT rest{3, 1000};
        MoveCursor(rest);
        const WheelTestReport report =
            RunWheelTestScript(L"--test-target " + HexForm(target.Window()) + L" --test-delivery " + delivery);
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
        EXPECT_EQ(lines[1], Narrow(Format(L"Target: %08lX %ls \"%ls\" (notchlog_wheel_target.exe, process %lu)",
                                          Handle32(target.Window()), ClassOf(target.Window()).c_str(),
                                          WheelTargetTitle(e.kind).c_str(), target.Pid())));
        EXPECT_EQ(lines[2].rfind(Narrow(Format(L"Measured window: %08lX ", Handle32(target.Content()))), 0), 0u)
            << lines[2];
    }
}

TEST(WheelTestKinds, InjectedGradesEveryKind) {
    RunKinds(L"injected", std::vector<WheelTargetKind>(std::begin(kAllWheelTargetKinds), std::end(kAllWheelTargetKinds)));
}

TEST(WheelTestKinds, InjectedGradesThePictureOnlyKinds) {
    RunKinds(L"injected", {WheelTargetKind::BlocksReversed, WheelTargetKind::BlocksIgnoresHorizontal,
                           WheelTargetKind::RepeatedText, WheelTargetKind::PaintsOnce},
             std::vector<Expected>(std::begin(kPictureOnly), std::end(kPictureOnly)));
}

TEST(WheelTestKinds, PostedGradesAsInjected) {
    RunKinds(L"posted", {WheelTargetKind::Truncating, WheelTargetKind::ReversedHorizontal, WheelTargetKind::List});
}

}  // namespace
}  // namespace nle2e
