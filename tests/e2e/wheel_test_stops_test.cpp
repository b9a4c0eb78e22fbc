// When the wheel test cannot go on: bad --test-target input, a covered
// target, one that stops answering or closes mid-test, and Esc. Each gives
// its Result line and exit code 2, and the pointer goes back where it was.
#include <gtest/gtest.h>

#include "driver/wheel_targets.h"
#include "driver/wheel_test_runs.h"

namespace nle2e {
namespace {

TEST(WheelTestStops, BadInputSaysWhatWasWrong) {
    const struct {
        const wchar_t* args;
        const char* last;
    } rows[] = {
        {L"--test-target \"title:No such window\"", "Result: could not test (no window matches title:No such window)"},
        {L"--test-target 0x7FFE0000", "Result: could not test (0x7FFE0000 is not a window)"},
        {L"/test-target 2147352576", "Result: could not test (2147352576 is not a window)"},
        {L"--test-target window:7",
         "Result: could not test (unknown target form: window:7; use 0xHEX, a decimal number, title:TEXT or "
         "class:NAME)"},
        {L"--test-target class:NoSuchClass", "Result: could not test (no window matches class:NoSuchClass)"},
        {L"--test-delivery posted", "Result: could not test (--test-report needs --test-target)"},
        {L"--test-target class:Shell_TrayWnd --test-delivery sent", "Result: could not test (unknown delivery: sent)"},
    };
    for (const auto& r : rows) {
        const WheelTestReport report = RunWheelTestScript(r.args);
        EXPECT_EQ(report.LastLine(), r.last) << Narrow(r.args);
        EXPECT_EQ(report.exitCode, 2u) << Narrow(r.args);
        EXPECT_TRUE(report.Results().empty()) << report.text;  // no result lines, not even their header
    }
}

// A target that cannot be tested to the end: the last line and the code.
TEST(WheelTestStops, TargetsThatCannotBeTestedToTheEnd) {
    const struct {
        const char* what;
        WheelTargetOptions options;
        bool covered;
        const char* last;
    } rows[] = {
        {"covered", {}, true, "Result: could not test (the target is covered at the test point)"},
        {"hangs after seven messages", {{820, 40}, 7, -1}, false, "Result: could not test (the target does not answer)"},
        {"closes after seven messages", {{820, 40}, -1, 7}, false, "Result: could not test (the target was closed)"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        WheelTarget target(WheelTargetKind::Accumulating, r.options);
        const POINT centre = target.TestPoint();
        std::optional<TestWindow> cover;
        if (r.covered) cover.emplace(L"NotchlogE2eCover", L"cover", RECT{centre.x - 20, centre.y - 20, centre.x + 20, centre.y + 20});
        const POINT rest{3, 1000};
        MoveCursor(rest);
        const WheelTestReport report = RunWheelTestScript(L"--test-target " + HexForm(target.Window()));
        EXPECT_EQ(report.LastLine(), r.last) << report.text;
        EXPECT_EQ(report.exitCode, 2u);
        const POINT now = CursorNow();
        EXPECT_TRUE(now.x == rest.x && now.y == rest.y) << "the pointer stayed at " << now.x << "," << now.y;
        if (r.covered) {  // covered before the first step: no result lines
            EXPECT_TRUE(report.Results().empty()) << report.text;
        }
    }
}

TEST(WheelTestStops, EscStopsTheTestAndThePointerGoesBack) {
    WheelTarget target(WheelTargetKind::Slow);
    const POINT rest{3, 1000};
    MoveCursor(rest);
    WheelTestScript script(L"--test-target " + HexForm(target.Window()));
    // Under way once `room` has moved the window.
    ASSERT_TRUE(WaitUntil([&] { return target.Position() >= 9 || !script.Running(); }));
    Key(VK_ESCAPE);
    const WheelTestReport report = script.Wait();
    Key(VK_ESCAPE, true);
    EXPECT_EQ(report.LastLine(), "Result: could not test (stopped)") << report.text;
    EXPECT_EQ(report.exitCode, 2u);
    const auto results = report.Results();
    ASSERT_GE(results.size(), 3u) << report.text;
    EXPECT_EQ(results[1], "room,3x-120,,9,SBM_GETPOS units,info");
    // No findings; the one note says where the test left the target, which it does not bring back.
    EXPECT_EQ(results[results.size() - 3], "");
    EXPECT_EQ(results[results.size() - 2],
              "Note: the target was left " + std::to_string(target.Position()) + " units below where it was.");
    const POINT now = CursorNow();
    EXPECT_TRUE(now.x == rest.x && now.y == rest.y) << "the pointer stayed at " << now.x << "," << now.y;
}

}  // namespace
}  // namespace nle2e
