// WM_MOUSEWHEEL is answered by Notchlog itself and still logged; every other
// message reaches the window's own procedure and its result comes back
// unchanged.
#include <gtest/gtest.h>

#include <optional>

#include "driver/driver.h"
#include "support/shared_app.h"

namespace nle2e {
namespace {

class WheelAndForwarding : public SharedNotchlogSuite<WheelAndForwarding> {};

TEST_F(WheelAndForwarding, SentWheelMessageAnswersZeroAndIsLogged) {
    struct Case {
        UINT_PTR wParam;
        LONG_PTR lParam;
        const wchar_t* expected;  // the line after "\tuMsg="
    } cases[] = {
        // One notch back at (512, 385), no keys.
        {0xFF880000u, (385 << 16) | 512, L" 20A wHi=-120 wLo=0 lHi=385 lLo=512"},
        // One notch forward with Ctrl and the left button held.
        {(120u << 16) | MK_CONTROL | MK_LBUTTON, (40 << 16) | 30, L" 20A wHi=120 wLo=9 lHi=40 lLo=30"},
        // A touchpad's small delta left of and above the primary monitor.
        {7u << 16, static_cast<LONG_PTR>(0xFFF6FFECu), L" 20A wHi=7 wLo=0 lHi=-10 lLo=-20"},
        // The extremes of the delta.
        {0x80000000u, 0, L" 20A wHi=-32768 wLo=0 lHi=0 lLo=0"},
        {0x7FFF0000u, 0, L" 20A wHi=32767 wLo=0 lHi=0 lLo=0"},
    };
    const std::wstring prefix = L"  hWnd=" + HandleHex(Main()) + L"\tuMsg=";
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.expected));
        const std::size_t before = ListLines(App().Log()).size();
        EXPECT_EQ(Send(Main(), WM_MOUSEWHEEL, c.wParam, c.lParam), 0);
        // Sent, so its line is there when the send returns (messages sent
        // while it was handled stand above it).
        const std::vector<std::wstring> lines = ListLines(App().Log());
        ASSERT_EQ(LoggedAmong(lines, before, {WM_MOUSEWHEEL}).size(), 1u);
        std::size_t at = before;
        while (!IsLogOf(lines[at], WM_MOUSEWHEEL)) ++at;
        EXPECT_EQ(lines[at].substr(8), prefix + c.expected);
    }
}

TEST_F(WheelAndForwarding, ForwardedResultsComeBackUnchanged) {
    const std::size_t before = ListLines(App().Log()).size();
    // The window's own procedure answers these with something other than 0.
    EXPECT_EQ(Send(Main(), WM_GETTEXTLENGTH), 19);

    wchar_t caption[64] = {};
    EXPECT_EQ(Send(Main(), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(caption)), 19);
    EXPECT_STREQ(caption, L"Notchlog - 20080523");

    // Filtered from the log, yet still answered by the window's procedure.
    const POINT inside = CentreOf(App().Control(kLstMessage));
    EXPECT_EQ(Send(Main(), WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCLIENT);

    EXPECT_EQ(LoggedAmong(ListLines(App().Log()), before, {WM_GETTEXTLENGTH, WM_GETTEXT, WM_NCHITTEST}),
              (std::vector<std::uint32_t>{WM_GETTEXTLENGTH, WM_GETTEXT}));
}

// Windows of this process: a parent that counts the messages passed up to
// it, and a plain child whose procedure is the default one.
class Witness {
public:
    Witness() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Witness::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"NotchlogE2EWitness";
        ::RegisterClassW(&wc);  // fails harmlessly when already registered
        w_ = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                               wc.hInstance, nullptr);
        if (!w_) ThrowLastError("CreateWindowExW(witness)");
        wheel_ = appCommand_ = 0;
    }
    Witness(const Witness&) = delete;
    Witness& operator=(const Witness&) = delete;
    ~Witness() { ::DestroyWindow(w_); }
    HWND Get() const { return w_; }
    int Wheel() const { return wheel_; }
    int AppCommand() const { return appCommand_; }

private:
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_MOUSEWHEEL) ++wheel_;
        if (msg == WM_APPCOMMAND) ++appCommand_;
        return ::DefWindowProcW(w, msg, wp, lp);
    }
    HWND w_ = nullptr;
    static int wheel_, appCommand_;
};
int Witness::wheel_ = 0;
int Witness::appCommand_ = 0;

TEST(WheelNotForwarded, WheelNeverReachesTheWindowsOwnProcedure) {
    // The default handling of a child window's WM_MOUSEWHEEL and
    // WM_APPCOMMAND hands them to the parent. Made a child of a window here,
    // Notchlog's main window shows which messages got as far as its own
    // procedure (which leaves both to the default handling).
    Witness witness;

    // First make sure the platform does pass a child's wheel message up.
    WNDCLASSW plainClass{};
    plainClass.lpfnWndProc = &::DefWindowProcW;
    plainClass.hInstance = ::GetModuleHandleW(nullptr);
    plainClass.lpszClassName = L"NotchlogE2EPlain";
    ::RegisterClassW(&plainClass);
    const HWND plain = ::CreateWindowExW(0, plainClass.lpszClassName, L"", WS_CHILD, 0, 0, 10, 10, witness.Get(),
                                         nullptr, plainClass.hInstance, nullptr);
    ASSERT_TRUE(plain);
    ::SendMessageW(plain, WM_MOUSEWHEEL, 120u << 16, 0);
    ::DestroyWindow(plain);
    ASSERT_EQ(witness.Wheel(), 1) << "the default handling here does not pass WM_MOUSEWHEEL to the parent";

    Notchlog app = Notchlog::Launch();
    const HWND main = app.Main();
    const LONG_PTR style = ::GetWindowLongPtrW(main, GWL_STYLE);
    ::SetWindowLongPtrW(main, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
    ASSERT_TRUE(::GetWindowLongPtrW(main, GWL_STYLE) & WS_CHILD);
    ASSERT_TRUE(::SetParent(main, witness.Get())) << "SetParent failed: " << ::GetLastError();
    ASSERT_EQ(::GetParent(main), witness.Get());

    const std::size_t before = ListLines(app.Log()).size();
    // A forwarded message gets through to the parent...
    Send(main, WM_APPCOMMAND, reinterpret_cast<WPARAM>(main), 0);
    EXPECT_EQ(witness.AppCommand(), 1) << "WM_APPCOMMAND did not come through Notchlog's own procedure";

    // ...a wheel message does not, whatever its delta, and answers 0.
    for (UINT_PTR wParam : {120u << 16, 0xFF880000u, 0u}) {
        EXPECT_EQ(Send(main, WM_MOUSEWHEEL, wParam, 0), 0);
    }
    EXPECT_EQ(witness.Wheel(), 1) << "WM_MOUSEWHEEL reached the window's own procedure";

    EXPECT_EQ(LoggedAmong(ListLines(app.Log()), before, {WM_APPCOMMAND, WM_MOUSEWHEEL}),
              (std::vector<std::uint32_t>{WM_APPCOMMAND, WM_MOUSEWHEEL, WM_MOUSEWHEEL, WM_MOUSEWHEEL}));
    EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
}  // namespace nle2e
