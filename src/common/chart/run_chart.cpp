#include "common/chart/run_chart.h"

#include <algorithm>
#include <cmath>

#include "common/wheel/wheel_handlers.h"

namespace nl {

namespace {

ChartTone ToneOf(WheelVerdict verdict) {
    switch (verdict) {
        case WheelVerdict::Ok: return ChartTone::Ok;
        case WheelVerdict::Fault: return ChartTone::Fault;
        case WheelVerdict::Info: return ChartTone::Info;
        case WheelVerdict::Unmeasured: break;
    }
    return ChartTone::Unmeasured;
}

std::int64_t CeilDiv(std::int64_t n, std::int64_t d) { return n >= 0 ? (n + d - 1) / d : -(-n / d); }
std::int64_t FloorDiv(std::int64_t n, std::int64_t d) { return n >= 0 ? n / d : -CeilDiv(-n, d); }

// The least and the most of what an axis is to show; empty: nothing yet.
struct Span {
    std::optional<std::int64_t> least, most;
    void Add(std::int64_t v) {
        least = least ? std::min(*least, v) : v;
        most = most ? std::max(*most, v) : v;
    }
    ChartAxis Axis(std::int64_t per = 1) const {
        return least ? RoundAxis(FloorDiv(*least, per), CeilDiv(*most, per)) : RoundAxis(0, 0);
    }
};

std::int64_t Magnitude(std::int64_t v) { return v < 0 ? -v : v; }

// Where the target came to rest, judged as the report judges it.
ChartTone RestTone(const ReplaySummary& s, WheelAxis axis, bool comparable, std::int64_t moved) {
    const ReplayTally::Axis& a = s.tally.Of(axis);
    if (s.stillMoving) return ChartTone::Unmeasured;
    if (comparable) return Magnitude(moved - a.sound) <= 1 ? ChartTone::Ok : ChartTone::Fault;
    if (axis == WheelAxis::H && s.horizontalBar && a.sound != 0 && moved == 0) return ChartTone::Fault;
    return ChartTone::Info;
}

}  // namespace

RunChart WheelTestChart(const std::vector<WheelResultLine>& lines) {
    RunChart chart;
    chart.title = "Wheel test: each graded step, a sound handler beside the target";
    for (const WheelResultLine& line : lines) {
        if (!line.graded || line.method == ReadMethod::Clock) continue;
        const std::string unit = MethodUnit(line.method);
        if (chart.pairs.empty()) chart.valueUnit = unit;
        ChartBarPair pair{line.pattern, line.sent, line.sound, line.observed, ToneOf(line.verdict),
                          unit == chart.valueUnit ? std::string() : unit};
        if (!line.observed) {
            pair.tone = ChartTone::Unmeasured;
            pair.observed = line.sound;
        }
        chart.pairs.push_back(pair);
    }
    if (chart.pairs.empty()) chart.remark = "No graded step was measured.";
    return chart;
}

RunChart ReplayChart(const ReplaySummary& s) {
    RunChart chart;
    chart.kind = RunChart::Kind::Replay;
    const bool vertical = s.tally.Of(WheelAxis::V).events > 0 || s.tally.Of(WheelAxis::H).events == 0;
    const WheelAxis axis = vertical ? WheelAxis::V : WheelAxis::H;
    const ReadMethod method = s.reading[vertical ? 0 : 1].method;
    chart.title = std::string("Replay: the ") + (vertical ? "vertical" : "horizontal") + " position over time";
    chart.valueUnit = MethodUnit(method);
    const bool page = static_cast<std::int32_t>(s.tally.Step(axis)) == kWheelPageStep;
    const bool shared = CountsLines(method) && !page;
    if (!shared) chart.soundUnit = page ? "pages" : vertical ? "lines" : "characters";

    std::int64_t sound = 0;
    chart.sound.push_back(ChartPoint{0, 0});
    for (const ReplayPoint& p : s.points) {
        if (p.axis != axis) continue;
        if (p.sound != sound) {
            if (!(chart.sound.back() == ChartPoint{p.atUs, sound})) chart.sound.push_back(ChartPoint{p.atUs, sound});
            chart.sound.push_back(ChartPoint{p.atUs, p.sound});
            sound = p.sound;
        }
        if (p.moved) chart.readings.push_back(ChartPoint{p.atUs, *p.moved});
    }
    const std::optional<ReplayPoint>& rest = s.rest[vertical ? 0 : 1];
    std::int64_t endUs = s.points.empty() ? 0 : s.points.back().atUs;
    if (rest) {
        chart.lagFromUs = endUs;
        chart.lagToUs = rest->atUs;
        endUs = std::max(endUs, rest->atUs);
        if (rest->moved) {
            chart.rest = ChartPoint{rest->atUs, *rest->moved};
            chart.restTone = RestTone(s, axis, shared, *rest->moved);
        }
    }
    if (endUs > chart.sound.back().atUs) chart.sound.push_back(ChartPoint{endUs, sound});
    if (s.points.empty())
        chart.remark = "No event was sent.";
    else if (rest && !rest->moved)
        chart.remark = "Where the target came to rest could not be read.";
    return chart;
}

std::vector<std::int64_t> ChartAxis::Ticks() const {
    std::vector<std::int64_t> ticks;
    if (step <= 0) return ticks;
    for (std::int64_t v = low; v <= high; v += step) ticks.push_back(v);
    return ticks;
}

ChartAxis RoundAxis(std::int64_t least, std::int64_t most, int intervals) {
    // Beyond a thousand million million nothing is drawn to the unit anyway;
    // kept below it, no step or end below can overflow.
    static constexpr std::int64_t kLimit = 1000000000000000;
    const auto clamp = [](std::int64_t v) { return std::min(std::max(v, -kLimit), kLimit); };
    const std::int64_t lo = clamp(std::min({least, most, std::int64_t{0}}));
    const std::int64_t hi = clamp(std::max({least, most, std::int64_t{0}}));
    if (lo == hi) return ChartAxis{0, 1, 1};
    intervals = std::max(intervals, 2);  // data on both sides of 0 needs two
    const std::int64_t room = std::max<std::int64_t>(1, (hi - lo) / 20);
    for (std::int64_t decade = 1; decade <= kLimit * 10; decade *= 10) {
        for (std::int64_t m : {1, 2, 5}) {
            const std::int64_t step = m * decade;
            const std::int64_t high = hi > 0 ? CeilDiv(hi + room, step) * step : 0;
            const std::int64_t low = lo < 0 ? -CeilDiv(-lo + room, step) * step : 0;
            if ((high - low) / step <= intervals) return ChartAxis{low, high, step};
        }
    }
    return ChartAxis{lo, hi, hi - lo};
}

ChartAxes AxesOf(const RunChart& chart) {
    Span values, sounds, times;
    for (const ChartBarPair& pair : chart.pairs) {
        if (pair.sound) values.Add(*pair.sound);
        if (pair.observed) values.Add(*pair.observed);
    }
    for (const ChartPoint& p : chart.readings) values.Add(p.value), times.Add(p.atUs);
    if (chart.rest) values.Add(chart.rest->value), times.Add(chart.rest->atUs);
    for (const ChartPoint& p : chart.sound) (chart.soundUnit.empty() ? values : sounds).Add(p.value), times.Add(p.atUs);
    if (chart.lagToUs > chart.lagFromUs) times.Add(chart.lagToUs);
    ChartAxes axes;
    axes.value = values.Axis();
    if (!chart.soundUnit.empty()) axes.sound = sounds.Axis();
    axes.timeMs = times.Axis(1000);
    return axes;
}

int ChartScale::Px(std::int64_t value) const {
    const double unit = static_cast<double>(per > 0 ? per : 1);
    const double span = static_cast<double>(axis.high - axis.low) * unit;
    if (!(span > 0)) return fromPx;
    const double at = fromPx + (static_cast<double>(value) - static_cast<double>(axis.low) * unit) / span *
                                   static_cast<double>(toPx - fromPx);
    return static_cast<int>(std::lround(std::min(std::max(at, -1e6), 1e6)));
}

}  // namespace nl
