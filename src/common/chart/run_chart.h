// The picture of a wheel test or a replay, as numbers: which marks there
// are, what each means and where the axes run. The painter only turns them
// into pixels and colours. Pure: no windows.h.
//
// A wheel test is a pair of bars per graded step: what a sound handler
// moves and what the target moved. A replay is the position along one
// axis over time: a sound handler's running sum as a step line, the
// target's readings as dots, the wait after the last event shaded.
// Movements are positive towards the end (down, right), as in the reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/replay/replay_report.h"
#include "common/wheel_test/wheel_grader.h"

namespace nl {

// What a mark stands for, and so its colour: a sound handler, or the
// target by its verdict.
enum class ChartTone { Sound, Ok, Fault, Info, Unmeasured };

// One graded step of a wheel test.
struct ChartBarPair {
    std::string pattern, sent;             // the labels under the pair
    std::optional<std::int64_t> sound;     // a sound handler's bar; none for `horizontal`
    std::optional<std::int64_t> observed;  // the target's bar; an unmeasured one stands at the sound, or
                                           // is a stub where there is none
    ChartTone tone = ChartTone::Info;      // the target's bar: Ok, Fault, Info or Unmeasured (hatched)
    std::string unit;                      // the pair's unit where it is not the value axis's, else empty
    bool operator==(const ChartBarPair& o) const {
        return pattern == o.pattern && sent == o.sent && sound == o.sound && observed == o.observed &&
               tone == o.tone && unit == o.unit;
    }
};

// A moment of a replay: µs since the first event was due, and a position.
struct ChartPoint {
    std::int64_t atUs = 0;
    std::int64_t value = 0;
    bool operator==(const ChartPoint& o) const { return atUs == o.atUs && value == o.value; }
};

struct RunChart {
    enum class Kind { Steps, Replay } kind = Kind::Steps;
    std::string title;
    std::string valueUnit;  // named on the value axis: "items", "px"
    std::string remark;     // said inside the plot when something is missing ("no graded step was measured")

    // A wheel test: the graded steps in report order.
    std::vector<ChartBarPair> pairs;

    // A replay: a sound handler's position as the corners of a step line,
    // from (0, 0) to the end; the target's readings after the events; where
    // it came to rest, in its verdict's tone; the wait after the last event.
    std::vector<ChartPoint> sound;
    std::string soundUnit;  // non-empty: the sound line has an axis of its own in this unit (lines, pages)
    std::vector<ChartPoint> readings;
    std::optional<ChartPoint> rest;
    ChartTone restTone = ChartTone::Info;
    std::int64_t lagFromUs = 0, lagToUs = 0;  // shaded when lagToUs > lagFromUs
};

// The graded lines other than the catch-up's (its unit, ms, does not share
// the axis), in report order.
RunChart WheelTestChart(const std::vector<WheelResultLine>& lines);

// The vertical axis, or the horizontal one when only horizontal events were
// sent.
RunChart ReplayChart(const ReplaySummary& summary);

// An axis from `low` to `high` with a tick every `step`.
struct ChartAxis {
    std::int64_t low = 0, high = 1, step = 1;
    std::vector<std::int64_t> Ticks() const;
    bool operator==(const ChartAxis& o) const { return low == o.low && high == o.high && step == o.step; }
};

// The axis for data from `least` to `most`: 0 always on it, some room beyond
// the data on either side that has any, and a step of 1, 2 or 5 times a
// power of ten giving at most `intervals` intervals. Empty or flat data at
// 0 gives 0 to 1.
ChartAxis RoundAxis(std::int64_t least, std::int64_t most, int intervals = 8);

// The chart's axes: the value axis (for a replay, of the readings, and of
// the sound line where it shares their unit); the sound line's own where
// it does not; time in ms from the first event (a replay's).
struct ChartAxes {
    ChartAxis value;
    std::optional<ChartAxis> sound;
    ChartAxis timeMs;
};
ChartAxes AxesOf(const RunChart& chart);

// An axis laid onto pixels: its low end at `fromPx`, its high end at `toPx`
// (either way round); values come in units of 1/`per` of the axis's (µs on
// an axis of ms: per 1000).
struct ChartScale {
    ChartAxis axis;
    int fromPx = 0, toPx = 1;
    std::int64_t per = 1;
    int Px(std::int64_t value) const;
};

}  // namespace nl
