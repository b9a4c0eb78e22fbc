// The system menu's commands, the log file of --log, and labels that read whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "driver/driver.h"

namespace nle2e {
namespace {

namespace fs = std::filesystem;
constexpr int kAlwaysOnTop = 0x0100, kPauseLogging = 0x0110, kSaveLog = 0x0120, kWheelAnalysis = 0x0130,
              kWheelTest = 0x0140;  // system menu commands
using MenuItems = std::vector<std::pair<long, bool>>;                                // id, checked

struct Folder {  // a fresh one in the temporary folder, removed with what it holds
    const fs::path path = fs::temp_directory_path() / Format(L"notchlog-e2e-%lu-%lu", ::GetCurrentProcessId(), ::GetTickCount());
    Folder() { fs::create_directory(path); }
    ~Folder() {
        std::error_code e;
        for (const auto& f : fs::directory_iterator(path, e)) fs::permissions(f, fs::perms::all, e);  // read-only too
        fs::remove_all(path, e);
    }
};



// The system menu's last five items, bottom up, as the menu tells the window (WM_MENUSELECT,
// logged) while the keyboard walks up to them: under Wine no other process gets the menu's handle.
MenuItems SystemMenuTail(Notchlog& app) {
    const std::size_t from = app.Mark();
    Post(app.Main(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    if (!WaitUntil([&] { return ShownWindowOf(app.Pid(), L"#32768"); })) throw DriverError("no system menu");
    for (WPARAM key : {VK_UP, VK_UP, VK_UP, VK_UP, VK_UP, VK_ESCAPE, VK_ESCAPE}) Post(app.Main(), WM_KEYDOWN, key);
    app.Mark();
    MenuItems items;
    for (const auto& l : app.Log(from)) {
        const auto field = [&](const wchar_t* name) { return std::wcstol(l.c_str() + l.find(name) + 5, nullptr, 10); };
        if (LoggedMsg(l) == WM_MENUSELECT && field(L" wHi=") != -1) items.emplace_back(field(L" wLo="), field(L" wHi=") & MF_CHECKED);
    }
    return MenuItems(items.end() - std::min<std::size_t>(5, items.size()), items.end());
}

// Chooses "Save log as…" and saves under `path`; returns the name the dialog offered.
std::wstring SaveAs(const Notchlog& app, const fs::path& path) {
    Post(app.Main(), WM_SYSCOMMAND, kSaveLog);
    HWND dialog = nullptr, name = nullptr;  // the file name: a ComboBoxEx32 (cmb13)
    if (!WaitUntil([&] { return (dialog = ShownWindowOf(app.Pid(), L"#32770")) && (name = ::GetDlgItem(dialog, 0x47C)); }))
        throw DriverError("no save dialog");
    wchar_t offered[MAX_PATH] = {};
    Send(name, WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(offered));
    Send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    Post(::GetDlgItem(dialog, IDOK), BM_CLICK);
    return offered;
}

TEST(Features, AlwaysOnTopSetsAndClearsTheTopmostStyleAndItsCheckFollows) {
    Notchlog app;
    for (bool on : {true, false}) {
        Send(app.Main(), WM_SYSCOMMAND, kAlwaysOnTop);
        EXPECT_EQ((::GetWindowLongW(app.Main(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, on);
        EXPECT_EQ(SystemMenuTail(app), (MenuItems{{kWheelTest, false}, {kWheelAnalysis, false}, {kSaveLog, false}, {kPauseLogging, false}, {kAlwaysOnTop, on}}));
    }
}

TEST(Features, PausedMessagesAreHandledAsBeforeButLoggedNoMoreUntilTheResumeClick) {
    Notchlog app;
    const POINT green = CentreOf(app.Control(kWheelHitArea));
    const std::wstring caption = L"Notchlog - 20080523", paused = caption + L" (logging paused)";
    Send(app.Main(), WM_SYSCOMMAND, kPauseLogging);
    const std::size_t count = app.LogCount();
    EXPECT_EQ(TextOf(app.Main()), paused);
    for (int i = 0; i < 20; ++i) Post(app.Main(), WM_APP + 1, i);
    Post(app.Main(), WM_MOUSEWHEEL, MAKEWPARAM(0, -120), MAKELPARAM(green.x, green.y));  // handled after the others
    EXPECT_TRUE(WaitUntil([&] { return ::GetScrollPos(app.Control(kWheelScrollBar), SB_CTL) > 0; }));
    EXPECT_EQ(Send(app.Main(), WM_GETTEXTLENGTH), static_cast<LRESULT>(paused.size()));
    EXPECT_EQ(Send(app.Main(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(green.x, green.y)), 0);
    EXPECT_EQ(app.LogCount(), count);
    Send(app.Main(), WM_SYSCOMMAND, kPauseLogging);
    EXPECT_EQ(TextOf(app.Main()), caption);
    EXPECT_EQ(app.Log(count).at(0).substr(8), Format(L"  hWnd=%lX\tuMsg= 112 wHi=0 wLo=272 lHi=0 lLo=0", Handle32(app.Main())));
    EXPECT_EQ(SystemMenuTail(app), (MenuItems{{kWheelTest, false}, {kWheelAnalysis, false}, {kSaveLog, false}, {kPauseLogging, false}, {kAlwaysOnTop, false}}));
}

TEST(Features, SaveWritesEveryLineWithCrLfAnEmptyLogAsAnEmptyFileAndLeavesAReadOnlyFileAsItWas) {
    Folder dir;
    const fs::path file = dir.path / L"saved.log";
    Notchlog app;
    Send(app.Main(), WM_SYSCOMMAND, kPauseLogging);  // the log holds still from here on
    EXPECT_EQ(SaveAs(app, file), L"notchlog.log");
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(file); }));
    const std::string saved = Contents(file);
    EXPECT_EQ(saved, Narrow(app.Copy(kCopyLogButton)) + "\r\n");

    Send(app.Control(kClearLogButton), BM_CLICK);  // paused: the log is really empty
    SaveAs(app, dir.path / L"empty.log");
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(dir.path / L"empty.log"); }));
    EXPECT_EQ(fs::file_size(dir.path / L"empty.log"), 0u);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::remove);  // read-only: saving would empty it
    SaveAs(app, file);
    Press(WaitForMessageBox(app.Pid()), IDYES);  // the dialog's own "replace?"
    WaitUntil([&] { const HWND box = ShownWindowOf(app.Pid(), L"#32770"); return (box && ::GetDlgItem(box, 0xFFFF)) || Contents(file) != saved; });
    ASSERT_TRUE(Contents(file) == saved) << "the read-only file was replaced";
    const MessageBoxSeen error = WaitForMessageBox(app.Pid());
    EXPECT_TRUE(error.caption == L"Notchlog" && error.text.rfind(L"The log could not be saved to " + file.wstring(), 0) == 0)
        << Narrow(error.text);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 2);  // no temporary file left beside them
}

