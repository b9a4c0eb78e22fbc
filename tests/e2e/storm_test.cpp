// A long, seeded-random storm of messages sent and posted to the main
// window: wheel messages with every kind of parameter, horizontal wheel
// messages, private, application, registered and very large message
// numbers, WM_CTLCOLORDLG and the six numbers that are never logged.
// Afterwards the program still answers, the log holds exactly one line per
// logged message in the order they were handled and with the values that
// were sent, the scroll bar stands where the notches put it, and the
// program's memory grew no more than its log needs.
//
// NOTCHLOG_STORM_SEED repeats a run (the seed is printed); NOTCHLOG_STORM_SIZE
// asks for a bigger (or smaller) storm than the default.
//
// Message numbers of 0x80000000 and above are not part of the storm: Wine
// keeps that range for its own window management and never hands such a
// message to the window procedure; 0x80000000 destroys the receiving window
// and 0x80000001 makes the receiving process fault. Everything from 0x10000
// to 0x7FFFFFFF is delivered in full, sent or posted. The control-colour
// messages (0x136 and three of the filtered numbers) are only posted: Wine
// does not send them to another process.
#include <gtest/gtest.h>
#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <optional>
#include <random>
#include <set>

#include "driver/driver.h"
#include "support/shared_app.h"
#include "support/actors.h"

namespace nle2e {
namespace {

// A message costs the program about 6 ms under Wine on the test machine (a
// sent one more than a posted one, as the log is painted after each), so
// the default storm runs in about half a minute there.
constexpr std::size_t kDefaultStormSize = 4000;
constexpr std::size_t kLargestBatch = 48;

constexpr UINT kFiltered[] = {0x0020, 0x0084, 0x0134, 0x0135, 0x0137, 0x0200};
constexpr UINT kCtlColorDlg = 0x0136;

// Wine refuses to send the control-colour messages (0x132..0x138, with a
// device context in wParam) to another process: SendMessage returns 0 and
// the window never sees them. Posted, they arrive.
bool IsControlColour(UINT msg) { return msg >= 0x0132 && msg <= 0x0138; }

bool IsFiltered(UINT msg) { return std::find(std::begin(kFiltered), std::end(kFiltered), msg) != std::end(kFiltered); }

std::optional<std::uint64_t> EnvironmentNumber(const wchar_t* name) {
    wchar_t buf[64] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, buf, 64);
    if (n == 0 || n >= 64) return std::nullopt;
    wchar_t* end = nullptr;
    const unsigned long long v = std::wcstoull(buf, &end, 0);
    if (end == buf || *end != L'\0') throw DriverError(Narrow(name) + " is not a number: " + Narrow(buf));
    return v;
}

std::uint32_t ChooseSeed() {
    if (const auto s = EnvironmentNumber(L"NOTCHLOG_STORM_SEED")) return static_cast<std::uint32_t>(*s);
    std::random_device device;
    return device() ^ static_cast<std::uint32_t>(::GetTickCount());
}

std::size_t StormSize() {
    const auto s = EnvironmentNumber(L"NOTCHLOG_STORM_SIZE");
    return s && *s > 0 ? static_cast<std::size_t>(*s) : kDefaultStormSize;
}

std::uint32_t Words(std::uint16_t high, std::uint16_t low) { return (static_cast<std::uint32_t>(high) << 16) | low; }
int Signed(std::uint16_t w) { return static_cast<std::int16_t>(w); }

// The notches of a wheel delta: -delta / 120, halves to the even neighbour,
// worked out in whole numbers (delta -32768 gives +273).
int NotchesOf(int delta) {
    const int n = -delta;
    int q = n / 120;
    const int r = n % 120;
    const int twice = 2 * std::abs(r);
    if (twice > 120 || (twice == 120 && q % 2 != 0)) q += n < 0 ? -1 : 1;
    return q;
}

// The scroll bar's step per notch: the system's lines per notch, at most a
// page (10), a page for the page-per-notch setting.
int StepPerNotch() {
    UINT lines = 3;
    if (!::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) ThrowLastError("SPI_GETWHEELSCROLLLINES");
    if (lines == WHEEL_PAGESCROLL) return 10;
    return static_cast<int>(std::min<UINT>(lines, 10));
}

struct StormMessage {
    UINT msg = 0;
    std::uint32_t wParam = 0, lParam = 0;
};

struct Batch {
    bool posted = false;  // else sent, one after the other
    std::vector<StormMessage> messages;
};

// Registered once per process; the numbers are the same in every program
// of the session, and no other name can be given them.
struct RegisteredNumbers {
    std::vector<UINT> storm;
    UINT batchEnd = 0;
};

const RegisteredNumbers& Registered() {
    static const RegisteredNumbers numbers = [] {
        RegisteredNumbers r;
        for (int i = 0; i < 6; ++i) {
            const std::wstring name = L"Notchlog.E2E.Storm." + std::to_wstring(i);
            const UINT n = ::RegisterWindowMessageW(name.c_str());
            if (n < 0xC000) ThrowLastError("RegisterWindowMessageW");
            r.storm.push_back(n);
        }
        r.batchEnd = ::RegisterWindowMessageW(L"Notchlog.E2E.Storm.BatchEnd");
        if (r.batchEnd < 0xC000) ThrowLastError("RegisterWindowMessageW");
        return r;
    }();
    return numbers;
}

// Builds the storm from a seed: the same seed gives the same storm. None of
// the logged numbers it uses ever reaches the window unless someone sends
// it: the system's own messages to a top-level window lie below WM_USER
// (0x136 is a dialog's, and no dialog sends it to this window), the
// registered numbers belong to this test's own names, the settle marker is
// left out, and no real wheel turns on the test display.
class StormMaker {
public:
    explicit StormMaker(std::uint32_t seed) : random_(seed) {}

