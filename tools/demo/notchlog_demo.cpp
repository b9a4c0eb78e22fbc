// notchlog_demo.exe OUT.bmp
//
// Starts Notchlog and works it as a user would: one wheel notch away from
// the green area, a few notches over it, Ctrl held over the hover panel.
// Then saves a picture of its window as a 24-bit BMP, prints the message
// log, the wheel description and the hover description (the last two as the
// Copy buttons put them on the clipboard) to stdout, closes the program and
// waits for it to end. Meant for a display nobody looks at (Xvfb).
//
// The wheel and the key go through the X display itself (xdotool), the way
// a real mouse and keyboard reach Wine; where xdotool is not at hand (on
// Windows) the system's own input injection stands in.
//
// With --analysis first, it shows the wheel analysis window instead: a
// scripted mix of touchpad-like small deltas, a horizontal scroll and a
// bounce, injected over the window, then a picture of that window.
//
// With --wheel-test first, it opens the wheel test window on a list box of
// its own (in a window beside Notchlog's, one that drops the wheel's
// sub-notch deltas, a fault the test finds), starts the test, waits for its
// end and takes a picture of the wheel test window.
//
// With --replay first, it writes a trace of a touchpad's flick and replays
// it from the wheel test window into a list box of its own that takes 40 ms
// over every wheel message (it falls behind), waits for the end and takes a
// picture of the wheel test window.
//
// The demo is a list of steps run in order; to show more, add a step.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "driver/driver.h"

namespace {

using nle2e::Notchlog;

struct Demo {
    Notchlog& app;
    std::wstring bmpPath;
};

void Say(const char* text) { std::fprintf(stderr, "notchlog_demo: %s\n", text); }

// Prints one text as a line of stdout (UTF-8, LF).
void PrintLine(const std::wstring& text) {
    const std::string s = nle2e::Narrow(text);
    std::fwrite(s.data(), 1, s.size(), stdout);
    std::fputc('\n', stdout);
}

// The green target area shows its colour once the window has been painted.
void WaitForFirstPaint(Demo& d) {
    const HWND green = d.app.Control(nle2e::kWheelHitArea);
    const bool painted = nle2e::WaitUntil([&] {
        const POINT c = nle2e::CentreOf(green);
        return nle2e::PixelAt(c) == RGB(0x80, 0xFF, 0x80);
    });
    if (!painted) Say("the green area never showed on the screen; capturing what is there");
}

// ---- input ------------------------------------------------------------------

// Runs xdotool with the arguments; false when it could not be started.
bool Xdotool(const std::wstring& args) {
    static const wchar_t* const kXdotool = L"/usr/bin/xdotool";
    if (::GetFileAttributesW(nle2e::WindowsPath(kXdotool).c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    std::wstring command = std::wstring(kXdotool) + L" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    const bool done = ::WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0;
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    return done;
}

void PointerTo(POINT p) {
    if (!Xdotool(L"mousemove " + std::to_wstring(p.x) + L" " + std::to_wstring(p.y))) ::SetCursorPos(p.x, p.y);
    nle2e::WaitUntil([&] {
        POINT now{};
        return ::GetCursorPos(&now) && now.x == p.x && now.y == p.y;
    });
}

// One notch towards the user (button 5 on X, a delta of -120).
void WheelBack() {
    if (Xdotool(L"click 5")) return;
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
    ::SendInput(1, &in, sizeof in);
}

void Ctrl(bool down) {
    if (Xdotool(down ? L"keydown ctrl" : L"keyup ctrl")) return;
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = VK_CONTROL;
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    ::SendInput(1, &in, sizeof in);
}

int WheelLinesIn(const Notchlog& app) {
    int n = 0;
    for (const auto& line : app.Log())
        if (nle2e::LoggedMsg(line) == WM_MOUSEWHEEL) ++n;
    return n;
}

// Turns the wheel one notch at the pointer and waits until Notchlog has logged it.
void OneNotchAt(Demo& d, POINT p) {
    PointerTo(p);
    const int before = WheelLinesIn(d.app);
    WheelBack();
    if (!nle2e::WaitUntil([&] { return WheelLinesIn(d.app) > before; }))
        throw nle2e::DriverError("the wheel notch never reached Notchlog");
}

// Waits until a window has nothing left to paint.
void WaitPainted(HWND w) {
    nle2e::WaitUntil([&] { return !::GetUpdateRect(w, nullptr, FALSE); });
}

void WheelAwayFromTheGreenArea(Demo& d) {
    ::SetForegroundWindow(d.app.Main());
    OneNotchAt(d, nle2e::CentreOf(d.app.Control(nle2e::kCopyLogButton)));
}

void WheelOverTheGreenArea(Demo& d) {
    RECT r{};
    ::GetWindowRect(d.app.Control(nle2e::kWheelHitArea), &r);
    // Low on the right, clear of the text the area prints at its top left.
    const POINT p{r.right - 30, r.bottom - 12};
    for (int i = 0; i < 3; ++i) OneNotchAt(d, p);
    WaitPainted(d.app.Control(nle2e::kWheelHitArea));
}

// Whether anything darker than the background shows in the first text line.
bool HasTextAtTop(HWND box) {
    POINT origin{0, 0};
    ::ClientToScreen(box, &origin);
    const COLORREF back = nle2e::PixelAt(POINT{origin.x + 200, origin.y + 60});
    for (int y = 2; y < 12; y += 2)
        for (int x = 2; x < 60; ++x)
            if (nle2e::PixelAt(POINT{origin.x + x, origin.y + y}) != back) return true;
    return false;
}

void HoldCtrlOverTheHoverPanel(Demo& d) {
    RECT r{};
    const HWND panel = d.app.Control(nle2e::kHoverPanel);
    ::GetWindowRect(panel, &r);
    PointerTo(POINT{r.right - 40, r.bottom - 12});
    ::SetForegroundWindow(d.app.Main());
    Ctrl(true);
    // The panel was blank; its first line of text shows the inspection.
    const bool described = nle2e::WaitUntil([&] { return HasTextAtTop(panel); }, std::chrono::seconds(5));
    Ctrl(false);
    if (!described) Say("the hover panel did not change; is the keyboard reaching the window?");
    WaitPainted(panel);
}

// Copies a screen rectangle into a 24-bit BMP file.
void SaveScreenBmp(const RECT& r, const std::wstring& path) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int stride = (width * 3 + 3) & ~3;  // rows padded to 4 bytes
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // bottom-up, as BMP files keep rows
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(stride * height);
    std::vector<char> bits(info.biSizeImage);

    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    const bool copied = ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    ::SelectObject(memory, old);
    const bool read = copied && ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), bits.data(),
                                            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == height;
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    if (!read) nle2e::ThrowLastError("capturing the screen");

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    HANDLE out = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) nle2e::ThrowLastError("creating " + nle2e::Narrow(path));
    DWORD done = 0;
    const bool written = ::WriteFile(out, &file, sizeof file, &done, nullptr) &&
                         ::WriteFile(out, &info, sizeof info, &done, nullptr) &&
                         ::WriteFile(out, bits.data(), info.biSizeImage, &done, nullptr);
    ::CloseHandle(out);
    if (!written) nle2e::ThrowLastError("writing " + nle2e::Narrow(path));
}