std::wstring SystemText(DWORD code) {  // as the program quotes it
    wchar_t text[512] = {};
    std::wstring s(text, ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, 512, nullptr));
    return s.substr(0, s.find_last_not_of(L"\r\n ") + 1);
}

std::wstring WriteFailedNotice() {
    return L"Writing to the log file failed: " + SystemText(ERROR_DISK_FULL) + L"\nFrom now on lines go to the message list only.";
}

TEST(Features, LogFileGetsEveryLineAsLoggedTheLastOnesAtCloseAndANextRunAppendsOnALineOfItsOwn) {
    Folder dir;
    const fs::path file = dir.path / L"run.log";
    std::string want;  // the file's lines before the closing ones
    // What another program left at the file's end, and how the file is named.
    for (const auto& [before, option] : {std::pair{"", L"--log"}, {"", L"/log"}, {"half a line", L"--log"}}) {
        std::ofstream(file, std::ios::binary | std::ios::app) << before;
        want = Contents(file) + (*before ? "\r\n" : "");
        Notchlog app(Format(L"%ls \"%ls\"", option, file.c_str()));
        for (int round = 0; round < 2; ++round, Send(app.Control(kClearLogButton), BM_CLICK)) {
            for (int i = 0; i < 200; ++i) Post(app.Main(), WM_APP + 1, i);
            for (const auto& line : app.Settle()) want += Narrow(line) + "\r\n";  // after what the file had
            WaitUntil([&] { return Contents(file) == want; });                   // lines reach it at the next refresh
            EXPECT_EQ(Contents(file), want);
        }
        // The list after the Clear, then a burst with WM_CLOSE right behind it: its lines still wait when the window closes.
        for (const auto& line : app.Settle()) want += Narrow(line) + "\r\n";
        for (int i = 0; i < 100; ++i) Post(app.Main(), WM_APP + 2, i);
        EXPECT_EQ(app.Close(), 0u);
        const std::string got = Contents(file);
        ASSERT_EQ(got.substr(0, want.size()), want);
        const std::vector<std::wstring> last = Split(Widen(got.substr(want.size())), L"\r\n");
        ASSERT_EQ(last.size(), 101u);  // the burst's lines and the empty rest after the last line break
        for (int i = 0; i < 100; ++i)  // after the time stamp
            EXPECT_EQ(last[i].substr(8), Format(L"  hWnd=%lX\tuMsg=8002 wHi=0 wLo=%d lHi=0 lLo=0", Handle32(app.Main()), i));
    }
}

