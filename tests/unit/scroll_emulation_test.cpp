#include <gtest/gtest.h>

#include <limits>

#include "common/error.h"
#include "main_window/scroll_emulation.h"

namespace nl {
namespace {

TEST(ScrollByWheel, RowsForTheDemoBar) {
    // Min 0, Max 1000, LargeChange 10.
    struct Row {
        std::int32_t lines;
        std::int16_t before;
        std::int32_t notches;
        std::int32_t step;
        std::int16_t after;
    } rows[] = {
        {3, 500, 1, 3, 503},  {3, 500, -2, 3, 494}, {3, 1, -1, 3, 0},     {3, 999, 1, 3, 1000},
        {20, 500, 1, 10, 510}, {-1, 500, -1, 10, 490}, {0, 500, 5, 0, 500}, {3, 500, 0, 3, 500},
        {-3, 500, 1, -3, 497}, {3, 0, -273, 3, 0},  {3, 1000, 273, 3, 1000}, {-1, 0, 273, 10, 1000},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(WheelStep(r.lines, 10), r.step);
        EXPECT_EQ(ScrolledValue({0, 1000, r.before, 10}, r.lines, r.notches), r.after)
            << r.lines << " " << r.before << " " << r.notches;
    }
}

TEST(ScrollByWheel, MaxBelowMinClampsLikeClampLong) {
    EXPECT_EQ(ScrolledValue({100, 50, 70, 10}, 3, -20), 100);  // target 10 < Min
    EXPECT_EQ(ScrolledValue({100, 50, 70, 10}, 3, 20), 50);    // anything else gives Max
}

TEST(ScrollByWheel, ExtremesOfALong) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    // Large negative line counts from a legacy driver: the product overflows.
    const std::int32_t overflowing[][2] = {{kMin, -1}, {kMin + 1, 2}, {-100000000, 273}, {-2147483647, -2}};
    for (const auto& c : overflowing) {
        try {
            (void)ScrolledValue({0, 1000, 500, 10}, c[0], c[1]);
            ADD_FAILURE() << c[0] << " x " << c[1];
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), 6);
        }
    }
    // Large positive counts are capped at the large change and never overflow.
    EXPECT_EQ(ScrolledValue({0, 1000, 500, 10}, kMax, 273), 1000);
    EXPECT_EQ(ScrolledValue({0, 1000, 500, 10}, kMin, 1), 0);  // 500 + kMin still fits
    // A large negative count that still fits moves against the wheel and clamps.
    EXPECT_EQ(ScrolledValue({0, 1000, 500, 10}, -7000000, 1), 0);
    EXPECT_EQ(ScrolledValue({0, 1000, 500, 10}, -7000000, -1), 1000);
    // A bar whose large change is negative gives a negative step.
    EXPECT_EQ(ScrolledValue({-32768, 32767, 0, -32768}, 3, 1), -32768);
    EXPECT_EQ(ScrolledValue({-32768, 32767, 0, -32768}, -1, -273), 32767);
}

}  // namespace
}  // namespace nl