void CaptureWindow(Demo& d) {
    RECT r{};
    if (!::GetWindowRect(d.app.Main(), &r)) nle2e::ThrowLastError("GetWindowRect(main window)");
    SaveScreenBmp(r, d.bmpPath);
}

void PrintMessageLog(Demo& d) {
    PrintLine(L"== message log ==");
    for (const auto& line : d.app.Log()) PrintLine(line);
}

// Lines of a panel text: CR LF between them, printed one per line.
void PrintPanelText(const wchar_t* title, const std::wstring& text) {
    PrintLine(L"");
    PrintLine(title);
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(L"\r\n", start);
        PrintLine(text.substr(start, at == std::wstring::npos ? std::wstring::npos : at - start));
        if (at == std::wstring::npos) break;
        start = at + 2;
    }
}

void PrintPanelTexts(Demo& d) {
    // Both copies come after the log was printed: each click adds lines to it.
    PrintPanelText(L"== wheel info (Copy under the green area) ==", d.app.Copy(nle2e::kCopyWheelInfoButton));
    PrintPanelText(L"== hover info (Copy under the hover panel) ==", d.app.Copy(nle2e::kCopyHoverInfoButton));
}

// ---- the analysis window ------------------------------------------------------

HWND AnalysisWindow(const Demo& d) {
    HWND w = nullptr;
    if (!nle2e::WaitUntil([&] { return (w = nle2e::ShownWindowOf(d.app.Pid(), L"NotchlogAnalysis")) != nullptr; }))
        throw nle2e::DriverError("the analysis window never showed");
    return w;
}

void Inject(DWORD flags, int delta) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    in.mi.mouseData = static_cast<DWORD>(delta);
    ::SendInput(1, &in, sizeof in);
}

