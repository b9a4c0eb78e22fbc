// The wheel recording as a developer reads it: the --wheel-csv rows of real,
// injected, posted and sent wheel input, the analysis window's list, Copy
// and Save as CSV, and a file that is not Notchlog's.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <regex>

#include "driver/driver.h"

#include <commctrl.h>

namespace nle2e {
namespace {

namespace fs = std::filesystem;
constexpr UINT kWheelAnalysis = 0x0130;  // system menu command

struct TempCsv {  // a path in the temporary folder, removed at the end
    const fs::path path = fs::temp_directory_path() / Format(L"notchlog-wheel-%lu-%lu.csv", ::GetCurrentProcessId(), ::GetTickCount());
    ~TempCsv() {
        std::error_code e;
        fs::remove(path, e);
        fs::remove(path.wstring() + L".saved.csv", e);
    }
};

// A wheel button on the X display, as the hardware gives it: Wine starts the
// Linux program itself (it hands back no process to wait for).
void XWheelButton(int button) {
    std::wstring command = Format(L"Z:\\usr\\bin\\xdotool click %d", button);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) ThrowLastError("xdotool");
    if (pi.hProcess) ::CloseHandle(pi.hProcess);
    if (pi.hThread) ::CloseHandle(pi.hThread);
}

// A point of the main window's client area with no child under it.
POINT BarePoint(HWND main) {
    RECT client{};
    ::GetClientRect(main, &client);
    for (LONG y = client.bottom - 3; y > 0; y -= 7)
        for (LONG x = client.right - 3; x > 0; x -= 7)
            if (::ChildWindowFromPointEx(main, POINT{x, y}, CWP_ALL) == main) {
                POINT p{x, y};
                ::ClientToScreen(main, &p);
                return p;
            }
    throw DriverError("no bare point in the main window");
}

HWND AnalysisWindowOf(DWORD pid) {
    HWND w = nullptr;
    if (!WaitUntil([&] { return (w = ShownWindowOf(pid, L"NotchlogAnalysis")) != nullptr; })) throw DriverError("no analysis window");
    return w;
}

TEST(WheelAnalysis, EveryWheelMessageIsOneRowWhateverItsPathAndTheWindowShowsAndSavesThem) {
    TempCsv csv;
    Notchlog app(L"--wheel-csv \"" + csv.path.wstring() + L"\"");
    Foreground(app.Main());
    // Input over a child reaches the main window through the child's default
    // handling, which the system reports as posted: input goes to a bare point.
    const HWND main = app.Main();
    const POINT bare = BarePoint(main);
    const LPARAM bareLp = MAKELPARAM(bare.x, bare.y);
    MoveCursor(bare);

    // What each step adds; the exact columns from window to key_mismatch, then bounce.
    struct Step {
        std::function<void()> act;
        std::vector<const char*> rows;
        POINT at;  // pos_x/pos_y and the window there (target); none for sent rows
        HWND target;
    };
    const char* const kInjected120 = "main,V,120,1.000,3,3,3,3,0.000,injected,00000000,0,0000,,0";
    const auto exact = [](const std::vector<std::string>& r) {
        std::string s = r.at(4);
        for (int c = 5; c <= 17; ++c) s += "," + r.at(c);
        return s + "," + r.at(22);
    };
    const Step steps[] = {
        {[&] { Send(app.Main(), WM_MOUSEWHEEL, MAKEWPARAM(0, -120), bareLp); },
         {"main,V,-120,-1.000,3,-3,-3,-3,0.000,sent,,,0000,,0"}, {}, nullptr},
        // A touchpad's small deltas: dividing first scrolls nothing, rounding nothing, accumulating one line each.
        {[] { InjectWheel({30, 30, 30, 30}); },
         {"main,V,30,0.250,3,0,0,0,0.750,injected,00000000,0,0000,,0", "main,V,30,0.250,3,0,0,1,0.500,injected,00000000,0,0000,,0",
          "main,V,30,0.250,3,0,0,1,0.250,injected,00000000,0,0000,,0", "main,V,30,0.250,3,0,0,1,0.000,injected,00000000,0,0000,,0"},
         bare, main},
        {[&] { InjectWheel({120}, true); }, {"main,H,120,1.000,3,3,3,3,0.000,injected,00000000,0,0000,,0"}, bare, main},
        {[] { XWheelButton(4); }, {"main,V,120,1.000,3,3,3,3,0.000,hardware,00000000,0,0000,,0"}, bare, main},
        {[] { InjectWheel({120}); }, {kInjected120}, bare, main},
        {[&] { Post(app.Main(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 120), bareLp); },  // a pinch: Ctrl in the message only
         {"main,V,120,1.000,3,3,3,3,0.000,posted,00000000,0,0008,ctrl,0"}, bare, main},
        {[] { InjectWheel({120}, false, 0xFF515700); }, {"main,V,120,1.000,3,3,3,3,0.000,injected,FF515700,1,0000,,0"}, bare, main},
        // A worn wheel: one notch back right after two forward is a bounce; after a pause it is not.
        {[] { InjectWheel({120, 120, -120}); },
         {kInjected120, kInjected120, "main,V,-120,-1.000,3,-3,-3,-3,0.000,injected,00000000,0,0000,,1"}, bare, main},
        {[] {
             InjectWheel({120, 120});
             const auto until = std::chrono::steady_clock::now() + 60ms;  // 20 ms past the bounce window
             WaitUntil([&] { return std::chrono::steady_clock::now() >= until; });
             InjectWheel({-120});
         },
         {kInjected120, kInjected120, "main,V,-120,-1.000,3,-3,-3,-3,0.000,injected,00000000,0,0000,,0"}, bare, main},
    };
    std::size_t expected = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.rows.back());
        step.act();
        expected += step.rows.size();
        ASSERT_TRUE(WaitUntil([&] { return WheelCsvRows(csv.path.wstring()).size() >= expected; })) << WheelCsvRows(csv.path.wstring()).size() << " rows";
        const auto rows = WheelCsvRows(csv.path.wstring());
        ASSERT_EQ(rows.size(), expected);
        for (std::size_t i = 0; i < step.rows.size(); ++i) {
            const auto& r = rows[expected - step.rows.size() + i];
            ASSERT_EQ(r.size(), 25u);
            EXPECT_EQ(exact(r), step.rows[i]);
            EXPECT_EQ(r[0], std::to_string(expected - step.rows.size() + i + 1));
            EXPECT_TRUE(std::regex_match(r[1], std::regex("\\d+\\.\\d{3}"))) << r[1];
            const bool sent = step.target == nullptr;
            EXPECT_TRUE(std::regex_match(r[2], std::regex(sent ? "" : "\\d+"))) << r[2];
            EXPECT_TRUE(std::regex_match(r[3], std::regex(expected == 1 || r[5] == "H" ? "" : "-?\\d+\\.\\d{3}"))) << r[3];
            const std::string pos = sent ? "," : std::to_string(step.at.x) + "," + std::to_string(step.at.y);
            EXPECT_EQ(r[20] + "," + r[21], pos);
            EXPECT_EQ(r[23], sent ? "" : Narrow(Format(L"%08lX", static_cast<unsigned long>(Handle32(step.target)))));
            EXPECT_EQ(r[24], "");
            if (r[5] == "V") {
                EXPECT_EQ(r[18] + "," + r[19], std::to_string(bare.x) + "," + std::to_string(bare.y));
            }
        }
    }

    // The analysis window, opened from the system menu, records what reaches it too and lists every row.
    Post(app.Main(), WM_SYSCOMMAND, kWheelAnalysis);
    const HWND analysis = AnalysisWindowOf(app.Pid());
    EXPECT_EQ(TextOf(analysis), L"Notchlog - wheel analysis");
    Post(analysis, WM_MOUSEWHEEL, MAKEWPARAM(0, 240), MAKELPARAM(5, 6));
    ASSERT_TRUE(WaitUntil([&] { return WheelCsvRows(csv.path.wstring()).size() == expected + 1; }));
    EXPECT_EQ(exact(WheelCsvRows(csv.path.wstring()).back()), "analysis,V,240,2.000,3,6,6,6,0.000,posted,00000000,0,0000,,0");
    const HWND list = ::FindWindowExW(analysis, nullptr, L"SysListView32", nullptr);
    ASSERT_TRUE(WaitUntil([&] { return Send(list, LVM_GETITEMCOUNT) == static_cast<LRESULT>(expected + 1); }));

    // Copy: the header and the selected row, the newest.
    const std::string file = Contents(csv.path);
    const std::string newest = file.substr(file.rfind("\r\n", file.size() - 3) + 2);
    WriteClipboard(L"(before the copy)");
    Send(::GetDlgItem(analysis, 202), BM_CLICK);
    EXPECT_EQ(Narrow(ReadClipboard().value_or(L"")), kWheelCsvHeaderText + "\r\n" + newest);

    // Save as CSV of a run never cleared: the streamed file, byte for byte.
    const fs::path saved = csv.path.wstring() + L".saved.csv";
    Post(::GetDlgItem(analysis, 203), BM_CLICK);
    HWND dialog = nullptr, name = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = ShownWindowOf(app.Pid(), L"#32770")) && (name = ::GetDlgItem(dialog, 0x47C)); }));
    Send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(saved.c_str()));
    Post(::GetDlgItem(dialog, IDOK), BM_CLICK);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(saved) && Contents(saved) == Contents(csv.path); }))
        << Contents(saved).size() << " bytes saved, " << file.size() << " streamed";
}

