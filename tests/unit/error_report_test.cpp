#include <gtest/gtest.h>

#include "common/base/app_info.h"
#include "common/base/error_report.h"

namespace nl {
namespace {

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

TEST(ErrorReport, VersionTexts) {
    EXPECT_EQ(VersionText(12, 345, 6789), "12.345.6789");  // padded, never cut
    // The version resource's text and the report's agree.
    EXPECT_EQ(AppVersionText(), NL_VERSION_TEXT);
}

}  // namespace
}  // namespace nl
