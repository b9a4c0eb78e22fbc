#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/replay/replay_schedule.h"

namespace nl {
namespace {

TEST(ReplaySchedule, OffsetsFromTheFirstGapsCutThenSpeed) {
    const struct Case {
        std::vector<std::int64_t> timesUs;
        std::int64_t maxGapMs;
        std::int32_t speedMilli;
        std::vector<std::int64_t> dueUs;
        std::uint64_t gapsCut;
        std::int64_t removedUs;
    } cases[] = {
        {{}, 2000, 1000, {}, 0, 0},
        {{5000000}, 2000, 1000, {0}, 0, 0},  // the first row is due at once, whatever its time
        {{1000, 1500, 1500, 4000}, 2000, 1000, {0, 500, 500, 3000}, 0, 0},
        {{0, 2000000, 2000001, 9000000}, 2000, 1000, {0, 2000000, 2000001, 4000001}, 1, 5000000 - 1},
        {{0, 2000001}, 2000, 1000, {0, 2000000}, 1, 1},
        {{0, 3600000000, 10800000000}, 0, 1000, {0, 3600000000, 10800000000}, 0, 0},
        {{0, 10800000000}, 3600000, 1000, {0, 3600000000}, 1, 7200000000},
        {{0, 1000, 1001, 5000000}, 2000, 2000, {0, 500, 501, 1000501}, 1, 2998999},  // halves, to the nearest
        {{0, 1000, 4000}, 2000, 3000, {0, 333, 1333}, 0, 0},
        {{0, 1000, 4000}, 0, 100, {0, 10000, 40000}, 0, 0},
        {{0, 1, 2}, 0, 10000, {0, 0, 0}, 0, 0},
        {{0, 5, 15}, 0, 10000, {0, 1, 2}, 0, 0},  // each from the whole offset: 0.5 and 1.5 round up
    };
    for (const Case& c : cases) {
        std::vector<TraceRow> rows;
        for (std::int64_t t : c.timesUs) rows.push_back(TraceRow{0, t});
        const ReplaySchedule s = MakeSchedule(rows, c.maxGapMs, c.speedMilli);
        SCOPED_TRACE(testing::PrintToString(c.timesUs) + " gap " + std::to_string(c.maxGapMs) + " speed " +
                     std::to_string(c.speedMilli));
        EXPECT_EQ(s.dueUs, c.dueUs);
        EXPECT_EQ(s.gapsCut, c.gapsCut);
        EXPECT_EQ(s.removedUs, c.removedUs);
    }
}

TEST(ReplaySchedule, PositionsAreReadWhereTheNextEventLeavesRoom) {
    ReplaySchedule s;
    s.dueUs = {0, 4999, 9999, 15000, 15000};
    std::string reads;
    for (std::size_t i = 0; i < s.dueUs.size(); ++i) reads += ReadsPositionAfter(s, i) ? 'r' : '-';
    EXPECT_EQ(reads, "-rr-r");
}

}  // namespace
}  // namespace nl
