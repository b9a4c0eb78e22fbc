// Ctrl over windows of another program whose class names and titles are as
// awkward as the system allows: the longest class names, titles around and
// far beyond the 259 characters the program reads, line breaks, TABs, the
// upper half of the ANSI code page and characters outside it, a title that
// keeps changing while it is read, and windows reaching past the edges of
// the screen. What the inspection prints, read back through the Copy button
// under the hover panel, must be what GetClassNameA and GetWindowTextA give
// for the window.
//
// Found out under Wine 8 here: the ANSI code page is 1252. RegisterClassW
// takes class names of up to 255 characters and refuses 256 or more with
// ERROR_INVALID_PARAMETER, so the 259-character cut of a class name cannot
// be reached with a single-byte code page. (CreateWindowExW with such a
// refused name of 280 or more characters corrupts Wine's heap; a refused
// name is never used for a window here.)
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <set>

#include "driver/driver.h"
#include "support/shared_app.h"
#include "support/actors.h"

namespace nle2e {
namespace {

// The program reads at most this many ANSI characters of a class name or
// title (a 260-character buffer with its terminating NUL).
constexpr std::size_t kAnsiLimit = 259;
// The longest class name RegisterClassW accepts.
constexpr std::size_t kLongestClassName = 255;

// A text of `n` characters in which every position can be told from its
// neighbours, so that a cut at the wrong place shows.
std::wstring Numbered(std::size_t n) {
    static const wchar_t kCycle[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    std::wstring t;
    for (std::size_t i = 0; i < n; ++i) t += kCycle[i % 36];
    return t;
}

std::wstring Repeated(const std::wstring& piece, std::size_t n) {
    std::wstring t;
    while (t.size() < n) t += piece;
    t.resize(n);
    return t;
}

// Every character of the ANSI code page from byte 0x80 to 0xFF.
std::wstring UpperHalfOfAnsi() {
    std::string bytes;
    for (int b = 0x80; b <= 0xFF; ++b) bytes += static_cast<char>(b);
    const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &w[0], n);
    return w;
}

std::wstring FromAnsi(const char* bytes, int n) {
    const int w = ::MultiByteToWideChar(CP_ACP, 0, bytes, n, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(w), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes, n, &text[0], w);
    return text;
}

// What GetClassNameA and GetWindowTextA with a 260-character buffer give
// for a window, back in UTF-16.
std::wstring AnsiClassNameOf(HWND w) {
    char buf[260] = {};
    const int n = ::GetClassNameA(w, buf, 260);
    return FromAnsi(buf, n > 0 ? n : 0);
}
std::wstring AnsiTitleOf(HWND w) {
    char buf[260] = {};
    const int n = ::GetWindowTextA(w, buf, 260);
    return FromAnsi(buf, n > 0 ? n : 0);
}

std::wstring PointText(POINT p) { return std::to_wstring(p.x) + L"/" + std::to_wstring(p.y); }

// A visible, topmost window of this process with a class of its own,
// created on a thread of its own that keeps handling its messages. On
// request the thread changes the window's title back and forth between two
// texts as fast as it can. The window, its class and the thread end with
// the object. When the class or the window cannot be made, Handle() is null
// and Error() tells why.
class ForeignWindow {
public:
    ForeignWindow(std::wstring className, const std::wstring& title, const RECT& r)
        : className_(std::move(className)) {
        thread_ = std::thread([this, title, r] { Run(title, r); });
        ::WaitForSingleObject(ready_.Get(), INFINITE);
        if (!hwnd_) thread_.join();
    }
    ForeignWindow(const ForeignWindow&) = delete;
    ForeignWindow& operator=(const ForeignWindow&) = delete;
    ~ForeignWindow() {
        stop_ = true;
        ::SetEvent(wake_.Get());
        if (thread_.joinable()) thread_.join();
    }

    HWND Handle() const { return hwnd_; }
    DWORD Error() const { return error_; }

    void StartFlipping(std::wstring a, std::wstring b) {
        flipA_ = std::move(a);
        flipB_ = std::move(b);
        flipping_ = true;
        ::SetEvent(wake_.Get());
    }
    // Stops the changes once the current one is done; returns how many
    // changes there were.
    std::uint64_t StopFlipping() {
        flipping_ = false;
        // Handled by the window's thread after its last change.
        ::SendMessageW(hwnd_, WM_NULL, 0, 0);
        return flips_;
    }

private:
    void Pump() {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
    }