TEST(Features, StartUpAndLogFileNoticesSayWhyAndTheProgramRunsOn) {
    Folder dir;
    const std::wstring missing = dir.path.wstring() + L"\\none\\run.log", readOnly = (dir.path / L"kept.log").wstring();
    std::ofstream(fs::path(readOnly), std::ios::binary) << "kept as it was";
    ASSERT_TRUE(::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    const auto cannotOpen = [](const std::wstring& file, const std::wstring& why) {
        return L"The log file " + file + L" cannot be opened:\n" + why + L"\n\nNotchlog runs without it.";
    };
    const struct { std::wstring args, notice; } cases[] = {
        {L"--verbose", L"Unknown argument: --verbose\n\nNotchlog accepts:\n--log FILE  (or /log FILE): appends every logged line to FILE.\n"
                       L"--max-lines N  (or /max-lines N): keeps at most N lines in the message list, dropping the oldest "
                       L"(default 5000000; 0: as many as the system allows).\n"
                       L"--wheel-csv FILE  (or /wheel-csv FILE): appends every recorded wheel event to FILE as a CSV row.\n"
                       L"--analysis  (or /analysis): opens the wheel analysis window at start.\n"
                       L"--capture-all  (or /capture-all): records every wheel event on the desktop, not only Notchlog's.\n"
                       L"--wheel-test  (or /wheel-test): opens the wheel test window at start.\n"
                       L"--test-target WINDOW  (or /test-target WINDOW): chooses the wheel test's target: 0xHEX, a decimal number, "
                       L"title:TEXT or class:NAME.\n"
                       L"--test-delivery injected|posted  (or /test-delivery ...): how the wheel test delivers its input.\n"
                       L"--test-report FILE  (or /test-report FILE): runs the wheel test at start-up without any window, writes "
                       L"its report to FILE and exits.\n"
                       L"--test-picture FILE.png  (or /test-picture FILE.png): with --test-report or --replay-report, also "
                       L"draws the chart of the run to FILE.png (800 x 400 pixels).\n"
                       L"--replay FILE --test-target WINDOW  (or /replay FILE): sends the wheel events a --wheel-csv file "
                       L"recorded to the target, with their timing.\n"
                       L"--replay-run N: the Nth run the file holds (default: the last); --replay-window "
                       L"main|analysis|hook|raw: whose rows are sent.\n"
                       L"--replay-max-gap MS: pauses longer than MS are cut to it (default 2000; 0 keeps them); "
                       L"--replay-speed F: F times as fast (0.1 to 10).\n"
                       L"--replay-report FILE2: replays without a window, writes the report and exits; "
                       L"--replay-trace FILE3: a line per event sent."
                       L"\n\nNotchlog goes on without the arguments it did not understand."},
        {L"--log \"" + missing + L"\"", cannotOpen(missing, SystemText(ERROR_PATH_NOT_FOUND))},
        {L"--log \"" + readOnly + L"\"", cannotOpen(readOnly, SystemText(ERROR_ACCESS_DENIED))},
        {L"--log Z:\\dev\\full", WriteFailedNotice()},  // every write fails
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.args));
        Notchlog app(c.args);
        const MessageBoxSeen box = WaitForMessageBox(app.Pid());
        EXPECT_EQ(box.text, c.notice);
        Press(box, IDOK);
        app.Settle();  // the activation messages that follow the box's end
        const std::size_t marked = app.Mark();
        EXPECT_EQ(app.Mark(), marked + 1);  // lines still reach the list
        EXPECT_EQ(app.Close(), 0u);
    }
    EXPECT_EQ(Contents(readOnly), "kept as it was");
}

