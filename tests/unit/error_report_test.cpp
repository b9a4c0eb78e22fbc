#include <gtest/gtest.h>

#include "common/error_report.h"

namespace nl {
namespace {

TEST(HexPadded, WidthAndTwosComplement) {
    struct Row {
        std::int16_t width;
        std::int32_t value;
        const char* text;
    } rows[] = {{8, 6, "00000006"}, {8, 255, "000000FF"}, {8, -1, "FFFFFFFF"}, {8, 0, "00000000"},
                {2, 0x1234, "34"},  {4, 0x20A, "020A"},   {0, 5, ""},           {8, -6, "FFFFFFFA"}};
    for (const auto& r : rows) EXPECT_EQ(HexPadded(r.width, r.value), r.text);
}

TEST(ErrorReport, OverflowReportByteForByte) {
    const Error overflow(6, "Overflow", "Notchlog", 0);
    const std::string report =
        ErrorReportText(overflow, "Load@40", {"1.00.0007", "WinXP (Service Pack 2)", "06.12.2026 14:03:27"});
    EXPECT_EQ(report,
              "Error \t6 (00000006)\n"
              "Desc\tOverflow\n"
              "Dll\t0\n"
              "Proc\tLoad@40\n"
              "\n"
              "Source\tNotchlog\n"
              "XY ver\t1.00.0007\n"
              "OS\tWinXP (Service Pack 2)\n"
              "Date\t06.12.2026 14:03:27\n");
    EXPECT_EQ(ErrorReportPrompt(report), report + "\nCopy to clipboard?");
}

TEST(ErrorReport, NegativeNumbersAndEmptyFields) {
    const Error odd(-2147024891, "", "", -5);
    EXPECT_EQ(ErrorReportText(odd, "", {"", "", ""}),
              "Error \t-2147024891 (80070005)\nDesc\t\nDll\t-5\nProc\t\n\nSource\t\nXY ver\t\nOS\t\nDate\t\n");
}

TEST(DateTimeText, MidnightShowsTheDateAlone) {
    EXPECT_EQ(DateTimeText("12/6/2026", "9:05:03 PM", false), "12/6/2026 9:05:03 PM");
    EXPECT_EQ(DateTimeText("12/6/2026", "12:00:00 AM", true), "12/6/2026");
}

}  // namespace
}  // namespace nl
