#include <gtest/gtest.h>

#include "main_window/log_line.h"

namespace nl {
namespace {

TEST(AlignRight, PadsButNeverCuts) {
    EXPECT_EQ(AlignRight("", 4), "    ");
    EXPECT_EQ(AlignRight("10", 4), "  10");
    EXPECT_EQ(AlignRight("20A", 4), " 20A");
    EXPECT_EQ(AlignRight("C0DE", 4), "C0DE");
    EXPECT_EQ(AlignRight("12345", 4), "12345");
    EXPECT_EQ(AlignRight("abc", 0), "abc");
    EXPECT_EQ(AlignRight("abc", -3), "abc");
}

TEST(LogLine, WheelExampleByteForByte) {
    // WM_MOUSEWHEEL to 0x3C2 at 14:03:27, delta -120, no keys, at (512, 385).
    const std::int32_t wParam = static_cast<std::int32_t>(0xFF880000u);
    const std::int32_t lParam = (385 << 16) | 512;
    EXPECT_EQ(LogLine({14, 3, 27}, 0x3C2, 0x020A, wParam, lParam),
              "14:03:27  hWnd=3C2\tuMsg= 20A wHi=-120 wLo=0 lHi=385 lLo=512");
}

TEST(LogLine, MessageNumberFieldWidths) {
    struct Row {
        std::uint32_t msg;
        const char* field;
    } rows[] = {{0x0010, "uMsg=  10 "}, {0x020A, "uMsg= 20A "}, {0x0000, "uMsg=   0 "},
                {0xC123, "uMsg=C123 "}, {0x12345, "uMsg=12345 "}, {0xFFFFFFFFu, "uMsg=FFFFFFFF "}};
    for (const auto& r : rows) {
        const std::string line = LogLine({0, 0, 0}, 1, r.msg, 0, 0);
        EXPECT_NE(line.find(std::string("\t") + r.field + "wHi="), std::string::npos) << line;
    }
}

TEST(LogLine, HandleHexAndSignedWords) {
    EXPECT_EQ(LogLine({23, 59, 59}, static_cast<std::int32_t>(0x80001234u), 0x0201,
                      static_cast<std::int32_t>(0x80007FFFu), -1),
              "23:59:59  hWnd=80001234\tuMsg= 201 wHi=-32768 wLo=32767 lHi=-1 lLo=-1");
    EXPECT_EQ(LogLine({1, 2, 3}, 0, 0x0136, 0, 0), "01:02:03  hWnd=0\tuMsg= 136 wHi=0 wLo=0 lHi=0 lLo=0");
}

TEST(LogLine, FormatReusesTheCallersBuffer) {
    std::string buffer = "left over from before, and longer than any log line will ever be in practice";
    FormatLogLine(buffer, {12, 0, 0}, 0x10, 0x10, 0, 0);
    EXPECT_EQ(buffer, "12:00:00  hWnd=10\tuMsg=  10 wHi=0 wLo=0 lHi=0 lLo=0");
}

TEST(MessageFilter, SixNumbersAndTheirNeighbours) {
    const std::uint32_t filtered[] = {0x0020, 0x0084, 0x0134, 0x0135, 0x0137, 0x0200};
    for (auto m : filtered) EXPECT_TRUE(IsFilteredMessage(m)) << std::hex << m;
    const std::uint32_t logged[] = {0x0132, 0x0133, 0x0136, 0x0138, 0x0201, 0x020A, 0x020E, 0x0021,
                                    0x0083, 0x0085, 0x10020, 0x10200, 0x00200200, 0xFFFF0020u};
    for (auto m : logged) EXPECT_FALSE(IsFilteredMessage(m)) << std::hex << m;
}

}  // namespace
}  // namespace nl

namespace nl {
namespace {

// Every 16-bit word value in each of the four fields of a line.
TEST(LogLine, EveryWordValuePrintsSigned) {
    std::string line;
    for (std::uint32_t w = 0; w <= 0xFFFF; ++w) {
        const int v = w >= 0x8000 ? static_cast<int>(w) - 0x10000 : static_cast<int>(w);
        const std::string n = std::to_string(v);
        const std::int32_t both = static_cast<std::int32_t>((w << 16) | w);
        FormatLogLine(line, {0, 0, 0}, 1, 1, both, both);
        ASSERT_EQ(line, "00:00:00  hWnd=1\tuMsg=   1 wHi=" + n + " wLo=" + n + " lHi=" + n + " lLo=" + n);
    }
}

}  // namespace
}  // namespace nl