// Run by ctest on a small disk it mounts for this suite, named by NOTCHLOG_SMALL_DISK.
TEST(LogFileOnFullDisk, TheFileEndsWithTheLastWholeLineThatFitAndTheListGoesOn) {
    wchar_t disk[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"NOTCHLOG_SMALL_DISK", disk, MAX_PATH))
        GTEST_SKIP() << "no small disk to fill: NOTCHLOG_SMALL_DISK is not set (ctest sets it)";
    const fs::path file = fs::path(WindowsPath(disk)) / L"full.log";
    Notchlog app(L"--log \"" + file.wstring() + L"\"");
    for (int round = 0; round < 100 && !ShownWindowOf(app.Pid(), L"#32770"); ++round, app.Mark())
        for (int i = 0; i < 100; ++i) Post(app.Main(), WM_APP + 1, i);
    const MessageBoxSeen box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, WriteFailedNotice());
    Press(box, IDOK);
    const std::vector<std::wstring> list = app.Log(), written = Split(Widen(Contents(file)), L"\r\n");
    EXPECT_GT(app.Mark(), list.size());  // the list goes on
    ASSERT_TRUE(written.size() > 1 && written.size() < list.size()) << written.size() << " of " << list.size();
    std::vector<std::wstring> whole(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(written.size()) - 1);
    whole.push_back(L"");  // nothing after the last line break
    EXPECT_TRUE(written == whole) << Narrow(written[written.size() - 2]);
}

// Measured on screen, in the font the program draws with: each label, moved to a free spot of the
// enlarged window and made three times as tall, shows no ink beyond its own width and height.
TEST(Features, EveryLabelReadsWholeAt96Dpi) {
    Notchlog app;
    Foreground(app.Main());
    ASSERT_TRUE(::SetWindowPos(app.Main(), nullptr, 0, 0, 1200, 900, SWP_NOZORDER | SWP_NOACTIVATE));
    const HDC screen = ::GetDC(nullptr), shot = ::CreateCompatibleDC(screen);
    const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 400, 200);  // room for any label made three times as tall
    ::SelectObject(shot, bitmap);
    LONG top = 10;  // the labels one below the other, right of the controls
    for (int id : {kHoverLabel, kInstructionsLabel, kSampleListLabel, kMessagesLabel}) {
        const HWND label = app.Control(id);
        RECT r{};
        const LONG w = (::GetClientRect(label, &r), r.right), h = r.bottom;
        ASSERT_TRUE(::SetWindowPos(label, nullptr, 800, top, w, 3 * h, SWP_NOZORDER | SWP_NOACTIVATE));
        top += 3 * h + 10;
        POINT ink{-1, -1}, before{-2, -2};  // the right- and bottommost pixels unlike the bottom right corner
        const auto inkStill = [&] {  // ink shown, and the same in two shots in a row
            POINT at{0, 0};
            ::ClientToScreen(label, &at);
            ::BitBlt(shot, 0, 0, w, 3 * h, screen, at.x, at.y, SRCCOPY);
            before = std::exchange(ink, POINT{-1, -1});
            for (LONG y = 0; y < 3 * h; ++y)
                for (LONG x = 0; x < w; ++x)
                    if (::GetPixel(shot, x, y) != ::GetPixel(shot, w - 1, 3 * h - 1)) ink = {std::max(ink.x, x), std::max(ink.y, y)};
            return ink.y >= 0 && ink.x == before.x && ink.y == before.y;
        };
        ASSERT_TRUE(WaitUntil(inkStill)) << id << ": no text shown";
        EXPECT_TRUE(ink.x < w - 1 && ink.y < h) << id << ": ink to " << ink.x << "," << ink.y << " in " << w << "x" << h;
    }
    ::DeleteDC(shot), ::DeleteObject(bitmap), ::ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace nle2e