    void Run(const std::wstring& title, const RECT& r) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = className_.c_str();
        if (!::RegisterClassW(&wc)) {
            error_ = ::GetLastError();
            ::SetEvent(ready_.Get());
            return;
        }
        // Shown without being activated: the keyboard stays with Notchlog.
        HWND w = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, className_.c_str(),
                                   title.c_str(), WS_POPUP | WS_BORDER, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
        if (!w) {
            error_ = ::GetLastError();
            ::UnregisterClassW(className_.c_str(), wc.hInstance);
            ::SetEvent(ready_.Get());
            return;
        }
        ::ShowWindow(w, SW_SHOWNOACTIVATE);
        hwnd_ = w;
        Pump();
        ::SetEvent(ready_.Get());

        const HANDLE wake = wake_.Get();
        bool toA = true;
        while (!stop_) {
            if (flipping_) {
                ::SetWindowTextW(w, (toA ? flipA_ : flipB_).c_str());
                toA = !toA;
                ++flips_;
                Pump();
            } else {
                ::MsgWaitForMultipleObjects(1, &wake, FALSE, INFINITE, QS_ALLINPUT);
                Pump();
            }
        }
        ::DestroyWindow(w);
        Pump();
        ::UnregisterClassW(className_.c_str(), wc.hInstance);
    }

    std::wstring className_;
    std::thread thread_;
    UniqueHandle ready_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle wake_{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    HWND hwnd_ = nullptr;
    DWORD error_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> flipping_{false};
    std::atomic<std::uint64_t> flips_{0};
    std::wstring flipA_, flipB_;  // written before flipping_ is set
};

const RECT kWhere{900, 600, 1200, 800};

class HostileWindows : public SharedNotchlogSuite<HostileWindows> {
protected:
    std::wstring CopiedHoverText() const { return App().CopiedBy(kCommand4); }

    // A point inside `r`, a different one each call, so that every
    // inspection can be told from the one before.
    POINT NextPointIn(const RECT& r) const {
        static int n = 0;
        ++n;
        const int x = std::max<LONG>(r.left, 0) + 10 + n % 40;
        const int y = std::max<LONG>(r.top, 0) + 10 + (n / 40) % 20;
        return POINT{x, y};
    }

    // Presses and releases Ctrl with the cursor at `at` and returns the text
    // the Copy button under the hover panel gives once the inspection is done.
    std::wstring InspectAt(POINT at) const {
        BringToFront(App().Main());
        if (::GetForegroundWindow() != App().Main()) throw DriverError("Notchlog did not come to the front");
        MoveCursor(at);
        KeyDown(VK_CONTROL);
        KeyUp(VK_CONTROL);
        const std::wstring where = L"Mouse.X/Y = " + PointText(at);
        std::wstring text;
        const bool done = WaitUntil([&] {
            text = CopiedHoverText();
            const auto lines = SplitOn(text, L"\r\n");
            return lines.size() >= 2 && lines[1] == where;
        });
        if (!done) throw DriverError("no inspection at " + Narrow(PointText(at)));
        return text;
    }

    // The whole inspection text but its time stamp, which must open it.
    static std::wstring AfterTimeStamp(const std::wstring& text) {
        if (text.size() < 8 || !IsTimeStamp(text.substr(0, 8))) return L"(no time stamp) " + text;
        return text.substr(8);
    }

    static std::wstring Expected(POINT at, HWND w, const std::wstring& className, const std::wstring& rect,
                                 const std::wstring& title) {
        return L"\r\nMouse.X/Y = " + PointText(at) + L"\r\nhWnd = " + HandleDecimal(w) + L"\r\nClass = " + className +
               L"\r\nRect = " + rect + L"\r\nText = " + title;
    }