// Waits a little between inputs, as a hand on a touchpad does.
void Pause(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    nle2e::WaitUntil([&] { return std::chrono::steady_clock::now() >= until; });
}

void WheelMixOverTheAnalysisWindow(Demo& d) {
    const HWND w = AnalysisWindow(d);
    ::SetForegroundWindow(w);
    RECT r{};
    ::GetWindowRect(w, &r);
    nle2e::MoveCursor(POINT{r.right - 60, r.top + 40});  // the bare strip right of the buttons
    for (int delta : {8, 15, 15, 30, 30, 45, 30, 15, 8}) Inject(MOUSEEVENTF_WHEEL, delta), Pause(25);  // a touchpad's flick
    Pause(600);
    for (int delta : {120, 120, 120, 120, -120}) Inject(MOUSEEVENTF_WHEEL, delta), Pause(8);  // a bounce at the end
    Pause(600);
    for (int delta : {120, 120, -120, 60}) Inject(MOUSEEVENTF_HWHEEL, delta), Pause(60);  // the horizontal wheel
    Pause(600);
    for (int delta : {-240, -120, -120}) Inject(MOUSEEVENTF_WHEEL, delta), Pause(90);
    Pause(700);  // the list, the summary and the chart catch up
    WaitPainted(w);
}

void CaptureAnalysisWindow(Demo& d) {
    RECT r{};
    if (!::GetWindowRect(AnalysisWindow(d), &r)) nle2e::ThrowLastError("GetWindowRect(analysis window)");
    SaveScreenBmp(r, d.bmpPath);
}

// ---- the wheel test window ----------------------------------------------------

// A list box of 200 items in a window of the demo's own, for the wheel test
// to work on; the demo's waits keep it answering. `dropsSubNotch`: it takes
// no wheel message of less than a notch; `msPerWheel`: it takes that long
// over each wheel message.
struct DemoList {
    HWND frame = nullptr, list = nullptr;
    static inline WNDPROC listProc = nullptr;
    static inline bool dropsSubNotch = false;
    static inline DWORD msPerWheel = 0;
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_MOUSEWHEEL) {
            if (msPerWheel) ::Sleep(msPerWheel);
            if (dropsSubNotch && std::abs(GET_WHEEL_DELTA_WPARAM(wp)) < WHEEL_DELTA) return 0;
        }
        return ::CallWindowProcW(listProc, w, msg, wp, lp);
    }
    DemoList(bool drops, DWORD ms) {
        dropsSubNotch = drops;
        msPerWheel = ms;
        frame = ::CreateWindowExW(0, L"STATIC", L"A standard list box", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 720,
                                  60, 420, 340, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        RECT r{};
        ::GetClientRect(frame, &r);
        list = ::CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0,
                                 r.right, r.bottom, frame, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        if (!frame || !list) nle2e::ThrowLastError("making the demo's list box");
        for (int i = 1; i <= 200; ++i)
            ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((L"Line " + std::to_wstring(i)).c_str()));
        listProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~DemoList() { ::DestroyWindow(frame); }
};

HWND WheelTestWindow(const Demo& d) {
    HWND w = nullptr;
    if (!nle2e::WaitUntil([&] { return (w = nle2e::ShownWindowOf(d.app.Pid(), L"NotchlogWheelTest")) != nullptr; }))
        throw nle2e::DriverError("the wheel test window never showed");
    return w;
}

void RunTheWheelTest(Demo& d) {
    const HWND w = WheelTestWindow(d);
    nle2e::Send(::GetDlgItem(w, 307), BM_CLICK);  // Start
    const HWND progress = ::GetDlgItem(w, 310);
    if (!nle2e::WaitUntil([&] { return nle2e::TextOf(progress).rfind(L"Finished", 0) == 0; }, std::chrono::seconds(60)))
        throw nle2e::DriverError("the wheel test did not finish");
    PrintLine(nle2e::TextOf(::GetDlgItem(w, 316)));  // the Result line
    nle2e::Foreground(w);
    nle2e::Send(w, WM_NULL);
    Pause(200);  // painted
}

