// The system menu's commands, the log file of --log, and labels that read whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "driver/driver.h"

namespace nle2e {
namespace {

namespace fs = std::filesystem;
constexpr int kAlwaysOnTop = 0x0100, kPauseLogging = 0x0110, kSaveLog = 0x0120, kWheelAnalysis = 0x0130;  // system menu commands
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

std::string Contents(const fs::path& file) {  // read as a viewer would: fopen shares reading and writing
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The system menu's last four items, bottom up, as the menu tells the window (WM_MENUSELECT,
// logged) while the keyboard walks up to them: under Wine no other process gets the menu's handle.
MenuItems SystemMenuTail(Notchlog& app) {
    const std::size_t from = app.Mark();
    Post(app.Main(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    if (!WaitUntil([&] { return ShownWindowOf(app.Pid(), L"#32768"); })) throw DriverError("no system menu");
    for (WPARAM key : {VK_UP, VK_UP, VK_UP, VK_UP, VK_ESCAPE, VK_ESCAPE}) Post(app.Main(), WM_KEYDOWN, key);
    app.Mark();
    MenuItems items;
    for (const auto& l : app.Log(from)) {
        const auto field = [&](const wchar_t* name) { return std::wcstol(l.c_str() + l.find(name) + 5, nullptr, 10); };
        if (LoggedMsg(l) == WM_MENUSELECT && field(L" wHi=") != -1) items.emplace_back(field(L" wLo="), field(L" wHi=") & MF_CHECKED);
    }
    return MenuItems(items.end() - std::min<std::size_t>(4, items.size()), items.end());
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
        EXPECT_EQ(SystemMenuTail(app), (MenuItems{{kWheelAnalysis, false}, {kSaveLog, false}, {kPauseLogging, false}, {kAlwaysOnTop, on}}));
    }
}

TEST(Features, PausedMessagesAreHandledAsBeforeButLoggedNoMoreUntilTheResumeClick) {
    Notchlog app;
    const POINT green = CentreOf(app.Control(kWheelTarget));
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
    EXPECT_EQ(SystemMenuTail(app), (MenuItems{{kWheelAnalysis, false}, {kSaveLog, false}, {kPauseLogging, false}, {kAlwaysOnTop, false}}));
}

TEST(Features, SaveWritesEveryLineWithCrLfAndLeavesAReadOnlyFileAsItWas) {
    Folder dir;
    const fs::path file = dir.path / L"saved.log";
    Notchlog app;
    Send(app.Main(), WM_SYSCOMMAND, kPauseLogging);  // the log holds still from here on
    EXPECT_EQ(SaveAs(app, file), L"notchlog.log");
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(file); }));
    const std::string saved = Contents(file);
    EXPECT_EQ(saved, Narrow(app.Copy(kCopyLogButton)) + "\r\n");

    Send(app.Control(kClearLogButton), BM_CLICK);  // saving the empty log would empty the file
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::remove);  // read-only
    SaveAs(app, file);
    Press(WaitForMessageBox(app.Pid()), IDYES);  // the dialog's own "replace?"
    WaitUntil([&] { const HWND box = ShownWindowOf(app.Pid(), L"#32770"); return (box && ::GetDlgItem(box, 0xFFFF)) || Contents(file) != saved; });
    ASSERT_TRUE(Contents(file) == saved) << "the read-only file was replaced";
    const MessageBoxSeen error = WaitForMessageBox(app.Pid());
    EXPECT_TRUE(error.caption == L"Notchlog" && error.text.rfind(L"The log could not be saved to " + file.wstring(), 0) == 0)
        << Narrow(error.text);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 1);  // no temporary file left beside it
}

TEST(Features, LogFileGetsEveryLineAsLoggedKeepsThemAtClearAndANextRunAppends) {
    Folder dir;
    const fs::path file = dir.path / L"run.log";
    std::string want;
    for (const wchar_t* option : {L"--log", L"/log"}) {
        SCOPED_TRACE(Narrow(option));
        Notchlog app(Format(L"%ls \"%ls\"", option, file.c_str()));
        for (int round = 0; round < 2; ++round, Send(app.Control(kClearLogButton), BM_CLICK)) {
            for (int i = 0; i < 200; ++i) Post(app.Main(), WM_APP + 1, i);
            for (const auto& line : app.Settle()) want += Narrow(line) + "\r\n";  // after what the file had
            WaitUntil([&] { return Contents(file) == want; });  // lines reach it at the next refresh
            EXPECT_EQ(Contents(file), want);
        }
        EXPECT_EQ(app.Close(), 0u);
        want = Contents(file);  // and the lines of the closing
    }
    const std::wstring unopenable = dir.path.wstring() + L"\\none\\run.log";
    Notchlog app(L"--log \"" + unopenable + L"\"");
    const MessageBoxSeen box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text.rfind(L"The log file " + unopenable + L" cannot be opened:", 0), 0u) << Narrow(box.text);
    Press(box, IDOK);
    app.Mark();  // running
}

TEST(Features, EveryLabelReadsWholeAt96Dpi) {
    Notchlog app;
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HFONT bold = ::CreateFontW(-::MulDiv(825, 96, 7200), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
    for (int id : {kHoverLabel, kInstructionsLabel, kSampleListLabel, kMessagesLabel}) {
        RECT client{}, text{};
        ::GetClientRect(app.Control(id), &client);
        text.right = client.right;
        ::SelectObject(dc, id == kInstructionsLabel ? bold : ::GetStockObject(DEFAULT_GUI_FONT));
        ::DrawTextW(dc, TextOf(app.Control(id)).c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK);
        EXPECT_TRUE(text.right <= client.right && text.bottom <= client.bottom) << id << ": " << text.right << "x" << text.bottom;
    }
    ::DeleteDC(dc);
    ::DeleteObject(bold);
}

}  // namespace
}  // namespace nle2e