    std::vector<Batch> Make(std::size_t size) {
        std::vector<Batch> batches;
        std::size_t made = 0;
        while (made < size) {
            Batch b;
            b.posted = Pick(2) == 0;
            const std::size_t n = std::min(size - made, 1 + Pick(kLargestBatch));
            for (std::size_t i = 0; i < n; ++i) b.messages.push_back(Message(b.posted));
            made += n;
            batches.push_back(std::move(b));
        }
        return batches;
    }

private:
    std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
    std::uint32_t Between(std::uint32_t low, std::uint32_t high) {
        return std::uniform_int_distribution<std::uint32_t>(low, high)(random_);
    }
    std::uint16_t AnyWord() { return static_cast<std::uint16_t>(Between(0, 0xFFFF)); }

    // A 16-bit word, often one at the edges of the signed and unsigned range.
    std::uint16_t Word() {
        static const std::uint16_t edges[] = {0x0000, 0x0001, 0x7FFE, 0x7FFF, 0x8000, 0x8001, 0xFFFE, 0xFFFF, 0x0078, 0xFF88};
        return Pick(4) == 0 ? edges[Pick(std::size(edges))] : AnyWord();
    }
    std::uint32_t Long() { return Words(Word(), Word()); }

    std::uint16_t WheelDelta() {
        static const int edges[] = {-32768, -32767, 32767, 0, 1, -1, 60, -60, 90, -90, 180, -180, 300, -300, 32760, -32760};
        switch (Pick(3)) {
            case 0: return static_cast<std::uint16_t>(120 * (static_cast<int>(Pick(547)) - 273));  // whole notches
            case 1: return static_cast<std::uint16_t>(edges[Pick(std::size(edges))]);
            default: return AnyWord();
        }
    }
    std::uint16_t KeyState() {
        // Combinations of the button, Shift and Ctrl flags, or any word.
        return Pick(2) == 0 ? static_cast<std::uint16_t>(Pick(0x80)) : AnyWord();
    }
    std::uint16_t Coordinate(bool vertical) {
        switch (Pick(3)) {
            case 0: return static_cast<std::uint16_t>(Pick(vertical ? 1024 : 1280));  // on the screen
            case 1: return static_cast<std::uint16_t>(-1 - static_cast<int>(Pick(2000)));  // left of or above it
            default: return Word();
        }
    }

    StormMessage Message(bool posted) {
        StormMessage m;
        do m = AnyMessage();
        while (!posted && IsControlColour(m.msg));
        return m;
    }

