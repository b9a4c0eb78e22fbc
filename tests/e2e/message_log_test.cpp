// The message log as seen from outside: what a message sent or posted to
// the main window turns into, which numbers never show, the order of
// nested messages, and the selection and scrolling of the newest line.
#include <gtest/gtest.h>

#include <optional>

#include "driver/driver.h"
#include "support/shared_app.h"

namespace nle2e {
namespace {

// A message number no part of the system sends by itself; posted as a
// marker, its line shows that everything posted before it has been handled.
constexpr UINT kMarker = WM_APP + 0x3A5;

int SecondOfDay(int h, int m, int s) { return h * 3600 + m * 60 + s; }

int NowSecondOfDay() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return SecondOfDay(t.wHour, t.wMinute, t.wSecond);
}

// `t` lies in [from, to], on a clock that may have passed midnight.
bool WithinClock(int t, int from, int to) { return from <= to ? (from <= t && t <= to) : (t >= from || t <= to); }

bool IsMarker(const std::wstring& line, int n) {
    const auto l = ParseLogLine(line);
    return l && l->uMsg == kMarker && l->wLo == n;
}

class MessageLog : public SharedNotchlogSuite<MessageLog> {
protected:
    // Posts a marker numbered `n` and waits until it is logged; returns the
    // log up to and including the marker's line.
    std::vector<std::wstring> PostMarkerAndWait(int n) {
        Post(Main(), kMarker, static_cast<WPARAM>(n), 0);
        std::vector<std::wstring> lines = App().WaitForLogLine([&](const std::wstring& l) { return IsMarker(l, n); });
        while (!IsMarker(lines.back(), n)) lines.pop_back();
        return lines;
    }

};

struct PostedCase {
    UINT msg;
    UINT_PTR wParam;
    LONG_PTR lParam;
    const wchar_t* expected;  // the line after "\tuMsg="
};

TEST_F(MessageLog, PostedMessagesAreLoggedInOrderInTheFixedLayout) {
    const UINT registered = ::RegisterWindowMessageW(L"Notchlog.E2E.RegisteredProbe");
    ASSERT_GE(registered, 0xC000u);
    wchar_t registeredField[64];
    std::swprintf(registeredField, 64, L"%X wHi=32767 wLo=-32768 lHi=0 lLo=-32768", registered);

    const PostedCase cases[] = {
        {WM_NULL, 0, 0, L"   0 wHi=0 wLo=0 lHi=0 lLo=0"},
        {WM_CANCELMODE, 0x00010002, 0x00030004, L"  1F wHi=1 wLo=2 lHi=3 lLo=4"},
        {0x0136 /* WM_CTLCOLORDLG */, 0, 0, L" 136 wHi=0 wLo=0 lHi=0 lLo=0"},
        {WM_LBUTTONDOWN, MK_LBUTTON, static_cast<LONG_PTR>(0xFFF9FFFBu), L" 201 wHi=0 wLo=1 lHi=-7 lLo=-5"},
        {WM_USER + 0x23, 0x80007FFFu, static_cast<LONG_PTR>(0xFFFFFFFFu), L" 423 wHi=-32768 wLo=32767 lHi=-1 lLo=-1"},
        {WM_APP, 0x0000FFFF, 0x12345678, L"8000 wHi=0 wLo=-1 lHi=4660 lLo=22136"},
        {registered, 0x7FFF8000, 0x00008000, registeredField},
        {0x12345, 1, 2, L"12345 wHi=0 wLo=1 lHi=0 lLo=2"},
        {0x7FFFFFFF, 0xFFFF0000u, 0x0000FFFF, L"7FFFFFFF wHi=-1 wLo=0 lHi=0 lLo=-1"},
    };

    // Start from an idle window, with the painting of start-up done.
    const std::size_t before = App().Settle().size();
    const int from = NowSecondOfDay();
    for (const auto& c : cases) Post(Main(), c.msg, c.wParam, c.lParam);
    const std::vector<std::wstring> lines = PostMarkerAndWait(1);
    const int to = NowSecondOfDay();

    // Nothing else happens to an idle window: the posted messages, in
    // order, and the marker are all that was added.
    ASSERT_EQ(lines.size(), before + std::size(cases) + 1);
    const std::wstring prefix = L"  hWnd=" + HandleHex(Main()) + L"\tuMsg=";
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::wstring& line = lines[before + i];
        SCOPED_TRACE(Narrow(line));
        ASSERT_GT(line.size(), 8u);
        EXPECT_EQ(line.substr(8), prefix + cases[i].expected);
        const auto parsed = ParseLogLine(line);
        ASSERT_TRUE(parsed) << "not in the log layout";
        EXPECT_TRUE(WithinClock(SecondOfDay(parsed->hour, parsed->minute, parsed->second), from, to))
            << "the time stamp is not the local time at which the message was handled";
    }
}

