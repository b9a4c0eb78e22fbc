// The wheel test window as a user works it: opened from the system menu or
// the command line, the finder dragged onto a window, Start, the results,
// Copy and Save report as.
#include <gtest/gtest.h>

#include <filesystem>

#include "driver/wheel_targets.h"
#include "driver/wheel_test_runs.h"

namespace nle2e {
namespace {

namespace fs = std::filesystem;
constexpr UINT kWheelTestCommand = 0x0140;  // the system menu's "Wheel test…"
enum WheelTestControl : int {
    kFinder = 301, kFinderHint, kFinderText, kTargetLine, kInjected, kPosted, kStartButton, kCopyButton, kSaveButton,
    kProgressLine, kResultsList, kFindingsBox, kReplayButton, kReplayWindow, kMeasuredLine, kResultLine,
};

HWND WheelTestWindowOf(const Notchlog& app) {
    HWND w = nullptr;
    if (!WaitUntil([&] { return (w = ShownWindowOf(app.Pid(), L"NotchlogWheelTest")) != nullptr; }, 10s))
        throw DriverError("no wheel test window");
    return w;
}

std::wstring ControlText(HWND window, int id) {  // asked, as an edit keeps its text to itself
    const HWND control = ::GetDlgItem(window, id);
    std::wstring text(static_cast<std::size_t>(Send(control, WM_GETTEXTLENGTH)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(Send(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

void MouseInput(DWORD flags, POINT at = {}) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    in.mi.dx = at.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = at.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    if (::SendInput(1, &in, sizeof in) != 1) ThrowLastError("SendInput");
}

// Drags the finder's icon to `to` in a few moves, as a hand would.
void DragFinder(HWND window, POINT to) {
    const POINT from = CentreOf(::GetDlgItem(window, kFinder));
    MoveCursor(from);
    MouseInput(MOUSEEVENTF_LEFTDOWN);
    const HWND finder = ::GetDlgItem(window, kFinder);
    const auto captured = [&] {  // the drag has begun
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) && info.hwndCapture == finder;
    };
    if (!WaitUntil(captured, 5s)) throw DriverError("the finder did not take the mouse");
    for (int i = 1; i <= 4; ++i) {
        const POINT p{from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4};
        MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, p);
        WaitUntil([&] { const POINT now = CursorNow(); return now.x == p.x && now.y == p.y; }, 5s);
    }
    MouseInput(MOUSEEVENTF_LEFTUP);
    if (!WaitUntil([&] { return !captured(); }, 5s)) throw DriverError("the finder kept the mouse");
}

TEST(WheelTestWindow, CommandLineChoosesTheTargetAndTheSystemMenuOpensTheWindowAgain) {
    WheelTarget target(WheelTargetKind::List);
    Notchlog app(L"--test-target " + HexForm(target.Content()) + L" --test-delivery posted");
    const HWND window = WheelTestWindowOf(app);
    EXPECT_EQ(TextOf(window), L"Notchlog - wheel test");
    EXPECT_EQ(ControlText(window, kTargetLine).rfind(Format(L"Target: %08lX ListBox ", Handle32(target.Content())), 0), 0u)
        << Narrow(ControlText(window, kTargetLine));
    EXPECT_EQ(Send(::GetDlgItem(window, kPosted), BM_GETCHECK), BST_CHECKED);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(window, kStartButton)));
    EXPECT_EQ(ControlText(window, kProgressLine), L"");  // chosen, not started
    EXPECT_EQ(target.Position(), 0);

    Post(window, WM_CLOSE);  // only hidden
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(window); }));
    EXPECT_TRUE(::IsWindow(window));
    Post(app.Main(), WM_SYSCOMMAND, kWheelTestCommand);
    EXPECT_EQ(WheelTestWindowOf(app), window);
}