    StormMessage AnyMessage() {
        StormMessage m;
        const std::size_t kind = Pick(100);
        if (kind < 30) {
            m.msg = WM_MOUSEWHEEL;
            m.wParam = Words(WheelDelta(), KeyState());
            m.lParam = Words(Coordinate(true), Coordinate(false));
            return m;
        }
        if (kind < 40) {
            m.msg = WM_MOUSEHWHEEL;
            m.wParam = Words(WheelDelta(), KeyState());
            m.lParam = Words(Coordinate(true), Coordinate(false));
            return m;
        }
        m.wParam = Long();
        m.lParam = Long();
        if (kind < 52) {
            m.msg = Between(WM_USER, 0x7FFF);
        } else if (kind < 62) {
            do m.msg = Between(WM_APP, 0xBFFF);
            while (m.msg == Notchlog::kSettleMarker);
        } else if (kind < 70) {
            const auto& r = Registered().storm;
            m.msg = r[Pick(r.size())];
        } else if (kind < 82) {
            static const UINT edges[] = {0x10000, 0x10020, 0x10200, 0x1020A, 0x12345, 0xFFFFF, 0x7FFFFFFF};
            m.msg = Pick(3) == 0 ? edges[Pick(std::size(edges))] : Between(0x10000, 0x7FFFFFFF);
        } else if (kind < 88) {
            m.msg = kCtlColorDlg;
        } else {
            m.msg = kFiltered[Pick(std::size(kFiltered))];
        }
        return m;
    }

    std::mt19937 random_;
};

// What one logged message looks like in the log, in the terms the log uses.
struct Expected {
    std::uint32_t msg;
    int wHi, wLo, lHi, lLo;
};

Expected ExpectedOf(UINT msg, std::uint32_t wParam, std::uint32_t lParam) {
    return Expected{msg, Signed(static_cast<std::uint16_t>(wParam >> 16)), Signed(static_cast<std::uint16_t>(wParam)),
                    Signed(static_cast<std::uint16_t>(lParam >> 16)), Signed(static_cast<std::uint16_t>(lParam))};
}

std::string Describe(const Expected& e) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "uMsg=%X wHi=%d wLo=%d lHi=%d lLo=%d", e.msg, e.wHi, e.wLo, e.lHi, e.lLo);
    return buf;
}

// The program's private (committed) bytes. Wine leaves PrivateUsage at 0
// for another process and reports the same quantity as PagefileUsage (its
// anonymous resident and swapped memory), which Windows fills with the
// commit charge as well.
SIZE_T PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        ThrowLastError("GetProcessMemoryInfo");
    const SIZE_T bytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    if (bytes == 0) throw DriverError("the system reports no private bytes for the program");
    return bytes;
}

class MessageStorm : public SharedNotchlogSuite<MessageStorm> {
protected:
    int ScrollValue() const { return static_cast<int>(Send(App().Control(kVScroll1), SBM_GETPOS)); }

    // The whole log in one piece, as Copy beside it puts it on the clipboard.
    std::vector<std::wstring> CopiedLog() const {
        WriteClipboardText(L"(before)");
        Send(App().Control(kCommand2), BM_CLICK);
        const auto text = ReadClipboardText();
        if (!text) throw DriverError("Copy left no text on the clipboard");
        return SplitOn(*text, L"\r\n");
    }

    // Sends and posts the storm; a posted batch is followed by a marker and
    // handled completely before the next batch goes out, so that the
    // messages are handled in the order of the storm. Returns the lines the
    // log must show for them, markers included, in that order.
    std::vector<Expected> Unleash(const std::vector<Batch>& storm) const {
        std::vector<Expected> expected;
        const UINT batchEnd = Registered().batchEnd;
        static std::uint32_t serial = 0;
        for (const auto& b : storm) {
            const std::size_t before = b.posted ? static_cast<std::size_t>(ListCount(App().Log())) : 0;
            std::size_t logged = 0;
            for (const auto& m : b.messages) {
                if (b.posted)
                    Post(Main(), m.msg, m.wParam, static_cast<LPARAM>(m.lParam));
                else
                    Send(Main(), m.msg, m.wParam, static_cast<LPARAM>(m.lParam));
                if (!IsFiltered(m.msg)) {
                    expected.push_back(ExpectedOf(m.msg, m.wParam, m.lParam));
                    ++logged;
                }
            }
            if (b.posted) {
                const std::uint32_t n = ++serial;
                Post(Main(), batchEnd, n, 0);
                expected.push_back(ExpectedOf(batchEnd, n, 0));
                WaitForBatchEnd(n, before + logged);
            }
        }
        return expected;
    }

