#include <gtest/gtest.h>

#include <limits>

#include "common/checked.h"
#include "common/error.h"

namespace nl {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

template <typename F>
void ExpectOverflow(F f) {
    try {
        f();
        ADD_FAILURE() << "no overflow raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), 6);
        EXPECT_EQ(e.Description(), "Overflow");
        EXPECT_EQ(e.Source(), AppTitle());
    }
}

TEST(CheckedArithmetic, FitsAtTheLimits) {
    EXPECT_EQ(CheckedAdd(kMax - 1, 1), kMax);
    EXPECT_EQ(CheckedAdd(kMin + 1, -1), kMin);
    EXPECT_EQ(CheckedSub(-1, kMax), kMin);
    EXPECT_EQ(CheckedSub(kMax, 0), kMax);
    EXPECT_EQ(CheckedMul(-1, kMax), -kMax);
    EXPECT_EQ(CheckedMul(65536, 32767), 2147418112);
    EXPECT_EQ(CheckedNarrow16(32767), 32767);
    EXPECT_EQ(CheckedNarrow16(-32768), -32768);
    EXPECT_EQ(CheckedSub16(0, 1), -1);
    EXPECT_EQ(CheckedNarrow32(std::int64_t{kMin}), kMin);
}

TEST(CheckedArithmetic, RaisesOverflowBeyondTheLimits) {
    SetAppTitle("Notchlog");
    ExpectOverflow([] { CheckedAdd(kMax, 1); });
    ExpectOverflow([] { CheckedAdd(kMin, -1); });
    ExpectOverflow([] { CheckedSub(kMin, 1); });
    ExpectOverflow([] { CheckedSub(0, kMin); });
    ExpectOverflow([] { CheckedMul(kMin, -1); });
    ExpectOverflow([] { CheckedMul(65536, 32768); });
    ExpectOverflow([] { CheckedNarrow16(32768); });
    ExpectOverflow([] { CheckedNarrow16(-32769); });
    ExpectOverflow([] { CheckedSub16(-32768, 1); });
    ExpectOverflow([] { CheckedAdd16(32767, 1); });
    ExpectOverflow([] { CheckedNarrow32(std::int64_t{kMax} + 1); });
}

TEST(MinAndClamp, Rows) {
    EXPECT_EQ(MinLong(3, 10), 3);
    EXPECT_EQ(MinLong(10, 3), 3);
    EXPECT_EQ(MinLong(-1, 10), -1);
    EXPECT_EQ(MinLong(kMin, kMax), kMin);
    struct Row {
        std::int32_t low, value, high, expected;
    } rows[] = {
        {0, -5, 100, 0}, {0, 105, 100, 100}, {0, 100, 100, 100}, {10, 5, 0, 10}, {10, 20, 0, 0},
        {0, 50, 100, 50}, {kMin, kMin, kMax, kMin}, {kMin, kMax, kMax, kMax}, {0, kMin, 1000, 0},
        {0, kMax, 1000, 1000},
    };
    for (const auto& r : rows) EXPECT_EQ(ClampLong(r.low, r.value, r.high), r.expected);
}

}  // namespace
}  // namespace nl
