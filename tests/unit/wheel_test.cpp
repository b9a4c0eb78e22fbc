#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/base/checked.h"
#include "common/base/error.h"
#include "common/wheel/wheel.h"

namespace nl {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

template <typename F>
void ExpectOverflow(F f, const char* what) {
    try {
        f();
        ADD_FAILURE() << "no overflow: " << what;
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), 6) << what;
        EXPECT_EQ(e.Description(), "Overflow");
        EXPECT_EQ(e.Source(), "Notchlog");
    }
}

// The integer rounding against its definition: -D / 120 in double
// precision, halves to the even neighbour (the default rounding mode).
TEST(NotchesFromDelta, EveryDeltaMatchesTheDefinition) {
    for (int d = -32768; d <= 32767; ++d)
        ASSERT_EQ(NotchesFromDelta(static_cast<std::int16_t>(d)), static_cast<int>(std::nearbyint(-d / 120.0))) << d;
}

TEST(DecodeWheel, SplitsSignedWords) {
    struct Row {
        std::uint32_t wParam, lParam;
        int notches, keys, x, y;
    } rows[] = {
        {0xFF880008u, 0x00C8012Cu, 1, 8, 300, 200},         // one notch back, Ctrl, (300, 200)
        {0x0078FFFFu, 0xFFF6FFFBu, -1, -1, -5, -10},        // negative coordinates, all key bits
        {0x80000004u, 0x80007FFFu, 273, 4, 32767, -32768},  // extremes
    };
    for (const auto& r : rows) {
        const WheelEvent e = DecodeWheel(static_cast<std::int32_t>(r.wParam), static_cast<std::int32_t>(r.lParam));
        EXPECT_EQ(e.notches, r.notches);
        EXPECT_EQ(e.keyState, r.keys);
        EXPECT_EQ(e.x, r.x);
        EXPECT_EQ(e.y, r.y);
    }
}

TEST(ScrolledValue, Rows) {
    struct Row {
        std::int32_t lines;
        ScrollBarState bar;  // min, max, value, large change
        std::int32_t notches;
        int after;
    } rows[] = {
        {3, {0, 1000, 500, 10}, 1, 503},     {3, {0, 1000, 500, 10}, -2, 494},   {3, {0, 1000, 1, 10}, -1, 0},
        {3, {0, 1000, 999, 10}, 1, 1000},    {20, {0, 1000, 500, 10}, 1, 510},   {-1, {0, 1000, 500, 10}, -1, 490},
        {0, {0, 1000, 500, 10}, 5, 500},     {3, {0, 1000, 500, 10}, 0, 500},    {-3, {0, 1000, 500, 10}, 1, 497},
        {-1, {0, 1000, 0, 10}, 273, 1000},   {kMax, {0, 1000, 500, 10}, 273, 1000},
        {kMin, {0, 1000, 500, 10}, 1, 0},    {-7000000, {0, 1000, 500, 10}, -1, 1000},
        // A bar whose max lies below its min: below min gives min, anything else max.
        {3, {100, 50, 70, 10}, -20, 100},    {3, {100, 50, 70, 10}, 20, 50},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ScrolledValue(r.bar, r.lines, r.notches), r.after) << r.lines << " x " << r.notches;
    // Large negative line counts from a legacy driver overflow the product.
    const std::int32_t overflowing[][2] = {{kMin, -1}, {kMin + 1, 2}, {-100000000, 273}};
    for (const auto& c : overflowing)
        ExpectOverflow([&] { ScrolledValue({0, 1000, 500, 10}, c[0], c[1]); }, "ScrolledValue");
}

TEST(CheckedArithmetic, FitsAtTheLimitsAndRaisesBeyond) {
    EXPECT_EQ(CheckedAdd(kMax - 1, 1), kMax);
    EXPECT_EQ(CheckedSub(-1, kMax), kMin);
    EXPECT_EQ(CheckedMul(65536, 32767), 2147418112);
    EXPECT_EQ(CheckedNarrow16(-32768), -32768);
    ExpectOverflow([] { CheckedAdd(kMax, 1); }, "add");
    ExpectOverflow([] { CheckedSub(0, kMin); }, "sub");
    ExpectOverflow([] { CheckedMul(kMin, -1); }, "mul");
    ExpectOverflow([] { CheckedNarrow16(32768); }, "narrow up");
    ExpectOverflow([] { CheckedNarrow16(-32769); }, "narrow down");
}

}  // namespace
}  // namespace nl
