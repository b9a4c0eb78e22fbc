// The wheel path as a user meets it: real wheel input over and away from the
// green area, its inclusive edges, and the lines per notch that the system
// or a legacy wheel driver gives.
#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "driver/driver.h"

namespace nle2e {
namespace {

constexpr COLORREF kLightGreen = 0x0080FF80, kLightMagenta = 0x00FF80FF;

std::wstring RectOf(HWND w) {
    RECT r{};
    ::GetWindowRect(w, &r);
    return Format(L"(%ld, %ld)-(%ld, %ld) %ldx%ld", r.left, r.top, r.right, r.bottom, r.right - r.left, r.bottom - r.top);
}

// A point of the green area that its printed text never covers.
POINT QuietCorner(HWND area) {
    RECT r{};
    ::GetWindowRect(area, &r);
    return POINT{r.right - 5, r.bottom - 5};
}

LRESULT BarValue(const Notchlog& app) { return Send(app.Control(kWheelScrollBar), SBM_GETPOS); }

std::vector<std::wstring> WheelInfo(Notchlog& app) { return Split(app.Copy(kCopyWheelInfoButton), L"\r\n"); }

TEST(Wheel, RealWheelOverAndAwayFromTheGreenArea) {
    Notchlog app;
    Foreground(app.Main());
    const HWND green = app.Control(kWheelHitArea), button = app.Control(kCopyLogButton);
    const struct { POINT at; int delta; HWND under; const wchar_t* className; COLORREF colour; LRESULT bar; const wchar_t* notches; } cases[] = {
        {QuietCorner(green), -120, green, L"NotchlogPictureBox", kLightGreen, 3, L"Delta = 1, Shift = 0"},
        {CentreOf(button), 120, button, L"Button", kLightMagenta, 0, L"Delta = -1, Shift = 0"},
        {QuietCorner(green), -240, green, L"NotchlogPictureBox", kLightGreen, 6, L"Delta = 2, Shift = 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.notches));
        MoveCursor(c.at);
        Wheel(c.delta);
        ASSERT_TRUE(WaitUntil([&] { return BarValue(app) == c.bar; })) << "the bar stands at " << BarValue(app);
        EXPECT_TRUE(WaitUntil([&] { return PixelAt(QuietCorner(green)) == c.colour; }));
        const auto info = WheelInfo(app);
        ASSERT_EQ(info.size(), 7u);
        EXPECT_TRUE(std::regex_match(info[0], std::wregex(L"\\d\\d:\\d\\d:\\d\\d"))) << Narrow(info[0]);
        EXPECT_EQ(info[1], c.notches);
        EXPECT_EQ(info[2], Format(L"X/Y = %ld/%ld", c.at.x, c.at.y));
        EXPECT_EQ(info[3], Format(L"WindowFromPoint = %ld (green: %ld)", Handle32(c.under), Handle32(green)));
        EXPECT_EQ(info[4], std::wstring(L"Class = ") + c.className);
        EXPECT_EQ(info[5], L"Rect = " + RectOf(c.under));
        EXPECT_EQ(info[6], L"numWheelScrollLines = 3");
    }
}

TEST(Wheel, TheGreenAreaIncludesTheColumnAndRowPastItsEdges) {
    Notchlog app;
    const HWND green = app.Control(kWheelHitArea);
    RECT r{};
    ::GetWindowRect(green, &r);
    const LONG x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    // The window rectangle's right and bottom are the column and row just past the area.
    const struct { LONG x, y; COLORREF colour; } cases[] = {
        {r.left - 1, y, kLightMagenta}, {r.left, r.top, kLightGreen}, {r.right + 1, y, kLightMagenta}, {r.right, y, kLightGreen},
        {x, r.top - 1, kLightMagenta}, {x, r.bottom, kLightGreen}, {x, r.bottom + 1, kLightMagenta},
        {r.right, r.bottom, kLightGreen}, {-5, -7, kLightMagenta},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Format(L"%ld, %ld", c.x, c.y).c_str());
        EXPECT_EQ(Send(app.Main(), WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, 60), MAKELPARAM(c.x, c.y)), 0);  // half a notch
        EXPECT_TRUE(WaitUntil([&] { return PixelAt(QuietCorner(green)) == c.colour; }));
        const auto info = WheelInfo(app);
        ASSERT_EQ(info.size(), 7u);
        EXPECT_EQ(info[1], L"Delta = 0, Shift = 4");
        EXPECT_EQ(info[2], Format(L"X/Y = %ld/%ld", c.x, c.y));
    }
}

// A legacy driver window whose thread never takes a message.
struct HungDriver {
    HANDLE up = ::CreateEventW(nullptr, TRUE, FALSE, nullptr), release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread thread{[this] {
        TestWindow w(L"MouseZ", L"Magellan MSWHEEL", {0, 0, 10, 10}, false);
        ::SignalObjectAndWait(up, release, INFINITE, FALSE);
    }};
    HungDriver() { ::WaitForSingleObject(up, INFINITE); }
    ~HungDriver() { ::SetEvent(release), thread.join(), ::CloseHandle(up), ::CloseHandle(release); }
};

// The --wheel-csv file's step, truncated and rounded columns, a row each.
std::vector<std::string> StepColumns(const std::wstring& csv) {
    std::vector<std::string> rows;
    const auto lines = Split(Contents(csv), "\r\n");
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        const auto fields = Split(lines[i], ",");
        if (fields.size() > 10) rows.push_back(fields[8] + "," + fields[9] + "," + fields[10]);
    }
    return rows;
}

