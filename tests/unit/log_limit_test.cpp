#include <gtest/gtest.h>

#include "common/log_limit.h"

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
}

}  // namespace
}  // namespace nl
