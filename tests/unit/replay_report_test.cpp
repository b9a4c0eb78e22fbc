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
    s.pick.where.rows[1] = 6, s.pick.where.rows[0] = 1;
    s.pick.where.order = {Vantage::Analysis, Vantage::Main};
    s.lengthUs = 3249999;
    s.rows = 6, s.sent = 6, s.lostSkipped = 1;
    s.maxGapMs = 2000, s.speedMilli = 1000, s.gapsCut = 1, s.removedUs = 41234567;
    s.reading[0] = {ReadMethod::ListBoxTop};
    s.reading[1] = {ReadMethod::Image};
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
    s.lagMs = 1234, s.readings = 4;
    EXPECT_EQ(ReplayReportLines(s),
              "Trace: run 2 of 3, window analysis, 6 rows over 3.2 s (after gap cutting); the run holds 6 analysis rows "
              "and 1 main row\r\n"
              "Events: 6 sent, 1 skipped (rows with source lost)\r\n"
              "Timing: speed 1, gaps longer than 2000 ms cut to it: 1 gap, 41.234 s removed\r\n"
              "Lag: the target came to rest 1234 ms after the last event was sent.\r\n"
              "Readings: positions read after 4 of 6 events.\r\n"
              "Vertical: 4 events, deltas adding up to -2.000 notches; a sound handler scrolls 6 lines down at 3 "
              "lines per notch; the target moved 3 items down (LB_GETTOPINDEX); the largest difference along the "
              "way: 6 items\r\n"
              "Horizontal: 2 events, deltas adding up to 2.000 notches; a sound handler scrolls 6 characters right "
              "at 3 characters per notch; the target moved 1 px left (image)\r\n"
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
              "Trace: run 2 of 3, window analysis, 6 rows over 3.2 s (after gap cutting); the run holds 6 analysis rows "
              "and 1 main row\r\n"
              "Events: 1 sent, 1 skipped (rows with source lost)\r\n"
              "Timing: speed 2.25, every gap kept\r\n"
              "Readings: positions read after 0 of 1 events.\r\n"
              "Vertical: 1 event, deltas adding up to -2.000 notches; a sound handler scrolls 2 pages down (a page "
              "per notch); the target's position could not be read\r\n"
              "Note: a posted message cannot carry extra information: it was left out of 1 row.\r\n"
              "Result: could not replay (stopped)\r\n");
    EXPECT_EQ(ReplayExitCode(s), 2);

    s = ReplaySummary();  // nothing loaded
    s.problem = "there is no run 3: the file holds 2 runs";
    EXPECT_EQ(ReplayReportLines(s), "Result: could not replay (there is no run 3: the file holds 2 runs)\r\n");
    EXPECT_EQ(ReplayExitCode(s), 2);
}

// The Result line's end and the exit code, by how the target ended.
TEST(ReplayReport, ResultAgainstASoundHandlerWhereTheUnitAllows) {
    const struct Case {
        std::optional<std::int64_t> moved;  // the sound handler: 6 lines down
        ReadMethod method;
        std::uint32_t lines;
        const char* end;
        int exitCode;
        bool stillMoving = false;
        std::optional<std::int64_t> sideways = std::nullopt;  // with a horizontal bar; a sound handler: 3 right
    } cases[] = {
        {6, ReadMethod::ListBoxTop, 3, ", the target ended within one line of a sound handler", 0},
        {5, ReadMethod::ListBoxTop, 3, ", the target ended within one line of a sound handler", 0},
        {7, ReadMethod::EditFirstLine, 3, ", the target ended within one line of a sound handler", 0},
        {8, ReadMethod::ListBoxTop, 3, ", the target ended 2 lines from a sound handler", 1},
        {-6, ReadMethod::ListViewTop, 3, ", the target ended 12 lines from a sound handler", 1},
        {0, ReadMethod::Image, 3, "", 0},             // pixels or units: no verdict
        {0, ReadMethod::ListBoxTop, kPage, "", 0},    // a page per notch
        {std::nullopt, ReadMethod::ListBoxTop, 3, ", but the target's position could not be read (the reason)", 4},
        {8, ReadMethod::ListBoxTop, 3, ", the target ended 2 lines from a sound handler (still moving)", 4, true},
        {6, ReadMethod::ListBoxTop, 3, ", the target ended within one line of a sound handler, and did not move sideways",
         1, false, 0},
        {6, ReadMethod::ListBoxTop, 3, ", the target ended within one line of a sound handler", 0, false, 3},
    };
    for (const Case& c : cases) {
        ReplaySummary s = Summary();
        s.reading[0].method = c.method;
        s.tally = ReplayTally(c.lines, 3);
        s.tally.Sent(WheelAxis::V, -240, std::nullopt);
        s.tally.Ended(WheelAxis::V, c.moved, "the reason");
        s.stillMoving = c.stillMoving;
        if (c.sideways) {
            s.horizontalBar = true;
            s.tally.Sent(WheelAxis::H, 120, std::nullopt);
            s.tally.Ended(WheelAxis::H, c.sideways);
        }
        const std::string lines = ReplayReportLines(s);
        const std::string result = lines.substr(lines.rfind("Result: "));
        EXPECT_EQ(result, "Result: replayed 6 events" + std::string(c.end) + "\r\n");
        EXPECT_EQ(ReplayExitCode(s), c.exitCode) << result;
        if (c.sideways == 0) {
            EXPECT_NE(lines.find("; the target did not move sideways\r\n"), std::string::npos) << lines;
        }
    }
}

TEST(ReplayReport, Plan) {
    ReplaySummary s = Summary();
    EXPECT_EQ(ReplayPlanText("trace.csv", s.pick, s.rows, s.lengthUs),
              "trace.csv: 3 runs; run 2: 6 analysis rows and 1 main row; sending the 6 analysis rows over 3.2 s (after "
              "gap cutting).");
    s.pick.runs = 1, s.pick.run = 1, s.rows = 1, s.pick.vantage = Vantage::Raw, s.lengthUs = 0;
    s.pick.where.rows[3] = 1, s.pick.where.rows[2] = 4;
    s.pick.where.order = {Vantage::Main, Vantage::Hook, Vantage::Raw};
    EXPECT_EQ(ReplayPlanText("t.csv", s.pick, s.rows, s.lengthUs),
              "t.csv: 1 run; run 1: 1 main row, 4 hook rows and 1 raw row; sending the 1 raw row over 0.0 s (after gap "
              "cutting).");
}

TEST(ReplayReport, Progress) {
    using P = ReplayProgress::Phase;
    const struct Case {
        ReplayProgress p;
        const char* text;
    } cases[] = {
        {{P::Reading, 0, 0, 0, 0, {}}, "Reading the trace"},
        {{P::Sending, 812, 1500, 7400, 11200000, {}}, "Replaying: 812 of 1500 events sent, 7 of 12 s"},
        {{P::Sending, 9, 10, 3540000, 3727000000, {}}, "Replaying: 9 of 10 events sent, 0:59:00 of 1:02:07"},
        {{P::Waiting, 1500, 1500, 0, 0, {}}, "Waiting for the target to come to rest"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReplayProgressText(c.p), c.text);
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