// The main window and the recording read the setting the same way: the CSV's
// step is the wheel text's value, and its handlers (no page cap, a notch
// forward +1) follow it. A changed setting reaches the recording only.
TEST(Wheel, LinesPerNotchComeFromTheSystemOrElseTheLegacyDriver) {
    // The desktop's setting, the legacy driver's answer (if one runs), what the wheel text says,
    // how far a notch moves the bar and what the CSV's handlers scroll for one notch.
    const struct { const wchar_t* setting; std::optional<LRESULT> driver; bool hung; int lines, step; const char* csv; } cases[] = {
        {L"-1", {}, false, -1, 10, "page,3,3"},  // a page per notch
        {L"20", {}, false, 20, 10, "20,60,60"},  // never more than a page
        {L"0", 5, false, 5, 5, "5,15,15"},
        {L"0", -3, false, -3, -3, "-3,-9,-9"},   // against the wheel
        {L"3", 5, false, 3, 3, "3,9,9"},         // the system's setting wins
        {L"0", {}, true, 0, 0, "0,0,0"},         // a hung driver does not hold up the start
    };
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring csv = Format(L"%lsnotchlog-steps-%lu.csv", temp, ::GetCurrentProcessId());
    for (const auto& c : cases) {
        SCOPED_TRACE(Format(L"setting %ls, driver %ld", c.setting, c.driver.value_or(c.hung ? -999 : 0)).c_str());
        ::DeleteFileW(csv.c_str());
        ScopedValue setting(kDesktopKey, L"WheelScrollLines", std::wstring(c.setting));
        std::optional<LegacyWheelDriver> driver;
        std::optional<HungDriver> hung;
        if (c.driver) driver.emplace(*c.driver);
        if (c.hung) hung.emplace();
        Notchlog app(L"--wheel-csv \"" + csv + L"\"");
        Send(app.Control(kWheelScrollBar), SBM_SETPOS, 500, TRUE);
        const POINT in = CentreOf(app.Control(kWheelHitArea));
        Send(app.Main(), WM_MOUSEWHEEL, MAKEWPARAM(0, 360), MAKELPARAM(in.x, in.y));  // three notches forward
        EXPECT_EQ(BarValue(app), 500 - 3 * c.step);
        EXPECT_EQ(WheelInfo(app).back(), Format(L"numWheelScrollLines = %d", c.lines));
        std::vector<std::string> want{c.csv};
        if (driver) {  // the driver answers anew; the window keeps its start-up value
            driver->Answer(::RegisterWindowMessageW(L"MSH_SCROLL_LINES_MSG"), *c.driver + 4);
            Send(app.Main(), WM_SETTINGCHANGE, SPI_SETWHEELSCROLLLINES);
            Send(app.Main(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(in.x, in.y));
            EXPECT_EQ(BarValue(app), 500 - 4 * c.step);
            const int now = c.setting == std::wstring(L"0") ? static_cast<int>(*c.driver) + 4 : c.lines;
            want.push_back(Narrow(Format(L"%d,%d,%d", now, now, now)));
        }
        EXPECT_TRUE(WaitUntil([&] { return StepColumns(csv).size() >= want.size(); }));
        EXPECT_EQ(StepColumns(csv), want);
        EXPECT_EQ(app.Close(), 0u);
    }
    ::DeleteFileW(csv.c_str());
}

TEST(Wheel, ScrollBarArrowsPageAreasThumbAndKeysStayWithin0To1000) {
    Notchlog app;
    Foreground(app.Main());
    const HWND bar = app.Control(kWheelScrollBar);
    RECT r{};
    ::GetWindowRect(bar, &r);  // arrows and thumb are as tall as the system's scroll bar arrows
    const LONG x = (r.left + r.right) / 2, arrow = ::GetSystemMetrics(SM_CYVSCROLL), up = r.top + arrow / 2,
               down = r.bottom - arrow / 2, middle = (r.top + r.bottom) / 2, thumbAt0 = r.top + arrow * 3 / 2,
               thumbAt1000 = r.bottom - arrow * 3 / 2;
    // Where the left button goes down and up (the thumb is dragged when they differ), or a key.
    const struct { LRESULT from; LONG press, release; WORD key; LRESULT to; } cases[] = {
        {500, up, up, 0, 499}, {500, down, down, 0, 501},
        {1000, middle, middle, 0, 990}, {0, middle, middle, 0, 10},  // the page above and below the thumb
        {0, up, up, 0, 0}, {1000, down, down, 0, 1000},
        {0, thumbAt0, down, 0, 1000}, {1000, thumbAt1000, up, 0, 0},
        {995, 0, 0, VK_NEXT, 1000}, {5, 0, 0, VK_PRIOR, 0}, {500, 0, 0, VK_END, 1000}, {500, 0, 0, VK_HOME, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Format(L"from %ld, at %ld to %ld, key %d", c.from, c.press - r.top, c.release - r.top, c.key).c_str());
        Send(bar, SBM_SETPOS, static_cast<WPARAM>(c.from), TRUE);
        const std::size_t from = app.LogCount();
        if (c.key) {
            for (HWND focus; (focus = FocusIn(app.Main())) != bar;) {  // keys reach the bar through the focus
                Key(VK_TAB), Key(VK_TAB, true);
                ASSERT_TRUE(WaitUntil([&] { return FocusIn(app.Main()) != focus; })) << ::GetDlgCtrlID(focus);
            }
            Key(c.key), Key(c.key, true);
        } else {
            MoveCursor({x, c.press}), SendInputOf(INPUT_MOUSE, 0, MOUSEEVENTF_LEFTDOWN);
            MoveCursor({x, c.release}), SendInputOf(INPUT_MOUSE, 0, MOUSEEVENTF_LEFTUP);
        }
        ASSERT_TRUE(WaitUntil([&] {  // a key sends one WM_VSCROLL, the mouse ends with SB_ENDSCROLL
            for (const auto& l : app.Log(from))
                if (LoggedMsg(l) == WM_VSCROLL && l.find(c.key ? L"" : L" wLo=8 ") != std::wstring::npos) return true;
            return false;
        }));
        EXPECT_EQ(BarValue(app), c.to);
    }
}

}  // namespace
}  // namespace nle2e
