// Clear, and the panels' Copy buttons before there is anything to copy
// (the log's Copy is checked where the list runs full).
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

TEST(Buttons, PanelCopyButtonsCopyTheEmptyTextBeforeAnyWheelOrCtrl) {
    Notchlog app;
    EXPECT_EQ(app.Copy(kCopyWheelInfoButton), L"");
    EXPECT_EQ(app.Copy(kCopyHoverInfoButton), L"");
}

}  // namespace
}  // namespace nle2e
