// The window as it comes up and goes: layout at two resolutions, start-up
// state, closing, and the Tab order.
#include <gtest/gtest.h>

#include <array>

#include "driver/driver.h"

namespace nle2e {
namespace {

using Place = std::array<LONG, 4>;  // left, top, width, height in the client area

const wchar_t* const kHoverCaption = L"Hold CTRL to retrieve the handle of the currently hovered window:";
const wchar_t* const kInstructions =
    L"Move mouse over green area and scroll using mouse wheel or touchpad. Then check out the messages, and "
    L"watch the scrollbar on the left.";

// In creation order, which is the children's z-order from the top.
const struct { int id; const wchar_t* className; const wchar_t* caption; Place at96, at144; } kControls[] = {
    {kCopyHoverInfoButton, L"Button", L"Copy", {662, 180, 53, 21}, {993, 270, 80, 32}},
    {kHoverPanel, L"NotchlogPictureBox", L"", {326, 72, 389, 105}, {489, 108, 584, 158}},
    {kWheelScrollBar, L"ScrollBar", L"", {12, 20, 21, 383}, {18, 30, 32, 575}},
    {kCopyWheelInfoButton, L"Button", L"Copy", {268, 180, 53, 21}, {402, 270, 80, 32}},
    {kWheelHitArea, L"NotchlogPictureBox", L"", {44, 72, 275, 105}, {66, 108, 413, 158}},
    {kCopyLogButton, L"Button", L"Copy", {620, 208, 77, 21}, {930, 312, 116, 32}},
    {kClearLogButton, L"Button", L"Clear", {620, 234, 77, 21}, {930, 351, 116, 32}},
    {kMessageLog, L"ListBox", L"", {44, 210, 567, 186}, {66, 315, 851, 279}},
    {kSampleList, L"ListBox", L"", {620, 340, 95, 56}, {930, 510, 143, 84}},
    {kHoverLabel, L"Static", kHoverCaption, {328, 38, 257, 29}, {492, 57, 386, 44}},
    {kInstructionsLabel, L"Static", kInstructions, {44, 22, 275, 45}, {66, 33, 413, 68}},
    {kSampleListLabel, L"Static", L"Standard ListBox", {622, 322, 93, 17}, {933, 483, 140, 26}},
    {kMessagesLabel, L"Static", L"Messages", {44, 194, 179, 15}, {66, 291, 269, 23}},
};

TEST(Window, LayoutAt96And144DpiStaysPutWhenTheWindowIsResized) {
    for (DWORD dpi : {96, 144}) {
        SCOPED_TRACE(dpi);
        ScopedValue logPixels(kDesktopKey, L"LogPixels", dpi);
        Notchlog app;
        RECT client{};
        ::GetClientRect(app.Main(), &client);
        EXPECT_EQ((Place{0, 0, client.right, client.bottom}), (dpi == 96 ? Place{0, 0, 729, 410} : Place{0, 0, 1094, 615}));
        RECT window{};
        ::GetWindowRect(app.Main(), &window);
        for (int grow : {0, 150, -300}) {
            SCOPED_TRACE(grow);
            const int width = window.right - window.left + grow, height = window.bottom - window.top + grow;
            ASSERT_TRUE(::SetWindowPos(app.Main(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
            ASSERT_TRUE(WaitUntil([&] {
                RECT r{};
                return ::GetWindowRect(app.Main(), &r) && r.right - r.left == width && r.bottom - r.top == height;
            }));
            std::size_t i = 0;
            for (HWND c = ::GetWindow(app.Main(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT), ++i) {
                ASSERT_LT(i, std::size(kControls));
                const auto& want = kControls[i];
                SCOPED_TRACE(want.id);
                RECT r{};
                ::GetWindowRect(c, &r);
                ::MapWindowPoints(nullptr, app.Main(), reinterpret_cast<POINT*>(&r), 2);
                EXPECT_EQ(::GetDlgCtrlID(c), want.id);
                EXPECT_EQ(_wcsicmp(ClassOf(c).c_str(), want.className), 0) << Narrow(ClassOf(c));
                EXPECT_EQ(TextOf(c), want.caption);
                EXPECT_EQ((Place{r.left, r.top, r.right - r.left, r.bottom - r.top}), dpi == 96 ? want.at96 : want.at144);
            }
            EXPECT_EQ(i, std::size(kControls));
        }
    }
}

TEST(Window, StartsFocusedOnTheGreenAreaWithSampleListAndScrollBarAndLogsItsShowing) {
    Notchlog app;
    EXPECT_EQ(TextOf(app.Main()), L"Notchlog - 20080523");
    EXPECT_EQ(FocusIn(app.Main()), app.Control(kWheelHitArea));
    std::vector<std::wstring> items;
    for (int i = 0; i <= 20; ++i) items.push_back(std::to_wstring(i) + L". Wheel me!");
    EXPECT_EQ(ListLines(app.Control(kSampleList)), items);
    SCROLLINFO bar{sizeof bar, SIF_RANGE | SIF_POS, 0, 0, 0, 0, 0};
    ASSERT_TRUE(::GetScrollInfo(app.Control(kWheelScrollBar), SB_CTL, &bar));
    EXPECT_EQ(std::vector<int>({bar.nMin, bar.nMax, bar.nPos}), std::vector<int>({0, 1000, 0}));  // range, value

    const std::wstring shown = Format(L"  hWnd=%lX\tuMsg=  18 wHi=0 wLo=1 lHi=0 lLo=0", Handle32(app.Main()));
    const auto lines = app.Log();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const auto& l) { return l.substr(8) == shown; }))
        << "no line for the showing of the window among " << lines.size();
}

TEST(Window, ClosingEndsTheProcessWithExitCodeZero) {
    for (UINT how : {WM_CLOSE, WM_SYSCOMMAND}) {
        SCOPED_TRACE(how);
        Notchlog app;
        Post(app.Main(), how, how == WM_SYSCOMMAND ? SC_CLOSE : 0);
        EXPECT_EQ(app.WaitForExit().value_or(~0u), 0u);
    }
}

TEST(Window, TabAndShiftTabFollowTheTabIndexSkippingLabels) {
    Notchlog app;
    Foreground(app.Main());
    // Tab indexes 0 (the green area) to 12; the labels (2, 3, 7, 10) take no focus.
    const struct { bool backwards; int id; } steps[] = {
        {false, kSampleList}, {false, kMessageLog}, {false, kClearLogButton}, {false, kCopyLogButton},
        {false, kCopyWheelInfoButton}, {false, kWheelScrollBar}, {false, kHoverPanel}, {false, kCopyHoverInfoButton},
        {false, kWheelHitArea}, {true, kCopyHoverInfoButton}, {true, kHoverPanel},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.id);
        if (s.backwards) Key(VK_SHIFT);
        Key(VK_TAB);
        Key(VK_TAB, true);
        if (s.backwards) Key(VK_SHIFT, true);
        ASSERT_TRUE(WaitUntil([&] { return FocusIn(app.Main()) == app.Control(s.id); }))
            << "the focus is on " << ::GetDlgCtrlID(FocusIn(app.Main()));
    }
}

}  // namespace
}  // namespace nle2e
