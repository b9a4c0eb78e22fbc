#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/replay/replay_report.h"
#include "common/wheel/wheel_handlers.h"

namespace nl {
namespace {
constexpr std::uint32_t kPage = static_cast<std::uint32_t>(nl::kWheelPageStep);  // a page per notch
}  // namespace

namespace {

TEST(ReplayReport, SoundHandlerScrollsTheWholeLinesOfTheSum) {
    const struct Case {
        WheelAxis axis;
        std::int64_t deltaSum;
        std::uint32_t step;
        std::int64_t expected;  // positive: down or right
    } cases[] = {
        {WheelAxis::V, -120, 3, 3},
        {WheelAxis::V, -30, 3, 0},  // three quarters of a line
        {WheelAxis::V, -40, 3, 1},
        {WheelAxis::V, 200, 3, -5},
        {WheelAxis::V, -239, 1, 1},
        {WheelAxis::V, -240, kPage, 2},  // pages
        {WheelAxis::V, -1200, 0, 0},
        {WheelAxis::H, 120, 1, 1},
        {WheelAxis::H, -200, 2, -3},
        {WheelAxis::H, 119, 1, 0},
        {WheelAxis::V, 32767LL * 1000000, 2147483647u, -586388305510408333LL},  // no overflow
    };
    for (const Case& c : cases)
        EXPECT_EQ(SoundScroll(c.axis, c.deltaSum, c.step), c.expected) << c.deltaSum << " at " << c.step;
}

TEST(ReplayReport, TallyFollowsTheLargestDifferenceAlongTheWay) {
    struct Step {
        WheelAxis axis;
        int delta;
        std::optional<std::int64_t> moved;
    };
    const struct Case {
        std::vector<Step> steps;
        std::optional<std::int64_t> endedV;
        std::int64_t sound;
        std::optional<std::int64_t> largest;
    } cases[] = {
        // A handler that drops sub-notch deltas: 0 where a sound one is at 1, 2, 3.
        {{{WheelAxis::V, -40, 0}, {WheelAxis::V, -40, 0}, {WheelAxis::V, -40, 0}, {WheelAxis::V, -40, 0}}, 0, 4, 4},
        // Readings only now and then; the end counts too.
        {{{WheelAxis::V, -120, 3}, {WheelAxis::V, -120, {}}, {WheelAxis::H, 120, 0}}, 5, 6, 1},
        {{{WheelAxis::V, 120, -4}, {WheelAxis::V, 120, -6}}, {}, -6, 1},  // up: negative
        {{{WheelAxis::V, -120, {}}}, {}, 3, {}},  // never read
    };
    for (const Case& c : cases) {
        ReplayTally t(3, 1);
        for (const Step& s : c.steps) t.Sent(s.axis, static_cast<std::int16_t>(s.delta), s.moved);
        t.Ended(WheelAxis::V, c.endedV);
        EXPECT_EQ(t.Of(WheelAxis::V).sound, c.sound);
        EXPECT_EQ(t.Of(WheelAxis::V).largestGap, c.largest);
        EXPECT_EQ(t.Of(WheelAxis::V).moved, c.endedV);
    }
}

ReplaySummary Summary() {
    ReplaySummary s;
    s.pick.run = 2, s.pick.runs = 3, s.pick.vantage = Vantage::Analysis;
    s.rows = 6, s.sent = 6, s.lostSkipped = 1;
    s.maxGapMs = 2000, s.speedMilli = 1000, s.gapsCut = 1, s.removedUs = 41234567;
    s.reading[0] = {"LB_GETTOPINDEX items", true};
    s.reading[1] = {"image px", false};
    return s;
}

TEST(ReplayReport, LinesBelowTheHead) {
    ReplaySummary s = Summary();
    for (int d : {-40, -40, -40, -120}) s.tally.Sent(WheelAxis::V, static_cast<std::int16_t>(d), 0);
    for (int d : {120, 120}) s.tally.Sent(WheelAxis::H, static_cast<std::int16_t>(d), std::nullopt);
    s.tally.Ended(WheelAxis::V, 3);
    s.tally.Ended(WheelAxis::H, -1);
    s.partialLastLine = true;
    s.mismatchRows = 2, s.extraInfoRows = 4;
    EXPECT_EQ(ReplayReportLines(s),
              "Trace: run 2 of 3, window analysis, 6 rows\r\n"
              "Events: 6 sent, 1 skipped (rows with source lost)\r\n"
              "Timing: speed 1, gaps longer than 2000 ms cut to it: 1 gap, 41.234 s removed\r\n"
              "Vertical: 4 events, deltas adding up to -2.000 notches; a sound handler scrolls 6 lines down at 3 "
              "lines per notch; the target moved 3 items down (LB_GETTOPINDEX); the largest difference along the "
              "way: 6 items\r\n"
              "Horizontal: 2 events, deltas adding up to 2.000 notches; a sound handler scrolls 2 characters right "
              "at 1 character per notch; the target moved 1 px left (image)\r\n"
              "Note: the file's last line has no line break (the file may still be being written); it was left "
              "out.\r\n"
              "Note: 2 rows carried Ctrl or Shift in the message but not on the keyboard (as a touchpad pinch "
              "does); injected input presses the keys, so only posted delivery reproduces that.\r\n"
              "Result: replayed 6 events, the target ended 3 lines from a sound handler\r\n");
    EXPECT_EQ(ReplayExitCode(s), 1);

    s = Summary();
    s.posted = true, s.extraInfoRows = 1, s.mismatchRows = 5, s.maxGapMs = 0, s.speedMilli = 2250;
    s.sent = 1, s.problem = "stopped";
    s.tally = ReplayTally(kPage, 1);
    s.tally.Sent(WheelAxis::V, -240, std::nullopt);
    EXPECT_EQ(ReplayReportLines(s),
              "Trace: run 2 of 3, window analysis, 6 rows\r\n"
              "Events: 1 sent, 1 skipped (rows with source lost)\r\n"
              "Timing: speed 2.25, every gap kept\r\n"
              "Vertical: 1 event, deltas adding up to -2.000 notches; a sound handler scrolls 2 pages down (a page "
              "per notch); the target moved unmeasured\r\n"
              "Note: a posted message cannot carry extra information: it was left out of 1 row.\r\n"
              "Result: could not replay (stopped)\r\n");
    EXPECT_EQ(ReplayExitCode(s), 2);

    s = ReplaySummary();  // nothing loaded
    s.problem = "there is no run 3: the file holds 2 runs";
    EXPECT_EQ(ReplayReportLines(s), "Result: could not replay (there is no run 3: the file holds 2 runs)\r\n");
    EXPECT_EQ(ReplayExitCode(s), 2);
}

// The Result line's end and the exit code, by how the vertical axis ended.
TEST(ReplayReport, ResultAgainstASoundHandlerWhereTheUnitAllows) {
    const struct Case {
        std::optional<std::int64_t> moved;  // the sound handler: 6 lines down
        bool countsLines;
        std::uint32_t lines;
        const char* end;
        int exitCode;
    } cases[] = {
        {6, true, 3, ", the target ended within one line of a sound handler", 0},
        {5, true, 3, ", the target ended within one line of a sound handler", 0},
        {7, true, 3, ", the target ended within one line of a sound handler", 0},
        {8, true, 3, ", the target ended 2 lines from a sound handler", 1},
        {-6, true, 3, ", the target ended 12 lines from a sound handler", 1},
        {0, false, 3, "", 0},              // pixels or units: no verdict
        {std::nullopt, true, 3, "", 0},    // unmeasured
        {0, true, kPage, "", 0},  // a page per notch
    };
    for (const Case& c : cases) {
        ReplaySummary s = Summary();
        s.reading[0].countsLines = c.countsLines;
        s.tally = ReplayTally(c.lines, 1);
        s.tally.Sent(WheelAxis::V, -240, std::nullopt);
        s.tally.Ended(WheelAxis::V, c.moved);
        const std::string lines = ReplayReportLines(s);
        const std::string result = lines.substr(lines.rfind("Result: "));
        EXPECT_EQ(result, "Result: replayed 6 events" + std::string(c.end) + "\r\n");
        EXPECT_EQ(ReplayExitCode(s), c.exitCode) << result;
    }
}

TEST(ReplayReport, TraceLines) {
    std::string out = ReplayTraceHeader();
    AppendReplayTraceLine(out, 17, 0, 12, WheelAxis::V, -30, 4);
    AppendReplayTraceLine(out, 1234567890123, 3600000000, 3600001234, WheelAxis::H, 32767, std::nullopt);
    AppendReplayTraceLine(out, 1, 1500, 1999, WheelAxis::V, -32768, -2);
    EXPECT_EQ(out,
              "seq,scheduled_ms,sent_ms,axis,delta,position\r\n"
              "17,0.000,0.012,V,-30,4\r\n"
              "1234567890123,3600000.000,3600001.234,H,32767,\r\n"
              "1,1.500,1.999,V,-32768,-2\r\n");
}

}  // namespace
}  // namespace nl