// A touchpad's flick and a few notches back, as Notchlog's wheel CSV, in
// the temporary folder.
std::wstring WriteFlickTrace() {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"notchlog-demo-flick.csv";
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) throw nle2e::DriverError("cannot write the demo's trace");
    std::fprintf(f, "%s\r\n", nle2e::kWheelCsvHeaderText.c_str());
    int seq = 0, ms = 0;
    for (int delta : {-8, -15, -30, -45, -60, -60, -60, -45, -45, -30, -30, -30, -15, -15, -15, -8, -8, -8})
        std::fprintf(f, "%d,%d.000,,,main,V,%d,,,,,,,injected,00000000,,0000,,,,,,,,\r\n", ++seq, ms += 8, delta);
    for (int i = 0; i < 6; ++i)
        std::fprintf(f, "%d,%d.000,,,main,V,-120,,,,,,,injected,00000000,,0000,,,,,,,,\r\n", ++seq, ms += 30);
    for (int i = 0; i < 3; ++i)
        std::fprintf(f, "%d,%d.000,,,main,V,120,,,,,,,injected,00000000,,0000,,,,,,,,\r\n", ++seq, ms += 120);
    std::fclose(f);
    return path;
}

void WaitForTheReplay(Demo& d) {
    const HWND w = WheelTestWindow(d);
    const HWND progress = ::GetDlgItem(w, 310);
    if (!nle2e::WaitUntil([&] { return nle2e::TextOf(progress) == L"Finished."; }, std::chrono::seconds(60)))
        throw nle2e::DriverError("the replay did not finish");
    PrintLine(nle2e::TextOf(::GetDlgItem(w, 316)));  // the Result line
    nle2e::Foreground(w);
    nle2e::Send(w, WM_NULL);
    Pause(200);  // painted
}

void CaptureWheelTestWindow(Demo& d) {
    RECT r{};
    if (!::GetWindowRect(WheelTestWindow(d), &r)) nle2e::ThrowLastError("GetWindowRect(wheel test window)");
    SaveScreenBmp(r, d.bmpPath);
}

struct Step {
    const char* name;
    void (*run)(Demo&);
};

const Step kAnalysisSteps[] = {
    {"turn the wheel over the analysis window", WheelMixOverTheAnalysisWindow},
    {"capture the analysis window", CaptureAnalysisWindow},
};

const Step kWheelTestSteps[] = {
    {"run the wheel test on a list box", RunTheWheelTest},
    {"capture the wheel test window", CaptureWheelTestWindow},
};

const Step kReplaySteps[] = {
    {"replay a flick into a slow list box", WaitForTheReplay},
    {"capture the wheel test window", CaptureWheelTestWindow},
};

const Step kSteps[] = {
    {"wait for the first paint", WaitForFirstPaint},
    {"turn the wheel away from the green area", WheelAwayFromTheGreenArea},
    {"turn the wheel over the green area", WheelOverTheGreenArea},
    {"hold Ctrl over the hover panel", HoldCtrlOverTheHoverPanel},
    {"capture the window", CaptureWindow},
    {"print the message log", PrintMessageLog},
    {"print the panel texts", PrintPanelTexts},
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // LF line ends, as written
    const std::wstring mode = argc == 3 ? argv[1] : L"";
    if (argc != 2 && mode != L"--analysis" && mode != L"--wheel-test" && mode != L"--replay") {
        std::fprintf(stderr, "usage: notchlog_demo.exe [--analysis | --wheel-test | --replay] OUT.bmp\n");
        return 2;
    }
    try {
        std::optional<DemoList> list;
        std::wstring args = mode;
        std::vector<Step> steps(std::begin(kSteps), std::end(kSteps));
        if (mode == L"--analysis") steps.assign(std::begin(kAnalysisSteps), std::end(kAnalysisSteps));
        if (mode == L"--wheel-test") {
            list.emplace(true, 0);
            args = nle2e::Format(L"--test-target 0x%lX", nle2e::Handle32(list->list));
            steps.assign(std::begin(kWheelTestSteps), std::end(kWheelTestSteps));
        }
        if (mode == L"--replay") {
            list.emplace(false, 40);
            args = nle2e::Format(L"--replay \"%ls\" --test-target 0x%lX", WriteFlickTrace().c_str(),
                                 nle2e::Handle32(list->list));
            steps.assign(std::begin(kReplaySteps), std::end(kReplaySteps));
        }
        Notchlog app(args);
        Demo demo{app, nle2e::WindowsPath(argv[argc - 1])};
        for (const Step& step : steps) {
            try {
                step.run(demo);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "notchlog_demo: step \"%s\" failed: %s\n", step.name, e.what());
                return 1;
            }
        }
        std::fflush(stdout);
        const DWORD code = app.Close();
        if (code != 0) {
            std::fprintf(stderr, "notchlog_demo: Notchlog.exe ended with exit code %lu\n",
                         static_cast<unsigned long>(code));
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "notchlog_demo: %s\n", e.what());
        return 1;
    }
}
