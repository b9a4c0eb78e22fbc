#include <gtest/gtest.h>

#include <cmath>

#include "hook/wheel_decode.h"

namespace nl {
namespace {

struct DeltaRow {
    int delta;
    int notches;
};

TEST(NotchesFromDelta, TableRows) {
    const DeltaRow rows[] = {{120, -1}, {-120, 1},   {240, -2},     {60, 0},     {-60, 0},
                             {90, -1},  {180, -2},   {-180, 2},     {300, -2},   {30, 0},
                             {32767, -273}, {-32767, 273}, {-32768, 273}, {0, 0}, {-300, 2}};
    for (const auto& r : rows)
        EXPECT_EQ(NotchesFromDelta(static_cast<std::int16_t>(r.delta)), r.notches) << "delta " << r.delta;
}

// Every 16-bit delta against the floating-point definition: -D / 120 in
// double precision, halves to the even neighbour.
TEST(NotchesFromDelta, AllDeltasMatchDoubleRoundHalfEven) {
    for (int d = -32768; d <= 32767; ++d) {
        const double q = -static_cast<double>(d) / 120.0;
        const double expected = std::nearbyint(q);  // default rounding mode: to nearest, ties to even
        ASSERT_EQ(NotchesFromDelta(static_cast<std::int16_t>(d)), static_cast<int>(expected)) << "delta " << d;
    }
}

TEST(DecodeWheel, SplitsSignedWords) {
    struct Row {
        std::uint32_t wParam, lParam;
        WheelEvent expected;
    } rows[] = {
        {0xFF880008u, 0x00C8012Cu, {1, 8, 300, 200}},         // one notch back, Ctrl, (300, 200)
        {0x00780000u, 0x01810200u, {-1, 0, 512, 385}},        // one notch forward
        {0x0078FFFFu, 0xFFF6FFFBu, {-1, -1, -5, -10}},        // negative coordinates, all key bits
        {0x80000004u, 0x80007FFFu, {273, 4, 32767, -32768}},  // extremes
    };
    for (const auto& r : rows) {
        const WheelEvent e = DecodeWheel(static_cast<std::int32_t>(r.wParam), static_cast<std::int32_t>(r.lParam));
        EXPECT_EQ(e.notches, r.expected.notches);
        EXPECT_EQ(e.keyState, r.expected.keyState);
        EXPECT_EQ(e.x, r.expected.x);
        EXPECT_EQ(e.y, r.expected.y);
    }
}

}  // namespace
}  // namespace nl