    // Inspects the window and compares everything after the time stamp.
    void ExpectInspected(const ForeignWindow& window, const RECT& r, const std::wstring& className,
                         const std::wstring& title) const {
        const HWND w = window.Handle();
        ASSERT_NE(w, nullptr) << "no window of class " << Narrow(className) << " (error " << window.Error() << ")";
        const std::wstring wantClass = ThroughAnsi(className, kAnsiLimit);
        const std::wstring wantTitle = ThroughAnsi(title, kAnsiLimit);
        // What the platform's ANSI functions give here, as the program reads them.
        ASSERT_EQ(AnsiClassNameOf(w), wantClass) << "GetClassNameA differs from the ANSI conversion";
        ASSERT_EQ(AnsiTitleOf(w), wantTitle) << "GetWindowTextA differs from the ANSI conversion";
        const POINT at = NextPointIn(r);
        const std::wstring text = InspectAt(at);
        EXPECT_EQ(AfterTimeStamp(text), Expected(at, w, wantClass, RectTextOf(w), wantTitle));
        // The copy is the stored text, not a new inspection.
        EXPECT_EQ(CopiedHoverText(), text);
    }
};

TEST_F(HostileWindows, ClassNamesUpToTheLongestTheSystemTakes) {
    // With a single-byte ANSI code page no class name the system takes is
    // long enough to be cut; the names longer than 255 characters are tried
    // in case the system takes them.
    CPINFO info{};
    ASSERT_TRUE(::GetCPInfo(CP_ACP, &info));
    ASSERT_EQ(info.MaxCharSize, 1u) << "the cases below assume a single-byte code page, not " << ::GetACP();
    std::printf("ANSI code page %u\n", ::GetACP());
    RecordProperty("ansi_code_page", std::to_string(::GetACP()));

    const std::wstring mixed = Repeated(L"Klasse-\u00E4\u00F6\u00FC\u00DF-\u20AC-\u03A9\u0436\u4E2D-", kLongestClassName);
    const struct {
        const char* what;
        std::wstring className;
    } cases[] = {
        {"one character", L"Q"},
        {"254 characters", Numbered(kLongestClassName - 1)},
        {"255 characters, the longest", Numbered(kLongestClassName)},
        {"255 characters with high ANSI and unconvertible ones", mixed},
        {"line breaks and TABs", L"Hostile\r\nClass\rName\nwith\tTABs\t"},
        {"only the upper half of the code page", UpperHalfOfAnsi()},
        {"256 characters", Numbered(256)},
        {"259 characters", Numbered(259)},
        {"260 characters", Numbered(260)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ForeignWindow window(c.className, L"class name probe", kWhere);
        if (!window.Handle() && c.className.size() > kLongestClassName && window.Error() == ERROR_INVALID_PARAMETER) {
            std::printf("a class name of %zu characters is refused (ERROR_INVALID_PARAMETER)\n", c.className.size());
            continue;
        }
        ExpectInspected(window, kWhere, c.className, L"class name probe");
    }
}

TEST_F(HostileWindows, TitlesAreCutAt259AnsiCharacters) {
    const std::wstring highAtCut = Numbered(258) + L"\u00E9\u00FC\u00DF";
    const std::wstring breakAtCut = Numbered(258) + L"\r\ntail";
    const struct {
        const char* what;
        std::wstring title;
    } cases[] = {
        {"258 characters", Numbered(258)},
        {"259 characters", Numbered(259)},
        {"260 characters", Numbered(260)},
        {"300 characters", Numbered(300)},
        {"5000 characters", Numbered(5000)},
        {"high ANSI characters at the cut", highAtCut},
        {"a CR LF cut in two", breakAtCut},
        {"259 high ANSI characters and more", Repeated(UpperHalfOfAnsi(), 400)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ForeignWindow window(L"NotchlogHostileTitle", c.title, kWhere);
        ExpectInspected(window, kWhere, L"NotchlogHostileTitle", c.title);
    }
}

TEST_F(HostileWindows, TitlesWithControlAndForeignCharacters) {
    const struct {
        const char* what;
        std::wstring title;
    } cases[] = {
        {"CR LF", L"first line\r\nsecond line\r\nthird line"},
        {"lone CR", L"before\rafter"},
        {"lone LF", L"before\nafter"},
        {"TABs", L"\tcolumn 1\tcolumn 2\t\tcolumn 4\t"},
        {"ends with CR LF", L"a title ending in a line break\r\n"},
        {"nothing but line breaks", L"\r\n\r\n\n\r"},
        {"the upper half of the code page", UpperHalfOfAnsi()},
        {"characters outside the code page",
         L"Greek \u03A9\u03C8, Cyrillic \u0436\u044F, CJK \u4E2D\u6587, emoji \U0001F600, arrows \u2192\u21D2"},
        {"a lone surrogate", L"half a pair \xD83D here"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ForeignWindow window(L"NotchlogHostileTitle", c.title, kWhere);
        ExpectInspected(window, kWhere, L"NotchlogHostileTitle", c.title);
    }
}

TEST_F(HostileWindows, UnconvertibleCharactersBecomeQuestionMarks) {
    // The premise of the case above, spelt out: what the code page lacks
    // arrives as '?' (the platform's default character), not dropped and not
    // as garbage.
    const std::wstring title = L"x\u4E2Dy\u0436z";
    ForeignWindow window(L"NotchlogHostileTitle", title, kWhere);
    ASSERT_NE(window.Handle(), nullptr) << "error " << window.Error();
    const POINT at = NextPointIn(kWhere);
    const auto lines = SplitOn(InspectAt(at), L"\r\n");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[5], L"Text = x?y?z");
}

TEST_F(HostileWindows, TitleChangingWhileItIsRead) {
    const std::wstring shortTitle = L"abc";
    const std::wstring longTitle = Numbered(280);
    const std::set<std::wstring> allowed = {ThroughAnsi(shortTitle, kAnsiLimit), ThroughAnsi(longTitle, kAnsiLimit)};
    ForeignWindow window(L"NotchlogHostileFlip", shortTitle, kWhere);
    const HWND w = window.Handle();
    ASSERT_NE(w, nullptr) << "error " << window.Error();
    const std::wstring fixed = L"\r\nhWnd = " + HandleDecimal(w) + L"\r\nClass = NotchlogHostileFlip\r\nRect = " +
                               RectTextOf(w) + L"\r\nText = ";

    window.StartFlipping(shortTitle, longTitle);
    int seenShort = 0, seenLong = 0;
    constexpr int kInspections = 30;
    for (int i = 0; i < kInspections; ++i) {
        SCOPED_TRACE("inspection " + std::to_string(i + 1));
        const POINT at = NextPointIn(kWhere);
        const std::wstring text = InspectAt(at);
        const auto lines = SplitOn(text, L"\r\n");
        ASSERT_EQ(lines.size(), 6u) << Narrow(text);
        const std::wstring rest = AfterTimeStamp(text);
        const std::wstring head = L"\r\nMouse.X/Y = " + PointText(at) + fixed;
        ASSERT_EQ(rest.substr(0, head.size()), head);
        const std::wstring title = rest.substr(head.size());
        EXPECT_LE(title.size(), kAnsiLimit);
        EXPECT_EQ(allowed.count(title), 1u) << "the title read is neither of the two: \"" << Narrow(title) << "\"";
        (title == shortTitle ? seenShort : seenLong) += 1;
        // The copy repeats the stored text while nothing new is inspected.
        EXPECT_EQ(CopiedHoverText(), text);
    }
    const std::uint64_t flips = window.StopFlipping();
    std::printf("title changed %llu times during %d inspections; read %d short and %d long\n",
                static_cast<unsigned long long>(flips), kInspections, seenShort, seenLong);
    RecordProperty("title_changes", std::to_string(flips));
    EXPECT_GT(flips, static_cast<std::uint64_t>(kInspections)) << "the title hardly changed during the test";
}

TEST_F(HostileWindows, RectanglesPastTheScreenEdgesKeepTheirSigns) {
    const struct {
        const char* what;
        RECT r;
        const wchar_t* text;
    } cases[] = {
        {"past the top-left corner", {-150, -90, 250, 160}, L"(-150, -90)-(250, 160) 400x250"},
        {"past the left edge", {-400, 300, 100, 500}, L"(-400, 300)-(100, 500) 500x200"},
        {"past the top and right edges", {1100, -60, 1500, 200}, L"(1100, -60)-(1500, 200) 400x260"},
        {"past the bottom edge", {600, 900, 900, 1300}, L"(600, 900)-(900, 1300) 300x400"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ForeignWindow window(L"NotchlogHostileRect", L"off screen", c.r);
        ASSERT_NE(window.Handle(), nullptr) << "error " << window.Error();
        ASSERT_EQ(RectTextOf(window.Handle()), c.text) << "the window is not where it was put";
        const POINT at = NextPointIn(c.r);
        EXPECT_EQ(AfterTimeStamp(InspectAt(at)),
                  Expected(at, window.Handle(), L"NotchlogHostileRect", c.text, L"off screen"));
    }
}

}  // namespace
}  // namespace nle2e
