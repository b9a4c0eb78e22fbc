// Clear and the three Copy buttons, also with a clipboard another program
// keeps open.
#include <gtest/gtest.h>

#include <algorithm>

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

TEST(Buttons, ABusyClipboardIsReportedAtEachCopyAndTheNextCopyWorks) {
    const std::wstring busy = L"The clipboard is busy: another program has it open.\nNothing was copied.";
    // An absurd lines-per-notch answer: the wheel notch below raises the error report.
    ScopedValue lines(kDesktopKey, L"WheelScrollLines", std::wstring(L"0"));
    LegacyWheelDriver driver(-2147483647 - 1);
    Notchlog app;
    const POINT in = CentreOf(app.Control(kWheelTarget));
    Post(app.Main(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(in.x, in.y));
    const MessageBoxSeen report = WaitForMessageBox(app.Pid());
    {
        ClipboardHolder holder;
        Press(report, IDOK);
        const MessageBoxSeen notice = WaitForMessageBox(app.Pid());
        EXPECT_EQ(notice.text, busy);
        Press(notice, IDOK);
    }
    for (int id : {kCopyLogButton, kCopyWheelInfoButton, kCopyHoverInfoButton}) {
        SCOPED_TRACE(id);
        {
            ClipboardHolder holder;
            Post(app.Control(id), BM_CLICK);
            const MessageBoxSeen notice = WaitForMessageBox(app.Pid());
            EXPECT_EQ(notice.text, busy);
            Press(notice, IDOK);
        }
        const auto copied = Split(app.Copy(id), L"\r\n");
        const auto log = app.Log();
        if (id == kCopyLogButton) {  // the lines logged before the click
            EXPECT_TRUE(copied.size() <= log.size() && std::equal(copied.begin(), copied.end(), log.begin()));
        } else if (id == kCopyWheelInfoButton) {
            EXPECT_EQ(copied.at(1), L"Delta = -1, Shift = 0");
        } else {
            EXPECT_EQ(copied, std::vector<std::wstring>{L""});  // no Ctrl yet
        }
    }
}

}  // namespace
}  // namespace nle2e
