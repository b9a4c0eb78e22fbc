// The window as it comes up: caption, class, client area, every control's
// class, caption and place (at 96 and at 144 dpi), the demonstration list and
// the initial focus.
#include <gtest/gtest.h>

#include <cwchar>
#include <optional>

#include "driver/driver.h"
#include "support/shared_app.h"

namespace nle2e {
namespace {

struct Box {
    int left, top, width, height;
};

bool operator==(const Box& a, const Box& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

std::ostream& operator<<(std::ostream& os, const Box& b) {
    return os << "(" << b.left << ", " << b.top << ", " << b.width << " x " << b.height << ")";
}

struct ExpectedControl {
    int id;
    const char* name;
    const wchar_t* className;
    const wchar_t* caption;
    Box at96;   // pixels at 96 dpi
    Box at144;  // pixels at 144 dpi (halves rounded up)
};

const wchar_t* const kLblWindowCaption = L"Hold CTRL to retrieve the handle of the currently hovered window:";
const wchar_t* const kLabel1Caption =
    L"Move mouse over green area and scroll using mouse wheel or touchpad. Then check out the messages, and "
    L"watch the scrollbar on the left.";

// In creation order, which is also the order of the children from the top
// of the z-order down.
const ExpectedControl kControls[] = {
    {kCommand4, "Command4", L"Button", L"Copy", {662, 180, 53, 21}, {993, 270, 80, 32}},
    {kPicHover, "picHover", L"NotchlogPictureBox", L"", {326, 72, 389, 105}, {489, 108, 584, 158}},
    {kVScroll1, "VScroll1", L"ScrollBar", L"", {12, 20, 21, 383}, {18, 30, 32, 575}},
    {kCommand3, "Command3", L"Button", L"Copy", {268, 180, 53, 21}, {402, 270, 80, 32}},
    {kPicture1, "Picture1", L"NotchlogPictureBox", L"", {44, 72, 275, 105}, {66, 108, 413, 158}},
    {kCommand2, "Command2", L"Button", L"Copy", {620, 208, 77, 21}, {930, 312, 116, 32}},
    {kCommand1, "Command1", L"Button", L"Clear", {620, 234, 77, 21}, {930, 351, 116, 32}},
    {kLstMessage, "lstMessage", L"ListBox", L"", {44, 210, 567, 186}, {66, 315, 851, 279}},
    {kList1, "List1", L"ListBox", L"", {620, 340, 95, 56}, {930, 510, 143, 84}},
    {kLblWindow, "lblWindow", L"Static", kLblWindowCaption, {328, 38, 257, 29}, {492, 57, 386, 44}},
    {kLabel1, "Label1", L"Static", kLabel1Caption, {44, 22, 275, 45}, {66, 33, 413, 68}},
    {kLabel3, "Label3", L"Static", L"Standard ListBox", {622, 322, 93, 17}, {933, 483, 140, 26}},
    {kLabel2, "Label2", L"Static", L"Messages", {44, 194, 179, 15}, {66, 291, 269, 23}},
};

Box PlaceOf(HWND child, HWND main) {
    const RECT r = RectInParentClient(child, main);
    return Box{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// Compares every child of the main window, in z-order, with the table.
void ExpectControls(const Notchlog& app, Box ExpectedControl::*place) {
    const std::vector<HWND> children = ChildrenInZOrder(app.Main());
    ASSERT_EQ(children.size(), std::size(kControls));
    for (std::size_t i = 0; i < children.size(); ++i) {
        const ExpectedControl& want = kControls[i];
        SCOPED_TRACE(want.name);
        const HWND c = children[i];
        EXPECT_EQ(::GetDlgCtrlID(c), want.id);
        EXPECT_EQ(_wcsicmp(ClassNameOf(c).c_str(), want.className), 0)
            << "class " << Narrow(ClassNameOf(c)) << ", expected " << Narrow(want.className);
        EXPECT_EQ(TextOf(c), want.caption);
        EXPECT_EQ(PlaceOf(c, app.Main()), want.*place);
        EXPECT_TRUE(::IsWindowVisible(c));
    }
}

class WindowLayout : public SharedNotchlogSuite<WindowLayout> {};

TEST_F(WindowLayout, FocusIsOnTheGreenAreaAtStart) {
    EXPECT_EQ(FocusOfThreadOwning(App().Main()), App().Control(kPicture1));
}

TEST_F(WindowLayout, CaptionAndClass) {
    EXPECT_EQ(TextOf(App().Main()), L"Notchlog - 20080523");
    EXPECT_EQ(ClassNameOf(App().Main()), L"NotchlogMain");
}

TEST_F(WindowLayout, ClientAreaIs729By410) {
    const SIZE s = ClientSize(App().Main());
    EXPECT_EQ(s.cx, 729);
    EXPECT_EQ(s.cy, 410);
}

TEST_F(WindowLayout, ControlsInCreationOrderWithClassCaptionAndPlace) {
    ExpectControls(App(), &ExpectedControl::at96);
}

TEST_F(WindowLayout, DemonstrationListHoldsItsTwentyOneItems) {
    std::vector<std::wstring> want;
    for (int i = 0; i <= 20; ++i) want.push_back(std::to_wstring(i) + L". Wheel me!");
    EXPECT_EQ(ListLines(App().Control(kList1)), want);
}

TEST_F(WindowLayout, ScrollBarRangeAndPosition) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_POS;
    ASSERT_TRUE(::GetScrollInfo(App().Control(kVScroll1), SB_CTL, &si));
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 1000);
    EXPECT_EQ(si.nPos, 0);
}

TEST_F(WindowLayout, ResizingTheWindowMovesNoControl) {
    const HWND main = App().Main();
    RECT before{};
    ASSERT_TRUE(::GetWindowRect(main, &before));
    const SIZE grown{before.right - before.left + 150, before.bottom - before.top + 90};
    const SIZE shrunk{(before.right - before.left) / 2, (before.bottom - before.top) / 2};
    for (const SIZE& s : {grown, shrunk}) {
        SCOPED_TRACE("window " + std::to_string(s.cx) + " x " + std::to_string(s.cy));
        ASSERT_TRUE(::SetWindowPos(main, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
        ASSERT_TRUE(WaitUntil([&] {
            RECT r{};
            return ::GetWindowRect(main, &r) && r.right - r.left == s.cx && r.bottom - r.top == s.cy;
        }));
        ExpectControls(App(), &ExpectedControl::at96);
    }
    ::SetWindowPos(main, nullptr, 0, 0, before.right - before.left, before.bottom - before.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The layout scales with the screen resolution the program finds at start.
class WindowLayoutAt144Dpi : public testing::Test {
protected:
    static void SetUpTestSuite() {
        logPixels_.emplace(kDesktopKey, kLogPixels, 144);
        app_.emplace(Notchlog::Launch());
    }
    static void TearDownTestSuite() {
        if (app_) app_->Close();
        app_.reset();
        logPixels_.reset();
    }
    const Notchlog& App() const { return *app_; }

    static std::optional<ScopedUserDword> logPixels_;
    static std::optional<Notchlog> app_;
};
std::optional<ScopedUserDword> WindowLayoutAt144Dpi::logPixels_;
std::optional<Notchlog> WindowLayoutAt144Dpi::app_;

TEST_F(WindowLayoutAt144Dpi, ClientAreaIs1094By615) {
    const SIZE s = ClientSize(App().Main());
    EXPECT_EQ(s.cx, 1094);
    EXPECT_EQ(s.cy, 615);
}

TEST_F(WindowLayoutAt144Dpi, ControlsScaleByOneAndAHalf) { ExpectControls(App(), &ExpectedControl::at144); }

}  // namespace
}  // namespace nle2e
