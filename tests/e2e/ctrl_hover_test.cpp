// Holding Ctrl describes the window under the cursor, whichever control has
// the focus and whatever program the window belongs to.
#include <gtest/gtest.h>

#include <optional>

#include "driver/driver.h"
#include "support/shared_app.h"
#include "support/actors.h"

namespace nle2e {
namespace {

class CtrlInspector : public SharedNotchlogSuite<CtrlInspector> {
protected:
    // What Copy under the hover panel puts on the clipboard. The click
    // leaves the focus on that button.
    std::wstring CopiedHoverText() const { return App().CopiedBy(kCommand4); }

    // Presses Ctrl with the cursor at `at` and waits until the panel's text
    // names that position.
    std::vector<std::wstring> InspectAt(POINT at, bool release = true) const {
        MoveCursor(at);
        KeyDown(VK_CONTROL);
        if (release) KeyUp(VK_CONTROL);
        const std::wstring where = L"Mouse.X/Y = " + std::to_wstring(at.x) + L"/" + std::to_wstring(at.y);
        std::vector<std::wstring> lines;
        WaitUntil([&] {
            lines = SplitOn(CopiedHoverText(), L"\r\n");
            return lines.size() >= 2 && lines[1] == where;
        });
        return lines;
    }

    void ExpectDescribes(const std::vector<std::wstring>& lines, POINT at, HWND w, const std::wstring& title) const {
        ASSERT_EQ(lines.size(), 6u + static_cast<std::size_t>(std::count(title.begin(), title.end(), L'\n')));
        EXPECT_TRUE(IsTimeStamp(lines[0])) << Narrow(lines[0]);
        EXPECT_EQ(lines[1], L"Mouse.X/Y = " + std::to_wstring(at.x) + L"/" + std::to_wstring(at.y));
        EXPECT_EQ(lines[2], L"hWnd = " + HandleDecimal(w));
        EXPECT_EQ(lines[3], L"Class = " + ClassNameOf(w));
        EXPECT_EQ(lines[4], L"Rect = " + RectTextOf(w));
        std::wstring rest;
        for (std::size_t i = 5; i < lines.size(); ++i) rest += (i > 5 ? L"\r\n" : L"") + lines[i];
        EXPECT_EQ(rest, L"Text = " + title);
    }
};

TEST_F(CtrlInspector, BeforeTheFirstCtrlTheCopyIsEmpty) {
    EXPECT_EQ(CopiedHoverText(), L"");
}

TEST_F(CtrlInspector, WorksWhicheverControlHasTheFocus) {
    HWND panel = App().Control(kPicHover);
    const struct {
        int id;
        const char* what;
    } focusOn[] = {{kLstMessage, "list box"}, {kCommand2, "button"}, {kPicture1, "picture box"}, {kList1, "list"}};
    int round = 0;
    for (const auto& f : focusOn) {
        SCOPED_TRACE(f.what);
        BringToFront(App().Main());
        HWND target = App().Control(f.id);
        ClickAt(CentreOf(target));
        ASSERT_TRUE(WaitUntil([&] { return FocusOfThreadOwning(App().Main()) == target; }));
        // A different point each round, so each inspection is new.
        POINT at = CentreOf(panel);
        at.x += 10 * ++round;
        MoveCursor(at);
        KeyDown(VK_CONTROL);
        KeyUp(VK_CONTROL);
        const std::wstring where = L"Mouse.X/Y = " + std::to_wstring(at.x) + L"/" + std::to_wstring(at.y);
        std::vector<std::wstring> lines;
        ASSERT_TRUE(WaitUntil([&] {
            lines = SplitOn(CopiedHoverText(), L"\r\n");
            return lines.size() >= 2 && lines[1] == where;
        })) << "no inspection with the focus on the " << f.what;
        ExpectDescribes(lines, at, panel, L"");
    }
}

TEST_F(CtrlInspector, OtherKeysChangeNothing) {
    BringToFront(App().Main());
    const POINT at = CentreOf(App().Control(kPicture1));
    const auto before = InspectAt(at);
    const std::wstring text = CopiedHoverText();
    MoveCursor(CentreOf(App().Control(kPicHover)));
    // Alt on its own opens the window's system menu (a window without a menu
    // bar does that); Escape, one more key that must change nothing, closes
    // it again so later keys reach the window.
    for (WORD vk : {static_cast<WORD>(VK_SHIFT), static_cast<WORD>('A'), static_cast<WORD>(VK_MENU),
                    static_cast<WORD>(VK_ESCAPE)}) {
        BringToFront(App().Main());
        KeyDown(vk);
        KeyUp(vk);
    }
    // A message sent after the keys is handled after them.
    Send(App().Main(), WM_NULL);
    EXPECT_EQ(CopiedHoverText(), text);
    EXPECT_EQ(SplitOn(text, L"\r\n")[1], before[1]);
}

TEST_F(CtrlInspector, FollowsTheCursorWhileCtrlIsHeld) {
    BringToFront(App().Main());
    HWND picture = App().Control(kPicture1);
    HWND button = App().Control(kCommand1);
    ExpectDescribes(InspectAt(CentreOf(picture), false), CentreOf(picture), picture, L"");
    // Ctrl stays down; the keyboard repeats the key-down (sent again here,
    // as this display does not repeat Ctrl by itself).
    const auto moved = InspectAt(CentreOf(button), false);
    KeyUp(VK_CONTROL);
    ExpectDescribes(moved, CentreOf(button), button, L"Clear");
}

TEST_F(CtrlInspector, DescribesOtherProgramsWindowsWithAwkwardTitles) {
    const std::wstring longTitle = [] {
        std::wstring t;
        for (int i = 0; t.size() < 300; ++i) t += L"segment " + std::to_wstring(i) + L" ";
        return t;
    }();
    const struct {
        const char* what;
        std::wstring title;
    } cases[] = {
        {"long title", longTitle},
        {"title with CR LF", L"first line\r\nsecond line"},
        {"high ANSI characters", L"Gr\u00FC\u00DFe, caf\u00E9 \u2013 na\u00EFve \u00C6\u00D8\u00C5 \u00BD"},
        {"no title", L""},
    };
    const RECT where{900, 600, 1200, 800};
    int round = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProbeWindow probe(where, c.title);
        BringToFront(App().Main());
        const POINT at{1000 + 7 * ++round, 700};  // a new point each time, so each inspection is new
        const auto lines = InspectAt(at);
        // The platform cuts a title at 259 characters of the ANSI code page.
        ExpectDescribes(lines, at, probe.Handle(), ThroughAnsi(c.title, 259));
    }
}

TEST_F(CtrlInspector, OverEmptyDesktopNamesTheDesktop) {
    BringToFront(App().Main());
    const POINT at{1270, 1015};
    HWND desktop = ::WindowFromPoint(at);
    ASSERT_NE(desktop, nullptr);
    const auto lines = InspectAt(at);
    ExpectDescribes(lines, at, desktop, TextOf(desktop));
}

}  // namespace
}  // namespace nle2e
