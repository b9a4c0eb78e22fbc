// When each event of a replay is due: its recorded offset from the run's
// first event, with long pauses cut short and the whole sped up or slowed
// down. One schedule for the whole trace, so that lateness never adds up.
#pragma once

#include <cstdint>
#include <vector>

#include "common/replay/replay_trace.h"

namespace nl {

constexpr std::int64_t kDefaultMaxGapMs = 2000;
constexpr std::int64_t kLongestMaxGapMs = 3600000;  // an hour
// Speeds in thousandths: 0.1 to 10, 1 by default.
constexpr std::int32_t kDefaultSpeedMilli = 1000;
constexpr std::int32_t kSlowestSpeedMilli = 100;
constexpr std::int32_t kFastestSpeedMilli = 10000;

struct ReplaySchedule {
    std::vector<std::int64_t> dueUs;  // per row: microseconds after the first is sent
    std::uint64_t gapsCut = 0;        // pauses longer than the largest gap
    std::int64_t removedUs = 0;       // the recorded time cutting them removed
};

// Each gap between neighbouring rows longer than maxGapMs (0: none is cut)
// becomes maxGapMs; then every offset is divided by the speed, rounded to
// the nearest microsecond.
ReplaySchedule MakeSchedule(const std::vector<TraceRow>& rows, std::int64_t maxGapMs, std::int32_t speedMilli);

// Whether the target's position is read after event i: only where the
// next event is due at least 5 ms later (reading takes a round trip to the
// target's thread), and after the last.
bool ReadsPositionAfter(const ReplaySchedule& s, std::size_t i);

}  // namespace nl
