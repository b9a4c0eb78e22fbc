#include <gtest/gtest.h>

#include <limits>

#include "common/message_log/log_limit.h"

namespace nl {
namespace {

TEST(LogLimit, DropsTheOldestTenthOnlyWhenFullOrRefused) {
    const struct { std::int32_t count, maxLines, before, afterRefusal; } rows[] = {
        {999, 1000, 0, 99},       // room left
        {1000, 1000, 100, 100},   // full: a tenth of the limit
        {1005, 1000, 105, 100},   // above it: back to a tenth below
        {9, 0, 0, 1},             // no limit of its own: only what the system refuses
        {7241712, 0, 0, 724171},
        {5000000, 5000000, 500000, 500000},
        {1, 1, 1, 1}, {5, 5, 1, 1},  // a tiny limit still drops at least one
        {0, 0, 0, 0}, {0, 1, 0, 0},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(LinesToDropBeforeAdding(r.count, r.maxLines), r.before) << r.count << " of " << r.maxLines;
        EXPECT_EQ(LinesToDropAfterRefusal(r.count), r.afterRefusal) << r.count;
    }
    EXPECT_EQ(LinesRefusedNotice(1234567),
              "The message list could not take 1234567 lines, even after dropping its oldest lines: the system has no "
              "memory left for them. A log file given with --log keeps every line.\n\nLogging goes on.");
}

TEST(LogLimit, ReservesAQuarterAheadOnceALargeListHasUsedItsRoom) {
    const std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const struct { std::int32_t count, reservedTo, maxLines, more; } rows[] = {
        {kReserveFrom - 1, 0, 0, 0},                  // small: nothing reserved
        {kReserveFrom, 0, 0, kReserveFrom / 4},       // large: a quarter more
        {kReserveFrom, 0, kReserveFrom + 10, 10},     // never past the limit
        {1000000, 1200000, 0, 0},                     // room left
        {1200000, 1200000, 0, 300000},                // used up
        {4500000, 4500000, 5000000, 500000},          // after a drop: up to the limit
        {5000000, 5000000, 5000000, 0},               // full: the next add drops
        {5000005, 0, 5000000, 0},                     // above the limit
        {kMax - 10, kMax - 10, 0, 10},                // no overflow
        {kMax, kMax, 0, 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ItemsToReserve(r.count, r.reservedTo, r.maxLines), r.more)
            << r.count << " reserved to " << r.reservedTo << " of " << r.maxLines;
}

}  // namespace
}  // namespace nl
