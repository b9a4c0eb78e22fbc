// The wheel test window as a user works it: opened from the system menu or
// the command line, the finder dragged onto a window, Start, the results,
// Copy and Save report as.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "driver/wheel_targets.h"
#include "driver/wheel_test_runs.h"
#include "tested_window/screen_capture.h"

namespace nle2e {
namespace {

namespace fs = std::filesystem;
constexpr UINT kWheelTestCommand = 0x0140;  // the system menu's "Wheel test…"
enum WheelTestControl : int {
    kFinder = 301, kFinderHint, kFinderText, kTargetLine, kInjected, kPosted, kStartButton, kCopyButton, kSaveButton,
    kProgressLine, kResultsList, kFindingsBox, kReplayButton, kReplayWindow, kMeasuredLine, kResultLine,
    kChart, kSavePictureButton, kZoomCheck, kSettingsLabel, kSettingsField,
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

// "Target: 000200A8 ListBox in "Wheel target: list" (notchlog_wheel_target.exe, process 272)".
std::wstring TargetLine(const WheelTarget& target, HWND w) {
    const std::wstring in = w == target.Window() ? L"" : L" in \"" + WheelTargetTitle(target.Kind()) + L"\"";
    const std::wstring title = w == target.Window() ? L" \"" + WheelTargetTitle(target.Kind()) + L"\"" : L"";
    return Format(L"Target: %08lX %ls%ls%ls (notchlog_wheel_target.exe, process %lu)", Handle32(w), ClassOf(w).c_str(),
                  title.c_str(), in.c_str(), target.Pid());
}

// Drags the finder's icon to `to` in a few moves, as a hand would; `there`
// runs with the pointer at `to`, before the button is let go.
void DragFinder(HWND window, POINT to, const std::function<void()>& there = {}) {
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
    // Each step waits for the finder's thread, and is made again should the
    // pointer have gone back: Wine can take the X event of an injected move
    // late and put the pointer back where that move left it.
    const auto step = [&](POINT p) {
        WaitUntil([&] {
            MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, p);
            Send(window, WM_NULL);
            const POINT now = CursorNow();
            return now.x == p.x && now.y == p.y;
        }, 5s);
    };
    for (int i = 1; i <= 4; ++i) step({from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4});
    int still = 0;  // looks in a row that found the pointer at `to`: a late event would have come by then
    WaitUntil([&] {
        step(to);
        still = CursorNow().x == to.x && CursorNow().y == to.y ? still + 1 : 0;
        return still >= 10;
    }, 5s);
    if (there) there();
    MouseInput(MOUSEEVENTF_LEFTUP);
    if (!WaitUntil([&] { return !captured(); }, 5s)) throw DriverError("the finder kept the mouse");
}

TEST(WheelTestWindow, CommandLineChoosesTheTargetAndTheSystemMenuOpensTheWindowAgain) {
    WheelTarget target(WheelTargetKind::List);
    Notchlog app(L"--test-target " + HexForm(target.Content()) + L" --test-delivery posted");
    const HWND window = WheelTestWindowOf(app);
    EXPECT_EQ(TextOf(window), L"Notchlog - wheel test");
    EXPECT_EQ(ControlText(window, kTargetLine), TargetLine(target, target.Content()));
    EXPECT_EQ(Send(::GetDlgItem(window, kPosted), BM_GETCHECK), BST_CHECKED);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(window, kStartButton)));
    // Chosen, not started: what a test would measure.
    EXPECT_EQ(ControlText(window, kProgressLine), L"");
    EXPECT_EQ(ControlText(window, kMeasuredLine),
              Format(L"Measured: %08lX ListBox; down: LB_GETTOPINDEX (items); sideways: from the screen (px)",
                     Handle32(target.Content())));
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
    EXPECT_EQ(ControlText(window, kFinderText), L"Drag the finder onto the window you want to test.");

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
    EXPECT_TRUE(WaitUntil([&] { return ControlText(window, kTargetLine) == TargetLine(target, target.Content()); }, 5s))
        << Narrow(ControlText(window, kTargetLine));
    EXPECT_EQ(ControlText(window, kFinderText), L"");  // a list box: read by its messages

    // One setting to try: its lines, and the profile's, join the table.
    Send(::GetDlgItem(window, kSettingsField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"5"));
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
    // The table holds the report's result lines, a cell a field, then the
    // profile's (the setting, what a notch moved at it, the unit, the
    // verdict); the Result line stands above it, the findings and notes below.
    WheelTestReport report;
    report.text = copied;
    const auto results = report.Results();
    ASSERT_GE(results.size(), 3u) << copied;
    std::vector<std::string> expectedRows;
    for (std::size_t i = 1; i < results.size() && !results[i].empty(); ++i) {
        if (results[i].rfind("profile,", 0) != 0) {
            expectedRows.push_back(results[i]);
        } else if (results[i].rfind("profile,lines_per_notch", 0) != 0) {  // profile,5,3,items,fault
            std::vector<std::string> f;
            for (std::size_t at = 0, comma; at != std::string::npos; at = comma == std::string::npos ? comma : comma + 1)
                f.push_back(results[i].substr(at, (comma = results[i].find(',', at)) - at));
            ASSERT_EQ(f.size(), 5u) << results[i];
            expectedRows.push_back("profile,setting " + f[1] + ",," + f[2] + "," + f[3] + " per notch," + f[4]);
        }
    }
    EXPECT_EQ(expectedRows.back().rfind("profile,setting 5,,", 0), 0u) << copied;
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

TEST(WheelTestWindow, FinderOutlinesTheWindowUnderThePointerLeavesNothingBehindAndWarnsOfAReadingFromTheScreen) {
    constexpr COLORREF kOutline = RGB(255, 0, 200);
    WheelTarget target(WheelTargetKind::Pixels);  // no scroll bar, nothing to ask, no caret
    Notchlog app(L"--wheel-test");
    const HWND window = WheelTestWindowOf(app);
    ::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);  // off the target
    Send(target.Window(), WM_NULL);  // its frame repainted as no longer active
    RECT area{};
    ::GetWindowRect(target.Window(), &area);
    nl::ScreenCapture screen;
    nl::PixelImage before, now;
    const auto grab = [&](nl::PixelImage& image) { return screen.Grab(area) && (screen.Cut(area, image), true); };
    ASSERT_TRUE(WaitUntil([&] { return grab(before) && grab(now) && now == before; }, 5s)) << "the target's picture changes";
    const POINT edge{area.left + 1, (area.top + area.bottom) / 2};

    const std::wstring described = TargetLine(target, target.Window()).substr(8);
    DragFinder(window, target.TestPoint(), [&] {
        EXPECT_TRUE(WaitUntil([&] { return PixelAt(edge) == kOutline; }, 5s)) << "no outline at the target's edge";
        EXPECT_TRUE(WaitUntil([&] { return ControlText(window, kFinderText) == L"Under the pointer: " + described; }, 5s))
            << Narrow(ControlText(window, kFinderText));
    });
    EXPECT_TRUE(WaitUntil([&] { return grab(now) && now == before; }, 5s)) << "the outline left pixels behind";
    EXPECT_EQ(ControlText(window, kTargetLine), L"Target: " + described);
    EXPECT_EQ(ControlText(window, kFinderText), L"This window will be read from the screen. "
                                                 L"If it is not the part that scrolls, drop the finder on that part.");
}

}  // namespace
}  // namespace nle2e