    // Waits until the marker numbered `n` is in the log, at index `earliest`
    // or later. Each line is read at most once.
    void WaitForBatchEnd(std::uint32_t n, std::size_t earliest) const {
        const UINT batchEnd = Registered().batchEnd;
        std::size_t next = earliest;
        const bool found = WaitUntil(
            [&] {
                const std::size_t count = static_cast<std::size_t>(ListCount(App().Log()));
                for (; next < count; ++next) {
                    const auto l = ParseLogLine(ListLine(App().Log(), static_cast<int>(next)));
                    if (l && l->uMsg == batchEnd &&
                        Words(static_cast<std::uint16_t>(l->wHi), static_cast<std::uint16_t>(l->wLo)) == n)
                        return true;
                }
                return false;
            },
            kDefaultDeadline, 5ms);
        if (!found) throw DriverError("a posted batch was never handled to its end");
    }

    // Checks every line of the log: each is in the log layout, its time
    // stamp does not go back (but across midnight), none is of a filtered
    // number, and the lines of the storm's numbers are exactly the expected
    // ones, in order, for the main window.
    void ExpectLogged(const std::vector<std::wstring>& log, const std::vector<Expected>& expected,
                      const std::set<UINT>& numbers) const {
        const std::wstring hWnd = HandleHex(Main());
        std::size_t at = 0, lineNo = 0;
        int lastSecond = -1;
        for (const auto& line : log) {
            ++lineNo;
            const auto l = ParseLogLine(line);
            ASSERT_TRUE(l) << "line " << lineNo << " is not in the log layout: " << Narrow(line);
            const int second = l->hour * 3600 + l->minute * 60 + l->second;
            const bool pastMidnight = lastSecond >= 23 * 3600 && second < 3600;
            ASSERT_TRUE(second >= lastSecond || pastMidnight)
                << "line " << lineNo << " is stamped earlier than the line above it: " << Narrow(line);
            lastSecond = second;
            ASSERT_FALSE(IsFiltered(l->uMsg)) << "line " << lineNo << " logs a filtered number: " << Narrow(line);
            if (!numbers.count(l->uMsg)) continue;
            const Expected got{l->uMsg, l->wHi, l->wLo, l->lHi, l->lLo};
            ASSERT_LT(at, expected.size()) << "line " << lineNo << " is one more than the storm sent: " << Narrow(line);
            const Expected& want = expected[at];
            if (got.msg != want.msg || got.wHi != want.wHi || got.wLo != want.wLo || got.lHi != want.lHi ||
                got.lLo != want.lLo)
                FAIL() << "message " << at + 1 << " of " << expected.size() << " (log line " << lineNo << "):\n  sent   "
                << Describe(want) << "\n  logged " << Narrow(line);
            ASSERT_EQ(l->hWnd, hWnd) << "line " << lineNo << ": " << Narrow(line);
            ++at;
        }
        ASSERT_EQ(at, expected.size()) << "the log ends after " << at << " of the " << expected.size()
                                       << " messages; the next missing one: " << Describe(expected[at]);
    }

    // The newest line is the selected one and stands in the visible part of
    // the list (read without fetching the lines). The program may still be
    // logging its own painting: the three values are taken together, while
    // the count stays the same.
    void ExpectNewestLineShown() const {
        const HWND log = App().Log();
        int count = 0, selected = LB_ERR, top = LB_ERR;
        ASSERT_TRUE(WaitUntil([&] {
            count = ListCount(log);
            selected = static_cast<int>(Send(log, LB_GETCURSEL));
            top = static_cast<int>(Send(log, LB_GETTOPINDEX));
            return ListCount(log) == count;
        }));
        const int itemHeight = static_cast<int>(Send(log, LB_GETITEMHEIGHT, 0));
        ASSERT_GT(itemHeight, 0);
        const int rows = ClientSize(log).cy / itemHeight;
        EXPECT_EQ(selected, count - 1) << "the newest line is not the selected one";
        EXPECT_LE(top, count - 1);
        EXPECT_LT(count - 1, top + rows) << "the newest line is out of view (top line " << top << " of " << count << ")";
    }

