// The wheel path as a user meets it: real wheel input over and away from the
// green area, the scroll bar moving with the system's lines-per-notch setting
// (or a legacy driver's answer), the error report an absurd setting causes,
// and the Copy buttons with a busy clipboard.
#include <gtest/gtest.h>

#include <optional>

#include "driver/driver.h"
#include "support/shared_app.h"
#include "support/actors.h"

namespace nle2e {
namespace {

constexpr COLORREF kLightGreen = 0x0080FF80;
constexpr COLORREF kLightMagenta = 0x00FF80FF;

int ScrollValue(const Notchlog& app) { return static_cast<int>(Send(app.Control(kVScroll1), SBM_GETPOS)); }

// A point inside the green area that the printed text never covers.
POINT QuietCornerOf(HWND picture) {
    RECT client{};
    ::GetClientRect(picture, &client);
    POINT p{client.right - 4, client.bottom - 4};
    ::ClientToScreen(picture, &p);
    return p;
}

COLORREF WaitForAreaColour(HWND picture, COLORREF want) {
    const POINT p = QuietCornerOf(picture);
    COLORREF seen = CLR_INVALID;
    WaitUntil([&] { return (seen = ScreenPixel(p.x, p.y)) == want; }, 10s);
    return seen;
}

// The description of the last wheel event, as the Copy button under the
// green area puts it on the clipboard.
std::vector<std::wstring> CopiedWheelInfo(const Notchlog& app) { return SplitOn(app.CopiedBy(kCommand3), L"\r\n"); }

LPARAM ScreenLParam(int x, int y) {
    return static_cast<LPARAM>(static_cast<std::int32_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                                          static_cast<std::uint32_t>(x & 0xFFFF)));
}
WPARAM WheelWParam(int delta, int keys = 0) {
    return static_cast<WPARAM>((static_cast<std::uint32_t>(delta & 0xFFFF) << 16) | static_cast<std::uint32_t>(keys));
}

// ---- real wheel input ----------------------------------------------------------

class RealWheel : public SharedNotchlogSuite<RealWheel> {};

TEST_F(RealWheel, OverTheGreenAreaDescribesTheEventAndScrolls) {
    HWND picture = App().Control(kPicture1);
    BringToFront(App().Main());
    const POINT at = QuietCornerOf(picture);
    MoveCursor(at);
    const int before = ScrollValue(App());
    WheelAtCursor(-120);  // one notch back, towards the user
    ASSERT_TRUE(WaitUntil([&] { return ScrollValue(App()) == std::min(before + 3, 1000); }))
        << "scroll bar at " << ScrollValue(App());
    EXPECT_EQ(WaitForAreaColour(picture, kLightGreen), kLightGreen);

    const auto info = CopiedWheelInfo(App());
    ASSERT_EQ(info.size(), 7u);
    EXPECT_TRUE(IsTimeStamp(info[0])) << Narrow(info[0]);
    EXPECT_EQ(info[1], L"Delta = 1, Shift = 0");
    EXPECT_EQ(info[2], L"X/Y = " + std::to_wstring(at.x) + L"/" + std::to_wstring(at.y));
    EXPECT_EQ(info[3], L"WindowFromPoint = " + HandleDecimal(picture) + L" (green: " + HandleDecimal(picture) + L")");
    EXPECT_EQ(info[4], L"Class = NotchlogPictureBox");
    EXPECT_EQ(info[5], L"Rect = " + RectTextOf(picture));
    EXPECT_EQ(info[6], L"numWheelScrollLines = 3");

    // The wheel message itself was logged, with the cursor's position.
    const auto lines = App().WaitForLogLine([&](const std::wstring& l) {
        auto p = ParseLogLine(l);
        return p && p->uMsg == WM_MOUSEWHEEL && p->wHi == -120 && p->lLo == at.x && p->lHi == at.y;
    });
    EXPECT_FALSE(lines.empty());
}

TEST_F(RealWheel, AwayFromTheGreenAreaTurnsItMagentaAndNamesTheWindow) {
    HWND picture = App().Control(kPicture1);
    HWND button = App().Control(kCommand2);
    BringToFront(App().Main());
    MoveCursor(CentreOf(button));
    const int before = ScrollValue(App());
    WheelAtCursor(120);  // one notch forward: the bar moves up
    ASSERT_TRUE(WaitUntil([&] { return ScrollValue(App()) == std::max(before - 3, 0); }));
    EXPECT_EQ(WaitForAreaColour(picture, kLightMagenta), kLightMagenta);

    const auto info = CopiedWheelInfo(App());
    ASSERT_EQ(info.size(), 7u);
    EXPECT_EQ(info[1], L"Delta = -1, Shift = 0");
    EXPECT_EQ(info[3], L"WindowFromPoint = " + HandleDecimal(button) + L" (green: " + HandleDecimal(picture) + L")");
    EXPECT_EQ(info[4], L"Class = Button");
    EXPECT_EQ(info[5], L"Rect = " + RectTextOf(button));
}

TEST_F(RealWheel, HitTestIsInclusiveOnAllFourEdges) {
    HWND picture = App().Control(kPicture1);
    RECT r{};
    ::GetWindowRect(picture, &r);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const struct {
        int x, y;
        COLORREF colour;
    } cases[] = {
        {r.left, r.top, kLightGreen},       {r.left - 1, cy, kLightMagenta}, {r.right, cy, kLightGreen},
        {r.right + 1, cy, kLightMagenta},   {cx, r.top - 1, kLightMagenta},  {cx, r.bottom, kLightGreen},
        {cx, r.bottom + 1, kLightMagenta},  {r.right, r.bottom, kLightGreen}, {-5, -7, kLightMagenta},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        EXPECT_EQ(Send(App().Main(), WM_MOUSEWHEEL, WheelWParam(60), ScreenLParam(c.x, c.y)), 0);
        EXPECT_EQ(WaitForAreaColour(picture, c.colour), c.colour);
        const auto info = CopiedWheelInfo(App());
        ASSERT_EQ(info.size(), 7u);
        EXPECT_EQ(info[1], L"Delta = 0, Shift = 0");  // half a notch
        EXPECT_EQ(info[2], L"X/Y = " + std::to_wstring(c.x) + L"/" + std::to_wstring(c.y));
    }
    // The whole client area takes the colour, its last column and row included.
    RECT client{};
    ::GetClientRect(picture, &client);
    POINT corners[] = {{0, 0}, {client.right - 1, 0}, {0, client.bottom - 1}, {client.right - 1, client.bottom - 1}};
    Send(App().Main(), WM_MOUSEWHEEL, WheelWParam(60), ScreenLParam(-5, -7));
    WaitForAreaColour(picture, kLightMagenta);
    for (POINT p : corners) {
        ::ClientToScreen(picture, &p);
        EXPECT_EQ(ScreenPixel(p.x, p.y), kLightMagenta) << p.x << "," << p.y;
    }
}

TEST_F(RealWheel, ScrollBarMovesByNotchesTimesTheSettingWithinItsRange) {
    const struct {
        int delta;
        int notches;
    } steps[] = {{-120, 1}, {-240, 2}, {60, 0}, {-60, 0}, {240, -2}, {-180, 2}, {300, -2},
                 {-32768, 273}, {-120, 1}, {32767, -273}, {120, -1}, {-360, 3}};
    HWND picture = App().Control(kPicture1);
    const POINT in = CentreOf(picture);
    for (const auto& s : steps) {
        SCOPED_TRACE(s.delta);
        const int before = ScrollValue(App());
        Send(App().Main(), WM_MOUSEWHEEL, WheelWParam(s.delta, MK_SHIFT), ScreenLParam(in.x, in.y));
        EXPECT_EQ(ScrollValue(App()), std::clamp(before + 3 * s.notches, 0, 1000));
        const auto info = CopiedWheelInfo(App());
        ASSERT_EQ(info.size(), 7u);
        EXPECT_EQ(info[1], L"Delta = " + std::to_wstring(s.notches) + L", Shift = 4");
    }
}

// ---- the lines-per-notch setting ------------------------------------------------

struct SettingCase {
    const wchar_t* registry;  // desktop setting, as the registry keeps it
    std::optional<std::int32_t> driver;  // a legacy driver's answer, if one runs
    bool driverHung;
    int expectedLines;
    int stepPerNotch;  // how far one notch moves the bar
};

class WheelSetting : public testing::TestWithParam<SettingCase> {};

TEST_P(WheelSetting, IsReadAtStartAndDrivesTheBar) {
    const SettingCase& c = GetParam();
    auto setting = WheelLinesSetting(c.registry);
    std::optional<LegacyWheelDriver> driver;
    if (c.driverHung)
        driver.emplace(LegacyWheelDriver::Hung());
    else if (c.driver)
        driver.emplace(LegacyWheelDriver::Answering(*c.driver));

    // A hung driver window costs start-up at most about a second; the
    // launch's own deadline is what would catch a start-up that hangs.
    Notchlog app = Notchlog::Launch(NotchlogExePath(), 20s);
    HWND picture = app.Control(kPicture1);
    const POINT in = CentreOf(picture);
    // Three notches forward from the middle of the range shows the step's
    // sign and size without touching either end.
    Send(app.Control(kVScroll1), SBM_SETPOS, 500, TRUE);
    Send(app.Main(), WM_MOUSEWHEEL, WheelWParam(360), ScreenLParam(in.x, in.y));
    EXPECT_EQ(ScrollValue(app), 500 - 3 * c.stepPerNotch);
    const auto info = CopiedWheelInfo(app);
    ASSERT_EQ(info.size(), 7u);
    EXPECT_EQ(info[6], L"numWheelScrollLines = " + std::to_wstring(c.expectedLines));
    EXPECT_EQ(app.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    SystemAndLegacyDriver, WheelSetting,
    testing::Values(SettingCase{L"3", std::nullopt, false, 3, 3}, SettingCase{L"0", std::nullopt, false, 0, 0},
                    SettingCase{L"-1", std::nullopt, false, -1, 10}, SettingCase{L"20", std::nullopt, false, 20, 10},
                    SettingCase{L"3", 5, false, 3, 3},     // the driver is only asked when the system says 0
                    SettingCase{L"0", 5, false, 5, 5}, SettingCase{L"0", 0, false, 0, 0},
                    SettingCase{L"0", -3, false, -3, -3},  // moves the bar against the wheel
                    SettingCase{L"0", std::nullopt, true, 0, 0}));

// ---- the error report ------------------------------------------------------------

// A legacy driver answering -2147483648 makes the step that large; one notch
// forward then overflows the scroll arithmetic.
class ErrorReport : public testing::Test {
protected:
    void SetUp() override {
        setting_.emplace(WheelLinesSetting(L"0"));
        driver_.emplace(LegacyWheelDriver::Answering(-2147483647 - 1));
    }
    void TearDown() override {
        driver_.reset();
        setting_.reset();
    }

    // Posts the overflowing wheel event and returns the report box.
    static MessageBoxWindow Provoke(const Notchlog& app) {
        const POINT in = CentreOf(app.Control(kPicture1));
        Post(app.Main(), WM_MOUSEWHEEL, WheelWParam(120), ScreenLParam(in.x, in.y));
        return WaitForMessageBox(app.Pid());
    }

    std::optional<ScopedUserString> setting_;
    std::optional<LegacyWheelDriver> driver_;
};

TEST_F(ErrorReport, OverflowShowsTheReportAndOkCopiesIt) {
    Notchlog app = Notchlog::Launch();
    const MessageBoxWindow box = Provoke(app);
    EXPECT_EQ(box.caption, L"Notchlog");
    const auto lines = SplitOn(box.text, L"\n");
    ASSERT_EQ(lines.size(), 11u) << Narrow(box.text);
    EXPECT_EQ(lines[0], L"Error \t6 (00000006)");
    EXPECT_EQ(lines[1], L"Desc\tOverflow");
    ASSERT_GT(lines[2].size(), 4u);
    EXPECT_EQ(lines[2].substr(0, 4), L"Dll\t");
    EXPECT_EQ(lines[3], L"Proc\tLoad@40");
    EXPECT_EQ(lines[4], L"");
    EXPECT_EQ(lines[5], L"Source\tNotchlog");
    EXPECT_EQ(lines[6], L"XY ver\t1.00.0007");
    EXPECT_EQ(lines[7].substr(0, 3), L"OS\t");
    ASSERT_GT(lines[8].size(), 5u);
    EXPECT_EQ(lines[8].substr(0, 5), L"Date\t");
    EXPECT_EQ(lines[9], L"");
    EXPECT_EQ(lines[10], L"Copy to clipboard?");
    // OK and Cancel, with the error icon.
    EXPECT_NE(::GetDlgItem(box.box, IDOK), nullptr);
    EXPECT_NE(::GetDlgItem(box.box, IDCANCEL), nullptr);

    WriteClipboardText(L"(before)");
    PressButton(box, IDOK);
    const std::wstring report = box.text.substr(0, box.text.size() - std::wstring(L"\nCopy to clipboard?").size());
    EXPECT_EQ(ReadClipboardText().value_or(L"(none)"), report);
    EXPECT_EQ(report.back(), L'\n');

    // The program goes on: the wheel message was logged after the report,
    // and the next message is logged too.
    app.WaitForLogLine([](const std::wstring& l) { return IsLogOf(l, WM_MOUSEWHEEL); });
    Post(app.Main(), WM_APP + 7);
    app.WaitForLogLine([](const std::wstring& l) { return IsLogOf(l, WM_APP + 7); });
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(ErrorReport, CancelLeavesTheClipboardAlone) {
    Notchlog app = Notchlog::Launch();
    WriteClipboardText(L"left alone");
    const MessageBoxWindow box = Provoke(app);
    PressButton(box, IDCANCEL);
    app.WaitForLogLine([](const std::wstring& l) { return IsLogOf(l, WM_MOUSEWHEEL); });
    EXPECT_EQ(ReadClipboardText().value_or(L"(none)"), L"left alone");
    // A second report in the same run reads the same way.
    const MessageBoxWindow again = Provoke(app);
    EXPECT_NE(again.text.find(L"Proc\tLoad@40\n\nSource\tNotchlog\nXY ver\t1.00.0007\n"), std::wstring::npos);
    PressButton(again, IDCANCEL);
    EXPECT_EQ(app.Close(), 0u);
}

struct VersionCase {
    const wchar_t* wineVersion;
    const wchar_t* name;       // as a 64-bit process or on 32-bit Windows
    const wchar_t* wow64Name;  // as a 32-bit process on 64-bit Windows
};

class ErrorReportOsLine : public ErrorReport, public testing::WithParamInterface<VersionCase> {};

TEST_P(ErrorReportOsLine, NamesTheWindowsVersion) {
    const VersionCase& c = GetParam();
    auto version = WindowsVersionSetting(c.wineVersion);
    Notchlog app = Notchlog::Launch();
    BOOL wow = FALSE;
    ::IsWow64Process(app.Process(), &wow);
    const MessageBoxWindow box = Provoke(app);
    const auto lines = SplitOn(box.text, L"\n");
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[7], std::wstring(L"OS\t") + (wow ? c.wow64Name : c.name));
    PressButton(box, IDCANCEL);
    EXPECT_EQ(app.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    WineVersions, ErrorReportOsLine,
    testing::Values(VersionCase{L"win95", L"Win95", L"Win95"}, VersionCase{L"win98", L"Win98", L"Win98"},
                    VersionCase{L"winme", L"WinME", L"WinME"},
                    VersionCase{L"nt40", L"WinNT4 (Service Pack 6a)", L"WinNT4 (Service Pack 6a)"},
                    VersionCase{L"win2k", L"Win2K (Service Pack 4)", L"Win2K (Service Pack 4)"},
                    VersionCase{L"winxp", L"WinXP (Service Pack 3)", L"WinXP (Service Pack 3)"},
                    VersionCase{L"win2003", L"Windows 2003 Server (Service Pack 2)", L"WinXP Pro x64 (Service Pack 2)"},
                    VersionCase{L"vista", L"Vista (Service Pack 2)", L"Vista (Service Pack 2)"},
                    VersionCase{L"win7", L"Vista (Service Pack 1)", L"Vista (Service Pack 1)"},
                    VersionCase{L"win10", L"Vista", L"Vista"}));

// ---- a busy clipboard ------------------------------------------------------------

class BusyClipboard : public testing::Test {};

TEST_F(BusyClipboard, EachCopySaysSoAndTheNextCopyWorks) {
    Notchlog app = Notchlog::Launch();
    const POINT in = CentreOf(app.Control(kPicture1));
    Send(app.Main(), WM_MOUSEWHEEL, WheelWParam(-120), ScreenLParam(in.x, in.y));
    for (int id : {kCommand2, kCommand3, kCommand4}) {
        SCOPED_TRACE(id);
        {
            ClipboardHolder holder;
            Post(app.Control(id), BM_CLICK);  // the click waits on the busy notice
            const MessageBoxWindow notice = WaitForMessageBox(app.Pid());
            EXPECT_NE(notice.text.find(L"clipboard is busy"), std::wstring::npos) << Narrow(notice.text);
            EXPECT_NE(notice.text.find(L"Nothing was copied"), std::wstring::npos);
            PressButton(notice, IDOK);
        }
        Send(app.Control(id), BM_CLICK);
        const auto text = ReadClipboardText();
        ASSERT_TRUE(text.has_value());
        if (id == kCommand2) {
            std::wstring joined;
            for (const auto& l : ListLines(app.Log())) joined += (joined.empty() ? L"" : L"\r\n") + l;
            // The click itself was logged after the copy was made.
            EXPECT_EQ(*text + L"\r\n", joined.substr(0, text->size() + 2));
        } else if (id == kCommand3) {
            EXPECT_EQ(SplitOn(*text, L"\r\n").size(), 7u);
        } else {
            EXPECT_EQ(*text, L"");  // no Ctrl inspection yet
        }
    }
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(BusyClipboard, OkInTheErrorReportSaysSoToo) {
    auto setting = WheelLinesSetting(L"0");
    auto driver = LegacyWheelDriver::Answering(-2147483647 - 1);
    Notchlog app = Notchlog::Launch();
    const POINT in = CentreOf(app.Control(kPicture1));
    Post(app.Main(), WM_MOUSEWHEEL, WheelWParam(120), ScreenLParam(in.x, in.y));
    const MessageBoxWindow report = WaitForMessageBox(app.Pid());
    {
        ClipboardHolder holder;
        PressButton(report, IDOK);
        const MessageBoxWindow notice = WaitForMessageBox(app.Pid());
        EXPECT_NE(notice.text.find(L"clipboard is busy"), std::wstring::npos) << Narrow(notice.text);
        PressButton(notice, IDOK);
    }
    app.WaitForLogLine([](const std::wstring& l) { return IsLogOf(l, WM_MOUSEWHEEL); });
    Send(app.Control(kCommand1), BM_CLICK);
    Send(app.Control(kCommand2), BM_CLICK);
    const auto text = ReadClipboardText();
    ASSERT_TRUE(text.has_value());
    EXPECT_TRUE(IsLogOf(SplitOn(*text, L"\r\n").front(), WM_COMMAND)) << Narrow(*text);
    EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
}  // namespace nle2e
