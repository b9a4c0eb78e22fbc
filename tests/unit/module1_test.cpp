#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

#include "common/module1.h"

namespace nl {
namespace {

TEST(WordSplit, SignBoundaries) {
    struct Row {
        std::uint32_t v;
        int hi, lo;
    } rows[] = {
        {0x00000000u, 0, 0},          {0x7FFF7FFFu, 32767, 32767}, {0x80008000u, -32768, -32768},
        {0xFFFFFFFFu, -1, -1},        {0x0001FFFFu, 1, -1},        {0xFFFF0001u, -1, 1},
        {0x00008000u, 0, -32768},     {0x80000000u, -32768, 0},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(HiWord(static_cast<std::int32_t>(r.v)), r.hi) << std::hex << r.v;
        EXPECT_EQ(LoWord(static_cast<std::int32_t>(r.v)), r.lo) << std::hex << r.v;
    }
}

TEST(WordSplit, EveryWordValueInBothHalves) {
    for (std::uint32_t w = 0; w <= 0xFFFF; ++w) {
        const int expected = w >= 0x8000 ? static_cast<int>(w) - 0x10000 : static_cast<int>(w);
        ASSERT_EQ(LoWord(static_cast<std::int32_t>(0xABCD0000u | w)), expected);
        ASSERT_EQ(HiWord(static_cast<std::int32_t>((w << 16) | 0x1234u)), expected);
    }
}

TEST(NumberTexts, DecimalAndHex) {
    const std::int64_t decs[] = {0, 7, -7, 2147483647, -2147483647 - 1, 32767, -32768, 1000000};
    for (auto v : decs) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v));
        EXPECT_EQ(DecText(v), buf);
    }
    struct Row {
        std::int32_t v;
        const char* hex;
    } hexes[] = {{0, "0"}, {0x3C2, "3C2"}, {0x20A, "20A"}, {-1, "FFFFFFFF"}, {0x7FFFFFFF, "7FFFFFFF"},
                 {static_cast<std::int32_t>(0x80000000u), "80000000"}, {0xABCDEF, "ABCDEF"}, {16, "10"}};
    for (const auto& r : hexes) EXPECT_EQ(HexText(r.v), r.hex);
}

TEST(TimeStamp, TwoDigitsEach) {
    EXPECT_EQ(TimeStampText(0, 0, 0), "00:00:00");
    EXPECT_EQ(TimeStampText(9, 15, 2), "09:15:02");
    EXPECT_EQ(TimeStampText(23, 59, 59), "23:59:59");
}

}  // namespace
}  // namespace nl
