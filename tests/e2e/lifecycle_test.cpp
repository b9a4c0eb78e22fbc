// Start-up and shut-down: the showing of the window is already logged, and
// closing the window ends the process cleanly.
#include <gtest/gtest.h>

#include "driver/driver.h"

namespace nle2e {
namespace {

TEST(Lifecycle, ShowingTheWindowIsLogged) {
    Notchlog app = Notchlog::Launch();
    const std::vector<std::wstring> lines = ListLines(app.Log());
    bool shown = false, sized = false;
    for (const auto& line : lines) {
        const auto l = ParseLogLine(line);
        ASSERT_TRUE(l) << "not in the log layout: " << Narrow(line);
        EXPECT_EQ(l->hWnd, HandleHex(app.Main()));
        if (l->uMsg == WM_SHOWWINDOW && l->wLo == 1) shown = true;
        if (l->uMsg == WM_SIZE && l->lLo == 729 && l->lHi == 410) sized = true;
    }
    EXPECT_TRUE(shown) << "no WM_SHOWWINDOW (shown) in the log";
    EXPECT_TRUE(sized) << "no WM_SIZE to the 729 x 410 client area in the log";
    EXPECT_EQ(app.Close(), 0u);
}

TEST(Lifecycle, ClosingTheWindowEndsTheProcessWithExitCodeZero) {
    struct Case {
        const char* how;
        void (*close)(HWND);
    } cases[] = {
        {"posted WM_CLOSE", [](HWND w) { Post(w, WM_CLOSE); }},
        {"sent WM_CLOSE", [](HWND w) { EXPECT_EQ(Send(w, WM_CLOSE), 0); }},
        {"SC_CLOSE from the system menu", [](HWND w) { Post(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        Notchlog app = Notchlog::Launch();
        const HWND main = app.Main();
        c.close(main);
        const auto code = app.WaitForExit(kDefaultDeadline);
        ASSERT_TRUE(code) << "still running";
        EXPECT_EQ(*code, 0u);
        EXPECT_FALSE(::IsWindow(main));
    }
}

}  // namespace
}  // namespace nle2e
