// Clear and the three Copy buttons.
#include <gtest/gtest.h>

#include "driver/driver.h"

namespace nle2e {
namespace {

TEST(Buttons, ClearEmptiesTheLogAndItsOwnClickBecomesTheFirstLine) {
    Notchlog app;
    app.Mark();
    app.Mark();
    const HWND clear = app.Control(kClearLogButton);
    Send(clear, BM_CLICK);  // returns once the main window has handled the click
    const auto lines = app.Log();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].substr(8), Format(L"  hWnd=%lX\tuMsg= 111 wHi=0 wLo=%d lHi=%d lLo=%d", Handle32(app.Main()),
                                         kClearLogButton, short(Handle32(clear) >> 16), short(Handle32(clear))));
    for (const auto& l : lines) EXPECT_NE(LoggedMsg(l), Notchlog::kMarker) << "survived the clear: " << Narrow(l);
    app.Mark();  // logging goes on
}

TEST(Buttons, CopyJoinsTheLogLinesWithCrLfAndNothingAfterTheLast) {
    Notchlog app;
    app.Settle();
    const HWND copy = app.Control(kCopyLogButton);
    for (std::size_t count : {0, 1, 3}) {
        SCOPED_TRACE(count);
        WriteClipboard(L"(before)");
        app.Mark();  // the program, owner since its last copy, has logged that it no longer is
        Send(app.Control(kMessageLog), LB_RESETCONTENT);
        for (std::size_t i = 0; i < count; ++i) app.Mark();
        const auto lines = app.Log();
        ASSERT_EQ(lines.size(), count);
        std::wstring joined;
        for (std::size_t i = 0; i < count; ++i) joined += (i ? L"\r\n" : L"") + lines[i];
        Send(app.Main(), WM_COMMAND, MAKEWPARAM(kCopyLogButton, BN_CLICKED), reinterpret_cast<LPARAM>(copy));
        EXPECT_EQ(ReadClipboard().value_or(L"(none)"), joined);
    }
}

TEST(Buttons, PanelCopyButtonsCopyTheEmptyTextBeforeAnyWheelOrCtrl) {
    Notchlog app;
    EXPECT_EQ(app.Copy(kCopyWheelInfoButton), L"");
    EXPECT_EQ(app.Copy(kCopyHoverInfoButton), L"");
}

}  // namespace
}  // namespace nle2e
