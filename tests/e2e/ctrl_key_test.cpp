// Holding Ctrl describes the window under the cursor, whichever control has
// the focus and whatever program the window belongs to; the hover panel's
// Copy button gives the description.
#include <gtest/gtest.h>

#include <regex>

#include "driver/driver.h"

namespace nle2e {
namespace {

const RECT kWhere{900, 600, 1200, 800};
const wchar_t* const kWhereText = L"(900, 600)-(1200, 800) 300x200";

// Presses Ctrl (and lets go of it unless `hold`) with the cursor at `at`;
// returns the description, time stamp cut off, once it names that point.
std::wstring InspectAt(Notchlog& app, POINT at, bool hold = false) {
    MoveCursor(at);
    Key(VK_CONTROL);
    if (!hold) Key(VK_CONTROL, true);
    const std::wstring where = Format(L"\r\nMouse.X/Y = %ld/%ld\r\n", at.x, at.y);
    std::wstring text;
    if (!WaitUntil([&] { return (text = app.Copy(kCopyHoverInfoButton)).find(where) == 8; }))
        throw DriverError("no description of " + Narrow(where) + ", only: " + Narrow(text));
    EXPECT_TRUE(std::regex_match(text.substr(0, 8), std::wregex(L"\\d\\d:\\d\\d:\\d\\d"))) << Narrow(text);
    return text.substr(8);
}

std::wstring Described(POINT at, HWND w, const std::wstring& className, const std::wstring& rect, const std::wstring& title) {
    return Format(L"\r\nMouse.X/Y = %ld/%ld\r\nhWnd = %ld\r\nClass = %ls\r\nRect = %ls\r\nText = %ls", at.x, at.y,
                  Handle32(w), className.c_str(), rect.c_str(), title.c_str());
}

TEST(CtrlInspector, WorksWhicheverControlHasTheFocus) {
    Notchlog app;
    TestWindow window(L"NotchlogTestWindow", L"inspect me", kWhere);
    Foreground(app.Main());
    LONG x = 1000;
    // Tab walks the focus from the green area on: the sample list, the message log, the Clear button.
    for (int id : {kWheelHitArea, kSampleList, kMessageLog, kClearLogButton}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(WaitUntil([&] { return FocusIn(app.Main()) == app.Control(id); }));
        const POINT at{++x, 700};
        EXPECT_EQ(InspectAt(app, at), Described(at, window.Get(), L"NotchlogTestWindow", kWhereText, L"inspect me"));
        Key(VK_TAB);
        Key(VK_TAB, true);
    }
}

TEST(CtrlInspector, FollowsTheCursorWhileCtrlIsHeldAndOtherKeysChangeNothing) {
    Notchlog app;
    TestWindow left(L"NotchlogTestWindow", L"left", {900, 600, 1000, 700}), right(L"NotchlogTestWindow", L"right", {1000, 600, 1100, 700});
    Foreground(app.Main());
    const POINT first{950, 650}, second{1050, 650};
    EXPECT_EQ(InspectAt(app, first, true), Described(first, left.Get(), L"NotchlogTestWindow", L"(900, 600)-(1000, 700) 100x100", L"left"));
    // Still held: a second key-down, as the keyboard's repeat sends it (this display repeats no Ctrl).
    const std::wstring held = InspectAt(app, second, true);
    Key(VK_CONTROL, true);
    EXPECT_EQ(held, Described(second, right.Get(), L"NotchlogTestWindow", L"(1000, 600)-(1100, 700) 100x100", L"right"));

    MoveCursor(first);
    const HWND focus = FocusIn(app.Main());
    for (WORD vk : {WORD(VK_SHIFT), WORD('A'), WORD(VK_TAB)}) Key(vk), Key(vk, true);
    ASSERT_TRUE(WaitUntil([&] { return FocusIn(app.Main()) != focus; })) << "Tab, and the keys before it, never arrived";
    EXPECT_EQ(app.Copy(kCopyHoverInfoButton).substr(8), held);
}

TEST(CtrlInspector, DescribesOtherProgramsWindowsWithAwkwardClassesTitlesAndPlaces) {
    auto numbered = [](std::size_t n) {  // every character differs from its neighbours
        std::wstring t;
        while (t.size() < n) t += L"abcdefghijklmnopqrstuvwxyz0123456789"[t.size() % 36];
        return t;
    };
    const std::wstring highAnsi = L"\u20AC Gr\u00FC\u00DFe, caf\u00E9 \u00BD\u00FF";  // code page 1252's upper half
    const struct { std::wstring className, title; RECT r; std::wstring wantTitle; const wchar_t* wantRect; } cases[] = {
        {L"NotchlogTestWindow", L"", kWhere, L"", kWhereText},
        {L"NotchlogTestWindow", L"first line\r\nsecond line", kWhere, L"first line\r\nsecond line", kWhereText},
        {L"NotchlogTestWindow", highAnsi, kWhere, highAnsi, kWhereText},
        {L"NotchlogTestWindow", L"x\u4E2Dy\u0436z", kWhere, L"x?y?z", kWhereText},  // not in the code page
        {L"NotchlogTestWindow", numbered(300), kWhere, numbered(259), kWhereText},
        {numbered(255), L"the longest class name", kWhere, L"the longest class name", kWhereText},
        {L"NotchlogTestWindow", L"off screen", {-150, -90, 250, 160}, L"off screen", L"(-150, -90)-(250, 160) 400x250"},
    };
    Notchlog app;
    Foreground(app.Main());
    LONG n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.title));
        TestWindow window(c.className, c.title, c.r);
        const POINT at{std::max(c.r.left, 0L) + 10 + ++n, std::max(c.r.top, 0L) + 10};
        EXPECT_EQ(InspectAt(app, at), Described(at, window.Get(), c.className, c.wantRect, c.wantTitle));
    }
}

}  // namespace
}  // namespace nle2e