    // Runs one storm against the program and checks the log and the scroll
    // bar afterwards. Returns how much the log and the program's memory grew.
    struct Outcome {
        std::size_t linesAdded = 0;
        SIZE_T privateBefore = 0, privateAfter = 0;  // the program's private bytes
    };
    Outcome RunStorm(std::uint32_t seed, std::size_t size) const {
        const std::vector<Batch> storm = StormMaker(seed).Make(size);
        std::set<UINT> numbers = {Registered().batchEnd};
        std::size_t sent = 0, posted = 0;
        int scroll = ScrollValue();
        const int step = StepPerNotch();
        for (const auto& b : storm) {
            (b.posted ? posted : sent) += b.messages.size();
            for (const auto& m : b.messages) {
                if (!IsFiltered(m.msg)) numbers.insert(m.msg);
                if (m.msg == WM_MOUSEWHEEL)
                    scroll = std::clamp(scroll + NotchesOf(Signed(static_cast<std::uint16_t>(m.wParam >> 16))) * step,
                                        0, 1000);
            }
        }
        std::printf("storm: seed %u, %zu messages in %zu batches (%zu sent, %zu posted), %zu message numbers\n",
                    seed, size, storm.size(), sent, posted, numbers.size());

        Outcome o;
        const std::size_t before = static_cast<std::size_t>(ListCount(App().Log()));
        o.privateBefore = PrivateBytes(App().Process());
        const std::vector<Expected> expected = Unleash(storm);

        // Still alive and answering at once.
        EXPECT_TRUE(App().Running());
        EXPECT_FALSE(::IsHungAppWindow(Main()));
        DWORD_PTR answer = 0;
        EXPECT_NE(::SendMessageTimeoutW(Main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0)
            << "the window does not answer after the storm";

        // Every message of the storm has been handled by now (the last
        // batch was sent, or its marker is in the log); what is left is
        // painting. Settle() would read the whole log line by line.
        WaitUntil([&] { return !HasPendingPaint(Main()); });
        const std::size_t after = static_cast<std::size_t>(ListCount(App().Log()));
        o.linesAdded = after > before ? after - before : 0;
        // Before the copy, whose text the program keeps for the clipboard.
        o.privateAfter = PrivateBytes(App().Process());
        ExpectLogged(CopiedLog(), expected, numbers);
        EXPECT_EQ(ScrollValue(), scroll) << "the scroll bar does not stand where the notches put it";
        ExpectNewestLineShown();
        return o;
    }

    static std::uint32_t Seed() {
        static const std::uint32_t seed = ChooseSeed();
        return seed;
    }
};

TEST_F(MessageStorm, EveryMessageIsLoggedOnceInOrderWithWhatWasSent) {
    const std::uint32_t seed = Seed();
    const std::size_t size = StormSize();
    std::printf("storm seed %u (NOTCHLOG_STORM_SEED=%u repeats this run), size %zu (NOTCHLOG_STORM_SIZE)\n", seed,
                seed, size);
    RecordProperty("seed", std::to_string(seed));
    RecordProperty("size", std::to_string(size));

    App().Settle();
    const Outcome o = RunStorm(seed, size);
    if (HasFatalFailure()) return;
    const SIZE_T privateBefore = o.privateBefore, privateAfter = o.privateAfter;

    ASSERT_GT(o.linesAdded, 0u);
    const double grown = static_cast<double>(privateAfter) - static_cast<double>(privateBefore);
    const double perLine = grown / static_cast<double>(o.linesAdded);
    std::printf("private bytes %zu before, %zu after %zu new log lines: %.0f bytes per line\n",
                static_cast<std::size_t>(privateBefore), static_cast<std::size_t>(privateAfter), o.linesAdded,
                perLine);
    RecordProperty("private_bytes_before", std::to_string(privateBefore));
    RecordProperty("private_bytes_after", std::to_string(privateAfter));
    RecordProperty("log_lines_added", std::to_string(o.linesAdded));
    RecordProperty("bytes_per_line", std::to_string(static_cast<long long>(perLine)));
    // The log keeps every line, so memory grows with it; a leak on each
    // message would take far more than this.
    EXPECT_LT(grown, 4096.0 * static_cast<double>(o.linesAdded))
        << "memory grew by " << perLine << " bytes per log line";
}

TEST_F(MessageStorm, AfterClearTheLogKeepsUpWithASecondStorm) {
    Send(App().Control(kCommand1), BM_CLICK);
    const std::size_t afterClear = static_cast<std::size_t>(ListCount(App().Log()));
    EXPECT_LT(afterClear, 10u) << "Clear left the old lines in the log";
    // The seed after the first storm's: another storm, repeated with it.
    RunStorm(Seed() + 1, std::max<std::size_t>(StormSize() / 5, 1));
}

}  // namespace
}  // namespace nle2e
