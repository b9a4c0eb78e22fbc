#include <gtest/gtest.h>

#include <limits>

#include "common/chart/run_chart.h"
#include "common/wheel_test/wheel_report.h"

namespace nl {
namespace {

constexpr std::int64_t kE15 = 1000000000000000;

TEST(RunChart, AxesIncludeZeroLeaveRoomAndStepRoundly) {
    const struct {
        std::int64_t least, most;
        int intervals;
        ChartAxis want;
    } rows[] = {
        {0, 0, 8, {0, 1, 1}},  // nothing, or nothing but 0
        {3, 5, 8, {0, 6, 1}},  // 0 comes in
        {5, 3, 8, {0, 6, 1}},  // either order
        {1, 1, 8, {0, 2, 1}},
        {0, 10, 8, {0, 12, 2}},  // on a tick: room above it all the same
        {0, 60, 8, {0, 70, 10}},
        {0, 99, 8, {0, 120, 20}},
        {-12, 0, 8, {-14, 0, 2}},
        {-3, 6, 8, {-4, 8, 2}},
        {-1, 1, 1, {-2, 2, 2}},  // both sides need two intervals whatever is asked
        {0, std::numeric_limits<std::int64_t>::max(), 8, {0, 12 * kE15 / 10, 2 * kE15 / 10}},
        {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max(), 8,
         {-15 * kE15 / 10, 15 * kE15 / 10, 5 * kE15 / 10}},
    };
    for (const auto& r : rows) {
        const ChartAxis got = RoundAxis(r.least, r.most, r.intervals);
        EXPECT_TRUE(got == r.want) << r.least << ".." << r.most << ": " << got.low << ".." << got.high << " by "
                                   << got.step;
    }
    EXPECT_EQ((ChartAxis{-4, 8, 2}.Ticks()), (std::vector<std::int64_t>{-4, -2, 0, 2, 4, 6, 8}));
}

TEST(RunChart, ScaleLaysAnAxisOntoPixels) {
    const struct {
        ChartScale scale;
        std::int64_t value;
        int px;
    } rows[] = {
        {{{0, 10, 2}, 300, 100}, 0, 300},  // upwards, as a value axis runs
        {{{0, 10, 2}, 300, 100}, 10, 100},
        {{{0, 10, 2}, 300, 100}, 5, 200},
        {{{0, 10, 2}, 300, 100}, -1, 320},
        {{{0, 3, 1}, 0, 100}, 1, 33},
        {{{0, 3, 1}, 0, 100}, 2, 67},
        {{{-4, 8, 2}, 0, 120}, 0, 40},
        {{{0, 2, 1}, 50, 250, 1000}, 1500, 200},  // µs on an axis of ms
        {{{0, 0, 1}, 7, 9}, 5, 7},                // a flat axis divides by nothing
        {{{0, 1, 1}, 0, 100, 0}, 1, 100},         // nor does a bad unit
    };
    for (const auto& r : rows) EXPECT_EQ(r.scale.Px(r.value), r.px) << r.value;
}

WheelResultLine Line(const char* pattern, const char* sent, std::optional<int> sound, std::optional<int> observed,
                     WheelVerdict verdict, bool graded, ReadMethod method = ReadMethod::ListBoxTop) {
    WheelResultLine line;
    line.pattern = pattern;
    line.sent = sent;
    line.sound = sound;
    line.observed = observed;
    line.verdict = verdict;
    line.graded = graded;
    line.method = method;
    return line;
}

TEST(RunChart, GradedStepsOtherThanTheCatchUpBecomeBarPairs) {
    using V = WheelVerdict;
    using T = ChartTone;
    const std::vector<WheelResultLine> lines = {
        Line("room", "3x-120", std::nullopt, 9, V::Info, false),
        Line("setting", "", 3, 3, V::Ok, true),
        Line("two-notch", "-240", 6, 3, V::Fault, true),
        Line("end", "-120", std::nullopt, 3, V::Info, false),
        Line("sub-notch", "4x-30", 3, std::nullopt, V::Unmeasured, true),
        Line("fine", "8x-15", 3, 3, V::Info, true),
        Line("horizontal", "H+120", std::nullopt, -24, V::Fault, true, ReadMethod::Image),
        Line("horizontal", "H+120", std::nullopt, std::nullopt, V::Unmeasured, true, ReadMethod::Image),
        Line("burst", "20x-120", 60, 60, V::Ok, true),
        Line("catch-up", "", 400, 520, V::Fault, true, ReadMethod::Clock),
    };
    const RunChart chart = WheelTestChart(lines);
    EXPECT_EQ(chart.valueUnit, "items");
    EXPECT_EQ(chart.remark, "");
    const std::vector<ChartBarPair> want = {
        {"setting", "", 3, 3, T::Ok, ""},
        {"two-notch", "-240", 6, 3, T::Fault, ""},
        {"sub-notch", "4x-30", 3, 3, T::Unmeasured, ""},  // hatched at the sound's height
        {"fine", "8x-15", 3, 3, T::Info, ""},
        {"horizontal", "H+120", std::nullopt, -24, T::Fault, "px"},
        {"horizontal", "H+120", std::nullopt, std::nullopt, T::Unmeasured, "px"},  // a stub
        {"burst", "20x-120", 60, 60, T::Ok, ""},
    };
    EXPECT_TRUE(chart.pairs == want);
    for (std::size_t i = 0; i < chart.pairs.size() && i < want.size(); ++i)
        EXPECT_TRUE(chart.pairs[i] == want[i]) << i << ": " << chart.pairs[i].pattern;
    EXPECT_TRUE((AxesOf(chart).value == ChartAxis{-40, 80, 20}));  // the stub is not data

    const RunChart none = WheelTestChart({lines[0], lines.back()});
    EXPECT_TRUE(none.pairs.empty());
    EXPECT_EQ(none.remark, "No graded step was measured.");
    EXPECT_TRUE((AxesOf(none).value == ChartAxis{0, 1, 1}));
}

// A replay's summary as the run fills it in: each event tallied and kept
// with where a sound handler stands after it.
struct Sent {
    std::int64_t atUs;
    WheelAxis axis;
    std::int16_t delta;
    std::optional<std::int64_t> moved;
};

ReplaySummary Summary(const std::vector<Sent>& events, ReadMethod method, std::optional<std::int64_t> restMoved,
                      std::int64_t lagMs, std::uint32_t lines = 3) {
    ReplaySummary s;
    s.tally = ReplayTally(lines, 3);
    s.reading[0].method = s.reading[1].method = method;
    for (const Sent& e : events) {
        s.tally.Sent(e.axis, e.delta, e.moved);
        s.points.push_back(ReplayPoint{e.atUs, e.axis, s.tally.Of(e.axis).sound, e.moved});
    }
    for (WheelAxis axis : {WheelAxis::V, WheelAxis::H}) {
        if (s.tally.Of(axis).events == 0) continue;
        s.tally.Ended(axis, restMoved);
        s.rest[axis == WheelAxis::V ? 0 : 1] =
            ReplayPoint{events.back().atUs + 1000 * lagMs, axis, s.tally.Of(axis).sound, restMoved};
    }
    s.lagMs = lagMs;
    return s;
}

TEST(RunChart, ReplayIsASoundStepLineWithTheReadingsAndTheRest) {
    using W = WheelAxis;
    const std::vector<Sent> mixed = {{1000, W::V, -120, 3}, {5000, W::H, 120, std::nullopt}, {9000, W::V, -20, 3},
                                     {13000, W::V, -100, 6}};
    const struct {
        const char* name;
        ReplaySummary summary;
        bool stillMoving;
        std::string title, soundUnit, remark;
        std::vector<ChartPoint> sound, readings;
        std::optional<ChartPoint> rest;
        ChartTone restTone;
        std::int64_t lagFrom, lagTo;
    } rows[] = {
        // The horizontal event leaves the vertical line alone; -20 brings no whole line.
        {"vertical, read along the way",
         Summary(mixed, ReadMethod::ListBoxTop, 6, 40),
         false,
         "Replay: the vertical position over time",
         "",
         "",
         {{0, 0}, {1000, 0}, {1000, 3}, {13000, 3}, {13000, 6}, {53000, 6}},
         {{1000, 3}, {9000, 3}, {13000, 6}},
         ChartPoint{53000, 6},
         ChartTone::Ok,
         13000,
         53000},
        {"ended two lines off", Summary(mixed, ReadMethod::ListBoxTop, 8, 0), false, "", "", "",
         {{0, 0}, {1000, 0}, {1000, 3}, {13000, 3}, {13000, 6}}, {{1000, 3}, {9000, 3}, {13000, 6}},
         ChartPoint{13000, 8}, ChartTone::Fault, 13000, 13000},
        {"still moving", Summary(mixed, ReadMethod::ListBoxTop, 6, 2000), true, "", "", "",
         {{0, 0}, {1000, 0}, {1000, 3}, {13000, 3}, {13000, 6}, {2013000, 6}}, {{1000, 3}, {9000, 3}, {13000, 6}},
         ChartPoint{2013000, 6}, ChartTone::Unmeasured, 13000, 2013000},
        // A picture read only once the target came to rest: one dot, and the
        // sound line in lines on an axis of its own.
        {"read only at the end",
         Summary({{0, W::V, -120, std::nullopt}, {20000, W::V, -120, std::nullopt}}, ReadMethod::Image, 96, 30),
         false, "", "lines", "", {{0, 0}, {0, 3}, {20000, 3}, {20000, 6}, {50000, 6}}, {}, ChartPoint{50000, 96},
         ChartTone::Info, 20000, 50000},
        {"a page per notch", Summary({{0, W::V, -120, 20}}, ReadMethod::ListBoxTop, 20, 0, static_cast<std::uint32_t>(-1)),
         false, "", "pages", "", {{0, 0}, {0, 1}}, {{0, 20}}, ChartPoint{0, 20}, ChartTone::Info, 0, 0},
        {"where it ended unread", Summary({{0, W::V, -120, std::nullopt}}, ReadMethod::ListBoxTop, std::nullopt, 10),
         false, "", "", "Where the target came to rest could not be read.", {{0, 0}, {0, 3}, {10000, 3}}, {},
         std::nullopt, ChartTone::Info, 0, 10000},
        {"horizontal only, not moved sideways",
         Summary({{0, W::H, 120, 0}, {8000, W::H, 120, 0}}, ReadMethod::ScrollBarControl, 0, 0), false,
         "Replay: the horizontal position over time", "characters", "", {{0, 0}, {0, 3}, {8000, 3}, {8000, 6}},
         {{0, 0}, {8000, 0}}, ChartPoint{8000, 0}, ChartTone::Fault, 8000, 8000},
        {"nothing sent", ReplaySummary{}, false, "", "lines", "No event was sent.", {{0, 0}}, {}, std::nullopt,
         ChartTone::Info, 0, 0},
    };
    for (auto r : rows) {
        SCOPED_TRACE(r.name);
        r.summary.stillMoving = r.stillMoving;
        r.summary.horizontalBar = true;
        const RunChart chart = ReplayChart(r.summary);
        EXPECT_TRUE(r.title.empty() || chart.title == r.title) << chart.title;
        EXPECT_EQ(chart.soundUnit, r.soundUnit);
        EXPECT_EQ(chart.remark, r.remark);
        EXPECT_EQ(chart.sound, r.sound);
        EXPECT_EQ(chart.readings, r.readings);
        EXPECT_EQ(chart.rest, r.rest);
        EXPECT_TRUE(!r.rest || chart.restTone == r.restTone);
        EXPECT_EQ(chart.lagFromUs, r.lagFrom);
        EXPECT_EQ(chart.lagToUs, r.lagTo);
    }
    // Lines on an axis of their own; time up to the rest, in ms.
    const ChartAxes axes = AxesOf(ReplayChart(rows[3].summary));
    EXPECT_TRUE((axes.value == ChartAxis{0, 100, 20}));
    ASSERT_TRUE(axes.sound.has_value());
    EXPECT_TRUE((*axes.sound == ChartAxis{0, 7, 1}));
    EXPECT_TRUE((axes.timeMs == ChartAxis{0, 60, 10}));
}

TEST(RunChart, AnUnwrittenPictureIsTheLastNoteBeforeTheResultLine) {
    const struct {
        std::string report, reason, want;
    } rows[] = {
        {"Head\r\n\r\nNote: a.\r\nResult: no fault found\r\n", "Access is denied.\r\n",
         "Head\r\n\r\nNote: a.\r\nNote: the picture could not be written: Access is denied.\r\nResult: no fault found\r\n"},
        {"Result: could not replay (no rows)\r\n", "status 7",
         "Note: the picture could not be written: status 7.\r\nResult: could not replay (no rows)\r\n"},
        {"Head\r\nResult: x\r\n", "", "Head\r\nResult: x\r\n"},
    };
    for (const auto& r : rows) EXPECT_EQ(WithPictureNote(r.report, r.reason), r.want);
}

}  // namespace
}  // namespace nl
