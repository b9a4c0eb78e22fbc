// The message log from outside: what a message sent or posted to the main
// window turns into, the order of nested messages, what the window's own
// procedure gets and answers, and a long mixed burst.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <regex>
#include <set>

#include "driver/driver.h"

namespace nle2e {
namespace {

std::wstring Head(HWND main) { return Format(L"  hWnd=%lX\tuMsg=", Handle32(main)); }

std::wstring Now() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return Format(L"%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
}

// The message numbers of lines[from...] that are among `only`, in log order.
std::vector<UINT> LoggedAmong(const std::vector<std::wstring>& lines, std::size_t from, const std::set<UINT>& only) {
    std::vector<UINT> found;
    for (std::size_t i = from; i < lines.size(); ++i)
        if (only.count(LoggedMsg(lines[i]))) found.push_back(LoggedMsg(lines[i]));
    return found;
}

TEST(MessageLog, PostedMessagesGetOneLineEachInOrderStampedWithTheLocalTime) {
    Notchlog app;
    const UINT registered = ::RegisterWindowMessageW(L"Notchlog.E2E.Registered");
    const struct { UINT msg; WPARAM wParam; LPARAM lParam; std::wstring rest; } cases[] = {
        {WM_NULL, 0, 0, L"   0 wHi=0 wLo=0 lHi=0 lLo=0"},
        {WM_CANCELMODE, 0x00010002, 0x00030004, L"  1F wHi=1 wLo=2 lHi=3 lLo=4"},
        {0x0138, 0, 0, L" 138 wHi=0 wLo=0 lHi=0 lLo=0"},  // beside three numbers never logged
        {WM_LBUTTONDOWN, MK_LBUTTON, static_cast<LPARAM>(0xFFF9FFFB), L" 201 wHi=0 wLo=1 lHi=-7 lLo=-5"},
        {WM_USER + 0x23, 0x80007FFF, -1, L" 423 wHi=-32768 wLo=32767 lHi=-1 lLo=-1"},
        {WM_APP, 0xFFFF, 0x12345678, L"8000 wHi=0 wLo=-1 lHi=4660 lLo=22136"},
        {registered, 0x7FFF8000, 0x8000, Format(L"%X wHi=32767 wLo=-32768 lHi=0 lLo=-32768", registered)},
        {0x12345, 1, 2, L"12345 wHi=0 wLo=1 lHi=0 lLo=2"},
        {0x7FFFFFFF, 0xFFFF0000, 0xFFFF, L"7FFFFFFF wHi=-1 wLo=0 lHi=0 lLo=-1"},
    };
    const std::size_t before = app.Settle().size();
    const std::wstring from = Now();
    for (const auto& c : cases) Post(app.Main(), c.msg, c.wParam, c.lParam);
    // Nothing else happens to an idle window: the posted lines, then the marker's.
    ASSERT_EQ(app.Mark(), before + std::size(cases) + 1);
    const std::wstring to = Now();
    const auto lines = app.Log(before);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(lines[i].substr(8), Head(app.Main()) + cases[i].rest);
        const std::wstring stamp = lines[i].substr(0, 8);
        EXPECT_TRUE(std::regex_match(stamp, std::wregex(L"\\d\\d:\\d\\d:\\d\\d")) &&
                    (from <= to ? from <= stamp && stamp <= to : from <= stamp || stamp <= to))  // past midnight
            << Narrow(lines[i]) << " is not stamped between " << Narrow(from) << " and " << Narrow(to);
    }
}

TEST(MessageLog, MessagesArrivingDuringAnotherStandAboveIt) {
    // Moving and sizing the window makes its default handling of
    // WM_WINDOWPOSCHANGED send WM_MOVE and WM_SIZE.
    Notchlog app;
    const std::size_t before = app.Mark();
    RECT r{};
    ::GetWindowRect(app.Main(), &r);
    ASSERT_TRUE(::SetWindowPos(app.Main(), nullptr, r.left + 11, r.top + 13, r.right - r.left + 37, r.bottom - r.top + 23,
                               SWP_NOZORDER | SWP_NOACTIVATE));
    app.Mark();
    const auto order = LoggedAmong(app.Log(), before, {WM_MOVE, WM_SIZE, WM_WINDOWPOSCHANGED});
    EXPECT_EQ(std::set<UINT>(order.begin(), order.end()), (std::set<UINT>{WM_MOVE, WM_SIZE, WM_WINDOWPOSCHANGED}));
    EXPECT_EQ(order.back(), static_cast<UINT>(WM_WINDOWPOSCHANGED));
}

TEST(MessageLog, ForwardedMessagesGetTheirResultsBackButWheelMessagesAreAnsweredZeroAndNeverForwarded) {
    Notchlog app;
    const HWND main = app.Main();
    const std::size_t before = app.Mark();
    EXPECT_EQ(Send(main, WM_GETTEXTLENGTH), 19);
    wchar_t caption[64] = {};
    EXPECT_EQ(Send(main, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(caption)), 19);
    EXPECT_STREQ(caption, L"Notchlog - 20080523");
    const POINT inLog = CentreOf(app.Control(kMessageLog));  // not logged, answered all the same
    EXPECT_EQ(Send(main, WM_NCHITTEST, 0, MAKELPARAM(inLog.x, inLog.y)), HTCLIENT);

    // The default handling of a child's WM_MOUSEWHEEL and WM_APPCOMMAND
    // passes them to the parent: made a child of a window here, Notchlog's
    // main window shows which messages reached its own procedure.
    TestWindow parent(L"NotchlogTestParent", L"", {0, 0, 100, 100}, false);
    HWND plain = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, parent.Get(), nullptr, nullptr, nullptr);
    ::SendMessageW(plain, WM_MOUSEWHEEL, 120 << 16, 0);
    ::DestroyWindow(plain);
    ASSERT_EQ(parent.Received(WM_MOUSEWHEEL), 1) << "the platform does not pass a child's wheel message up";
    ::SetWindowLongPtrW(main, GWL_STYLE, (::GetWindowLongPtrW(main, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
    ASSERT_TRUE(::SetParent(main, parent.Get()) && ::GetParent(main) == parent.Get());
    Send(main, WM_APPCOMMAND, reinterpret_cast<WPARAM>(main), 0);
    EXPECT_EQ(parent.Received(WM_APPCOMMAND), 1) << "a forwarded message did not reach the window's own procedure";
    for (WPARAM wParam : {120u << 16, 0xFF880000u, 0u}) EXPECT_EQ(Send(main, WM_MOUSEWHEEL, wParam, 0), 0);
    EXPECT_EQ(parent.Received(WM_MOUSEWHEEL), 1) << "WM_MOUSEWHEEL reached the window's own procedure";
    EXPECT_EQ(LoggedAmong(app.Log(), before, {WM_GETTEXTLENGTH, WM_GETTEXT, WM_NCHITTEST, WM_APPCOMMAND, WM_MOUSEWHEEL}),
              (std::vector<UINT>{WM_GETTEXTLENGTH, WM_GETTEXT, WM_APPCOMMAND, WM_MOUSEWHEEL, WM_MOUSEWHEEL, WM_MOUSEWHEEL}));
    EXPECT_EQ(app.Close(), 0u);
}

// A seeded burst (NOTCHLOG_SEED repeats one) of sent and posted messages, about 1,250:
// wheel messages with any delta, key state and position, registered,
// application and very large numbers, the six numbers never logged and
// some of their neighbours. Each posted batch is handled to its end before
// the next goes out: the log must hold the logged ones exactly, in order,
// each once, and no line of a never-logged number.
TEST(MessageLog, MixedBurstIsLoggedExactlyOnceInOrderAndTheNewestLineShows) {
    const char* seedText = std::getenv("NOTCHLOG_SEED");
    const unsigned seed = seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 0)) : std::random_device{}();
    std::printf("burst seed %u\n", seed);
    std::mt19937 random(seed);
    auto pick = [&](std::uint32_t low, std::uint32_t high) { return std::uniform_int_distribution<std::uint32_t>(low, high)(random); };
    const UINT registered[] = {::RegisterWindowMessageW(L"Notchlog.E2E.Burst.1"), ::RegisterWindowMessageW(L"Notchlog.E2E.Burst.2")};
    // Wine sends no control-colour message to another process: those are only posted.
    const UINT filtered[] = {0x0020, 0x0084, 0x0200, 0x0134, 0x0135, 0x0137};
    const UINT neighbours[] = {0x0021, 0x0201, 0x10020, 0x10200, 0x0132, 0x0136};

    Notchlog app;
    const std::size_t from = app.LogCount();
    std::set<UINT> numbers;
    std::vector<std::wstring> want;
    const char* batches = std::getenv("NOTCHLOG_BURST_BATCHES");  // make bench asks for a bigger burst
    for (int batch = 0, end = batches ? std::atoi(batches) : 80; batch < end; ++batch) {
        const bool posted = pick(0, 1);
        for (std::uint32_t i = 0, n = pick(1, 30); i < n; ++i) {
            const std::uint32_t wParam = pick(0, ~0u), lParam = pick(0, ~0u);
            const UINT kinds[] = {WM_MOUSEWHEEL, WM_MOUSEWHEEL, WM_MOUSEHWHEEL, registered[pick(0, 1)], pick(WM_APP, 0xBFFF),
                                  pick(0x10000, 0x7FFFFFFF), filtered[pick(0, posted ? 5 : 2)], neighbours[pick(0, posted ? 5 : 3)]};
            UINT msg = kinds[pick(0, std::size(kinds) - 1)];
            if (msg == Notchlog::kMarker) msg = WM_APP;
            posted ? Post(app.Main(), msg, wParam, lParam) : void(Send(app.Main(), msg, wParam, lParam));
            if (std::count(std::begin(filtered), std::end(filtered), msg)) continue;
            numbers.insert(msg);
            want.push_back(Head(app.Main()) + Format(L"%4X wHi=%d wLo=%d lHi=%d lLo=%d", msg, short(wParam >> 16),
                                                     short(wParam), short(lParam >> 16), short(lParam)));
        }
        if (posted) app.Mark();
    }
    std::vector<std::wstring> got;
    for (const auto& line : app.Log(from)) {
        ASSERT_EQ(std::count(std::begin(filtered), std::end(filtered), LoggedMsg(line)), 0) << Narrow(line);
        if (numbers.count(LoggedMsg(line))) got.push_back(line.substr(8));
    }
    for (std::size_t i = 0; i < std::max(got.size(), want.size()); ++i)
        ASSERT_EQ(i < got.size() ? got[i] : L"(no line)", i < want.size() ? want[i] : L"(no message)")
            << "message " << i + 1 << " of " << want.size();

    // Once the input stops, the newest line is selected and in view.
    const HWND log = app.Control(kMessageLog);
    const LRESULT last = Send(log, LB_GETCOUNT) - 1, top = Send(log, LB_GETTOPINDEX);
    RECT client{};
    ::GetClientRect(log, &client);
    EXPECT_EQ(Send(log, LB_GETCURSEL), last);
    EXPECT_TRUE(top <= last && last < top + client.bottom / Send(log, LB_GETITEMHEIGHT)) << "the newest line is out of view";
}

}  // namespace
}  // namespace nle2e