TEST(WheelTestWindow, FinderStartCopyAndSaveReport) {
    WheelTarget target(WheelTargetKind::List);
    Notchlog app(L"--wheel-test");
    const HWND window = WheelTestWindowOf(app);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(window, kStartButton)));  // no target yet

    // Dropped on the window itself or on the bare desktop, the finder chooses nothing.
    const struct {
        POINT at;
        const wchar_t* says;
    } misses[] = {
        {CentreOf(::GetDlgItem(window, kResultsList)),
         L"The target stays as it was: the wheel test window cannot test itself."},
        {{1270, 1010}, L"The target stays as it was: there is no window there, only the desktop."},
    };
    for (const auto& miss : misses) {
        DragFinder(window, miss.at);
        EXPECT_TRUE(WaitUntil([&] { return ControlText(window, kFinderText) == miss.says; }, 5s))
            << Narrow(ControlText(window, kFinderText));
        EXPECT_EQ(ControlText(window, kTargetLine), L"Target: none");
    }
    DragFinder(window, target.TestPoint());
    const std::wstring chosen = Format(L"Target: %08lX ListBox ", Handle32(target.Content()));
    EXPECT_TRUE(WaitUntil([&] { return ControlText(window, kTargetLine).rfind(chosen, 0) == 0; }, 5s))
        << Narrow(ControlText(window, kTargetLine));
    EXPECT_EQ(ControlText(window, kFinderText), L"");

    const POINT rest{3, 1000};
    MoveCursor(rest);
    Send(::GetDlgItem(window, kStartButton), BM_CLICK);
    EXPECT_EQ(ControlText(window, kStartButton), L"Stop");  // while the test runs
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(window, kReplayButton)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(window, kFinder)));
    ASSERT_TRUE(WaitUntil([&] { return ControlText(window, kProgressLine) == L"Finished."; }, 60s))
        << Narrow(ControlText(window, kProgressLine));
    EXPECT_EQ(ControlText(window, kStartButton), L"Start");
    const POINT now = CursorNow();
    EXPECT_TRUE(now.x == rest.x && now.y == rest.y) << "the pointer stayed at " << now.x << "," << now.y;

    WriteClipboard(L"(before the copy)");
    Send(::GetDlgItem(window, kCopyButton), BM_CLICK);
    const std::string copied = Narrow(ReadClipboard().value_or(L""));
    // The table holds the report's result lines, a cell a field; the Result
    // line stands above it, the findings and notes below.
    WheelTestReport report;
    report.text = copied;
    const auto results = report.Results();
    ASSERT_GE(results.size(), 3u) << copied;
    std::vector<std::string> expectedRows;
    for (std::size_t i = 1; i < results.size() && !results[i].empty(); ++i) expectedRows.push_back(results[i]);
    std::vector<std::string> shown;
    for (const auto& cells : ListViewRows(::GetDlgItem(window, kResultsList))) {
        std::string line;
        for (const auto& cell : cells) line += (line.empty() && &cell == &cells[0] ? "" : ",") + cell;
        shown.push_back(WheelTestReport::WithoutMs(line));
    }
    EXPECT_EQ(shown, expectedRows);
    EXPECT_EQ(Narrow(ControlText(window, kResultLine)), report.LastLine());
    const std::size_t findings = copied.find("\r\n\r\n", copied.find(kWheelResultHeader)) + 4;
    EXPECT_EQ(Narrow(ControlText(window, kFindingsBox)) + "\r\n" + report.LastLine() + "\r\n", copied.substr(findings));

    const fs::path file = fs::temp_directory_path() / Format(L"notchlog-wheel-test-%lu.txt", ::GetCurrentProcessId());
    Post(::GetDlgItem(window, kSaveButton), BM_CLICK);
    HWND dialog = nullptr, name = nullptr;  // the file name: a ComboBoxEx32 (cmb13)
    ASSERT_TRUE(WaitUntil([&] { return (dialog = ShownWindowOf(app.Pid(), L"#32770")) && (name = ::GetDlgItem(dialog, 0x47C)); }));
    wchar_t offered[MAX_PATH] = {};
    Send(name, WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(offered));
    EXPECT_STREQ(offered, L"wheel-test.txt");
    Send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    Post(::GetDlgItem(dialog, IDOK), BM_CLICK);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(file) && !::IsWindow(dialog); }));
    EXPECT_EQ(Contents(file), copied);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(window, kProgressLine) == L"Saved to " + file.wstring() + L"."; }))
        << Narrow(ControlText(window, kProgressLine));
    std::error_code e;
    fs::remove(file, e);
}

}  // namespace
}  // namespace nle2e
