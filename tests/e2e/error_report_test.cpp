// The error report, which a legacy wheel driver answering -2147483648 lines
// per notch brings up (one notch overflows the scroll arithmetic), and the
// notice a busy clipboard brings up at OK there and at each Copy button.
#include <gtest/gtest.h>

#include <regex>

#include "driver/driver.h"

namespace nle2e {
namespace {

const std::wstring kPrompt = L"\nCopy to clipboard?";

struct AbsurdLinesPerNotch {
    ScopedValue system{kDesktopKey, L"WheelScrollLines", std::wstring(L"0")};
    LegacyWheelDriver driver{-2147483647 - 1};
};

MessageBoxSeen Overflow(const Notchlog& app) {
    const POINT in = CentreOf(app.Control(kWheelHitArea));
    Post(app.Main(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(in.x, in.y));
    return WaitForMessageBox(app.Pid());
}

TEST(ErrorReport, OverflowShowsTheReportOkCopiesItAndLoggingGoesOn) {
    AbsurdLinesPerNotch absurd;
    Notchlog app;
    const MessageBoxSeen box = Overflow(app);
    EXPECT_EQ(box.caption, L"Notchlog");
    EXPECT_TRUE(std::regex_match(box.text, std::wregex(L"Error \t6 \\(00000006\\)\nDesc\tOverflow\nDll\t-?\\d+\n"
                                                       L"Proc\tLoad@40\n\nSource\tNotchlog\nXY ver\t1\\.00\\.0007\n"
                                                       L"OS\tVista \\(Service Pack 1\\)\nDate\t[^\n]+\n\nCopy to clipboard\\?")))
        << Narrow(box.text);
    Press(box, IDOK);
    app.Mark();  // the wheel message is handled, the copy done, and logging goes on
    EXPECT_EQ(ReadClipboard().value_or(L"(none)"), box.text.substr(0, box.text.size() - kPrompt.size()));
    const auto lines = app.Log();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const auto& l) { return LoggedMsg(l) == WM_MOUSEWHEEL; }), 1);
}

TEST(ErrorReport, OsLineNamesTheWindowsVersionAndCancelCopiesNothing) {
    // Wine's AppDefaults version, the name, and the name for a 32-bit process on 64-bit Windows.
    const struct { const wchar_t* version; const wchar_t* name; const wchar_t* underWow64; } cases[] = {
        {L"win95", L"Win95", L"Win95"},
        {L"win98", L"Win98", L"Win98"},
        {L"winme", L"WinME", L"WinME"},
        {L"nt40", L"WinNT4 (Service Pack 6a)", L"WinNT4 (Service Pack 6a)"},
        {L"win2k", L"Win2K (Service Pack 4)", L"Win2K (Service Pack 4)"},
        {L"winxp", L"WinXP (Service Pack 3)", L"WinXP (Service Pack 3)"},
        {L"win2003", L"Windows 2003 Server (Service Pack 2)", L"WinXP Pro x64 (Service Pack 2)"},
        {L"win10", L"Vista", L"Vista"},
    };
    AbsurdLinesPerNotch absurd;
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.version));
        ScopedValue version(kAppDefaultsKey, L"Version", std::wstring(c.version));
        Notchlog app;
        BOOL wow64 = FALSE;
        ::IsWow64Process(app.Process(), &wow64);
        WriteClipboard(L"left alone");
        const MessageBoxSeen box = Overflow(app);
        EXPECT_NE(box.text.find(std::wstring(L"\nOS\t") + (wow64 ? c.underWow64 : c.name) + L"\nDate\t"),
                  std::wstring::npos)
            << Narrow(box.text);
        Press(box, IDCANCEL);
        app.Mark();
        EXPECT_EQ(ReadClipboard().value_or(L"(none)"), L"left alone");
        EXPECT_EQ(app.Close(), 0u);
    }
}

TEST(ErrorReport, ABusyClipboardGetsANoticeAtOkAndAtEachCopyAndTheNextCopyWorks) {
    const std::wstring busy = L"The clipboard is busy: another program has it open.\nNothing was copied.";
    AbsurdLinesPerNotch absurd;
    Notchlog app;
    const MessageBoxSeen report = Overflow(app);
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