TEST(WheelAnalysis, AFileWithAnotherHeaderIsLeftAsItWasWithANotice) {
    TempCsv csv;
    const std::string other = kWheelCsvHeaderText.substr(0, kWheelCsvHeaderText.rfind(",target")) + "\r\n1,2\r\n";  // the header without two columns
    std::ofstream(csv.path, std::ios::binary) << other;
    Notchlog app(L"/wheel-csv \"" + csv.path.wstring() + L"\"");
    const MessageBoxSeen box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, L"The wheel CSV file " + csv.path.wstring() + L" cannot be written to:\nIts first line is not "
                        L"Notchlog's header line, so nothing is added to it.\n\nNotchlog runs without it.");
    Press(box, IDOK);
    Send(app.Main(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    app.Mark();
    EXPECT_EQ(app.Close(), 0u);
    EXPECT_EQ(Contents(csv.path), other);
}

TEST(WheelAnalysis, CaptureSeesWheelInputOverOtherWindowsAndTheDesktopUntilTurnedOff) {
    TempCsv csv;
    Notchlog app(L"--capture-all --wheel-csv \"" + csv.path.wstring() + L"\"");
    TestWindow other(L"NotchlogCaptureTest", L"another program", {1000, 800, 1200, 950});
    Foreground(other.Get());  // raw input arrives while another program is in front
    const POINT overOther = CentreOf(other.Get()), desktop{1270, 1015};
    const auto captured = [&](std::size_t from) {  // window,axis,delta,source,pos_x,pos_y,target; device's form
        std::vector<std::string> rows;
        const auto all = WheelCsvRows(csv.path.wstring());
        for (std::size_t i = from; i < all.size(); ++i) {
            const auto& r = all[i];
            if (r[4] != "hook" && r[4] != "raw") continue;
            rows.push_back(r[4] + "," + r[5] + "," + r[6] + "," + r[13] + "," + r[20] + "," + r[21] + "," + r[23]);
            EXPECT_TRUE(std::regex_match(r[24], std::regex(r[4] == "raw" ? "[0-9A-F]{8}( [^,]*)?" : ""))) << r[24];
            EXPECT_EQ(r[16] + r[17], "0000");  // keys, key_mismatch
        }
        return rows;
    };
    const auto row = [](const char* kind, const char* axisDelta, const char* source, POINT p, HWND under) {
        return std::string(kind) + "," + axisDelta + "," + source + "," + std::to_string(p.x) + "," + std::to_string(p.y) + "," +
               Narrow(Format(L"%08lX", static_cast<unsigned long>(Handle32(under))));
    };
    MoveCursor(overOther);
    InjectWheel({120});
    InjectWheel({-60}, true);
    MoveCursor(desktop);
    InjectWheel({240});
    MoveCursor(overOther);
    XWheelButton(5);  // the X server's wheel reaches Wine over its own windows only
    const HWND nothing = ::WindowFromPoint(desktop);
    const std::vector<std::string> want{
        row("hook", "V,120", "injected", overOther, other.Get()), row("hook", "H,-60", "injected", overOther, other.Get()),
        row("hook", "V,240", "injected", desktop, nothing), row("hook", "V,-120", "hardware", overOther, other.Get())};
    std::vector<std::string> hooks, raws;
    ASSERT_TRUE(WaitUntil([&] {
        hooks.clear(), raws.clear();
        for (const auto& r : captured(0)) (r.rfind("hook", 0) == 0 ? hooks : raws).push_back(r);
        return hooks.size() >= 4 && raws.size() >= 4;
    })) << hooks.size() << " hook rows, " << raws.size() << " raw rows";
    EXPECT_EQ(hooks, want);
    EXPECT_EQ(raws.size(), 4u);
    EXPECT_EQ(raws.at(0).substr(0, raws.at(0).find(",raw,")), "raw,V,120");
    EXPECT_EQ(raws.at(1).substr(0, raws.at(1).find(",raw,")), "raw,H,-60");

    // Turned off in the analysis window: neither source records any more.
    Post(app.Main(), WM_SYSCOMMAND, kWheelAnalysis);
    const HWND check = ::GetDlgItem(AnalysisWindowOf(app.Pid()), 207);
    EXPECT_EQ(Send(check, BM_GETCHECK), BST_CHECKED);
    Send(check, BM_CLICK);
    EXPECT_EQ(Send(check, BM_GETCHECK), BST_UNCHECKED);
    const std::size_t before = WheelCsvRows(csv.path.wstring()).size();
    MoveCursor(overOther);
    InjectWheel({120});
    for (const auto& line : app.Log()) EXPECT_NE(LoggedMsg(line), static_cast<UINT>(WM_INPUT)) << Narrow(line);
    EXPECT_EQ(app.Close(), 0u);  // the recording ends with the program: its rows are all in the file
    EXPECT_EQ(captured(before), std::vector<std::string>{});
}

}  // namespace
}  // namespace nle2e