TEST_F(MessageLog, SixFrequentNumbersAreNeverLogged) {
    struct Case {
        UINT msg;
        bool logged;
    } cases[] = {
        {0x0020, false},  // WM_SETCURSOR
        {0x0021, true},
        {0x0084, false},  // WM_NCHITTEST
        {0x0085, true},
        {0x0133, true},
        {0x0134, false},  // WM_CTLCOLORLISTBOX
        {0x0135, false},  // WM_CTLCOLORBTN
        {0x0136, true},
        {0x0137, false},  // WM_CTLCOLORSCROLLBAR
        {0x0138, true},
        {0x0200, false},  // WM_MOUSEMOVE
        {0x0201, true},
        {0x10020, true},  // only the full number counts
        {0x10200, true},
    };
    const std::size_t before = PostMarkerAndWait(2).size();
    for (const auto& c : cases) Post(Main(), c.msg, 0, 0);
    const std::vector<std::wstring> lines = PostMarkerAndWait(3);

    std::vector<std::uint32_t> want, posted, filtered;
    for (const auto& c : cases) {
        posted.push_back(c.msg);
        (c.logged ? want : filtered).push_back(c.msg);
    }
    // The default handling of some of them sends the window further
    // messages (WM_NCPAINT asks for the caption), which are logged as well:
    // only the posted numbers are compared.
    EXPECT_EQ(LoggedAmong(lines, before, posted), want);

    // Painting the controls sends the colour messages to the window all the
    // time; none of the six shows anywhere in the log.
    EXPECT_EQ(LoggedAmong(lines, 0, filtered), std::vector<std::uint32_t>{});
}

TEST_F(MessageLog, NewestLineIsSelectedAndScrolledIntoView) {
    // More lines than the list shows, so that it has to scroll.
    for (int i = 0; i < 40; ++i) Post(Main(), WM_USER + 0x100, static_cast<WPARAM>(i), 0);
    const std::size_t count = PostMarkerAndWait(4).size();
    const ListState s = ReadList(App().Log());
    ASSERT_EQ(s.lines.size(), count);
    ASSERT_GT(s.visibleRows, 0);
    ASSERT_GT(static_cast<int>(count), s.visibleRows);
    const int last = static_cast<int>(count) - 1;
    EXPECT_EQ(s.selected, last);
    EXPECT_LE(s.top, last);
    EXPECT_LT(last, s.top + s.visibleRows) << "the newest line is below the visible rows";
    // As far as the list scrolls: the newest line at the bottom of the full list.
    EXPECT_EQ(s.top, static_cast<int>(count) - s.visibleRows);
}

TEST_F(MessageLog, MessageSentDuringAnotherStandsAboveIt) {
    // Moving and sizing the window from here makes its thread send
    // WM_WINDOWPOSCHANGED, whose default handling sends WM_MOVE and WM_SIZE
    // while WM_WINDOWPOSCHANGED is still being handled.
    const std::size_t before = PostMarkerAndWait(5).size();
    RECT r{};
    ASSERT_TRUE(::GetWindowRect(Main(), &r));
    const int width = r.right - r.left + 37, height = r.bottom - r.top + 23;
    ASSERT_TRUE(::SetWindowPos(Main(), nullptr, r.left + 11, r.top + 13, width, height, SWP_NOZORDER | SWP_NOACTIVATE));
    const std::vector<std::wstring> lines = PostMarkerAndWait(6);
    const SIZE client = ClientSize(Main());

    std::optional<std::size_t> changing, size, move, changed;
    for (std::size_t i = before; i < lines.size(); ++i) {
        const auto l = ParseLogLine(lines[i]);
        ASSERT_TRUE(l) << Narrow(lines[i]);
        if (l->uMsg == WM_WINDOWPOSCHANGING && !changing) changing = i;
        if (l->uMsg == WM_SIZE && !size) {
            size = i;
            EXPECT_EQ(l->lLo, client.cx);
            EXPECT_EQ(l->lHi, client.cy);
        }
        if (l->uMsg == WM_MOVE && !move) move = i;
        if (l->uMsg == WM_WINDOWPOSCHANGED && !changed) changed = i;
    }
    ASSERT_TRUE(changing && size && move && changed);
    EXPECT_LT(*changing, *changed);
    EXPECT_LT(*size, *changed) << "WM_SIZE arrived inside WM_WINDOWPOSCHANGED and belongs above it";
    EXPECT_LT(*move, *changed) << "WM_MOVE arrived inside WM_WINDOWPOSCHANGED and belongs above it";
}

}  // namespace
}  // namespace nle2e
