#include <gtest/gtest.h>

#include "common/app_info.h"
#include "common/error_report.h"

namespace nl {
namespace {

TEST(HexPadded, WidthAndTwosComplement) {
    struct Row {
        std::int16_t width;
        std::int32_t value;
        const char* text;
    } rows[] = {{8, 6, "00000006"}, {8, 255, "000000FF"}, {8, -1, "FFFFFFFF"}, {2, 0x1234, "34"}, {0, 5, ""}};
    for (const auto& r : rows) EXPECT_EQ(HexPadded(r.width, r.value), r.text);
}

TEST(ErrorReport, ByteForByte) {
    const Error overflow = ProgramError(6, "Overflow");
    const std::string report =
        ErrorReportText(overflow, "Load@40", {AppVersionText(), "WinXP (Service Pack 2)", "06.12.2026 14:03:27"});
    EXPECT_EQ(report,
              "Error \t6 (00000006)\nDesc\tOverflow\nDll\t0\nProc\tLoad@40\n\nSource\tNotchlog\n"
              "XY ver\t1.00.0007\nOS\tWinXP (Service Pack 2)\nDate\t06.12.2026 14:03:27\n");
    EXPECT_EQ(ErrorReportPrompt(report), report + "\nCopy to clipboard?");
    EXPECT_EQ(ErrorReportText(Error(-2147024891, "", "", -5), "", {"", "", ""}),
              "Error \t-2147024891 (80070005)\nDesc\t\nDll\t-5\nProc\t\n\nSource\t\nXY ver\t\nOS\t\nDate\t\n");
}

TEST(ErrorReport, DateAndVersionTexts) {
    EXPECT_EQ(DateTimeText("12/6/2026", "9:05:03 PM", false), "12/6/2026 9:05:03 PM");
    EXPECT_EQ(DateTimeText("12/6/2026", "12:00:00 AM", true), "12/6/2026");
    EXPECT_EQ(VersionText(12, 345, 6789), "12.345.6789");  // padded, never cut
    // The version resource's text and the report's agree.
    EXPECT_EQ(AppVersionText(), NL_VERSION_TEXT);
}

}  // namespace
}  // namespace nl
