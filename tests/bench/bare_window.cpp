// The benchmark's reference: a window as large as Notchlog's, DefWindowProc
// and the same kind of message loop. It keeps the end marker's wParam as its
// user data (read without sending this thread anything), and on
// kPlatformRefresh refreshes a list box and scroll bar laid out like
// Notchlog's log and wheel scroll bar as Notchlog's refresh does, answering
// the microseconds it took; they are made on the first request, unseen before.
// On kPlatformOps it times one of the platform calls Notchlog makes per
// message on top of this window's work (PlatformOp, the screen point in
// lParam). On kCaptureFloor (wParam 1 on, 0 off) it captures the way Notchlog
// does, doing nothing with what it gets: an empty low-level mouse hook on a
// time-critical thread, and raw input taken with RIDEV_INPUTSINK whose
// WM_INPUT only reads the record.
#include <windows.h>

#include <cstdio>

namespace {

constexpr UINT kEndMarker = WM_APP + 0x3FF;  // the end-to-end driver's marker
constexpr UINT kPlatformRefresh = WM_APP + 0x100;
constexpr UINT kPlatformOps = WM_APP + 0x101;
constexpr UINT kCaptureFloor = WM_APP + 0x102;
enum PlatformOp { kLogLine, kWindowFromPoint, kKeyboardState, kClassName, kWindowRect, kScrollBarCalls, kMessageQueries };
HWND g_list = nullptr, g_bar = nullptr;
int g_lines = 0;
HANDLE g_floorThread = nullptr;
DWORD g_floorThreadId = 0;

void AddLogLikeLine() {
    char line[96];
    const int n = ++g_lines;
    std::snprintf(line, sizeof line, "%02d:%02d:%02d.%03d  hWnd=1008E\tuMsg= 20A wHi=%d wLo=0 lHi=%d lLo=%d",
                  n / 3600000 % 24, n / 60000 % 60, n / 1000 % 60, n % 1000, n % 2 ? 120 : -120, 300 + n % 7,
                  400 + n % 11);
    ::SendMessageA(g_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
}

LRESULT PlatformRefresh(HWND parent) {
    if (!g_list) {  // Notchlog's log (Courier New 8.25 pt) and wheel scroll bar at 96 dpi, the log filled
        const DWORD listStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT;
        g_list = ::CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", listStyle, 44, 210, 567, 186, parent, nullptr,
                                   nullptr, nullptr);
        g_bar = ::CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 12, 20, 21, 383, parent,
                                  nullptr, nullptr, nullptr);
        HFONT font = ::CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
        ::SendMessageA(g_list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ::SetScrollRange(g_bar, SB_CTL, 0, 1000, FALSE);
        ::SendMessageA(g_list, WM_SETREDRAW, FALSE, 0);
        while (g_lines < 1000) AddLogLikeLine();
        ::SendMessageA(g_list, WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    // A few new lines shown, the newest selected and scrolled into view, the
    // list repainted, the scroll bar moved and repainted.
    LARGE_INTEGER frequency{}, t0{}, t1{};
    ::QueryPerformanceFrequency(&frequency), ::QueryPerformanceCounter(&t0);
    ::SendMessageA(g_list, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < 3; ++i) AddLogLikeLine();
    ::SendMessageA(g_list, LB_SETCURSEL, static_cast<WPARAM>(g_lines - 1), 0);
    ::SendMessageA(g_list, LB_SETTOPINDEX, static_cast<WPARAM>(g_lines - 1), 0);
    ::SendMessageA(g_list, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(g_list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ::SetScrollPos(g_bar, SB_CTL, g_lines % 2 ? 500 : 497, FALSE);
    ::RedrawWindow(g_bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ::QueryPerformanceCounter(&t1);
    return static_cast<LRESULT>((t1.QuadPart - t0.QuadPart) * 1000000 / frequency.QuadPart);
}

// One operation as Notchlog's wheel path makes it: the scroll bar's calls
// are its visibility, its state and its move; the message queries the time
// stamps, the key word's source and where the message came from.
void PlatformCall(WPARAM what, POINT at, HWND under, int i) {
    SYSTEMTIME now;
    BYTE keys[256];
    char name[256];
    RECT r;
    SCROLLINFO si{};
    si.cbSize = sizeof si, si.fMask = SIF_ALL;
    LARGE_INTEGER ticks;
    switch (what) {
        case kLogLine: ::GetLocalTime(&now), AddLogLikeLine(); break;
        case kWindowFromPoint: ::WindowFromPoint(at); break;
        case kKeyboardState: ::GetKeyboardState(keys); break;
        case kClassName: ::GetClassNameA(under, name, sizeof name); break;
        case kWindowRect: ::GetWindowRect(under, &r); break;
        case kScrollBarCalls:
            ::IsWindowVisible(g_bar), ::GetScrollInfo(g_bar, SB_CTL, &si), ::SetScrollPos(g_bar, SB_CTL, i % 2 ? 500 : 497, FALSE);
            break;
        case kMessageQueries:
            ::QueryPerformanceCounter(&ticks), ::InSendMessage(), ::GetMessageTime(), ::GetMessageExtraInfo(), ::GetMessagePos();
            break;
    }
}

LRESULT PlatformOps(WPARAM what, LPARAM point) {  // hundredths of a microsecond per operation
    const int n = what == kWindowFromPoint ? 200 : 2000;
    const POINT at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    const HWND under = ::WindowFromPoint(at);
    LARGE_INTEGER frequency{}, t0{}, t1{};
    ::SendMessageA(g_list, WM_SETREDRAW, FALSE, 0);
    ::QueryPerformanceFrequency(&frequency), ::QueryPerformanceCounter(&t0);
    for (int i = 0; i < n; ++i) PlatformCall(what, at, under, i);
    ::QueryPerformanceCounter(&t1);
    ::SendMessageA(g_list, WM_SETREDRAW, TRUE, 0);
    return static_cast<LRESULT>((t1.QuadPart - t0.QuadPart) * 100000000 / frequency.QuadPart / n);
}

LRESULT CALLBACK EmptyHook(int code, WPARAM wp, LPARAM lp) { return ::CallNextHookEx(nullptr, code, wp, lp); }

DWORD WINAPI FloorHookThread(void* ready) {
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    MSG m;
    ::PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
    const HHOOK hook = ::SetWindowsHookExW(WH_MOUSE_LL, &EmptyHook, ::GetModuleHandleW(nullptr), 0);
    ::SetEvent(ready);
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) ::DispatchMessageW(&m);
    if (hook) ::UnhookWindowsHookEx(hook);
    return 0;
}

LRESULT CaptureFloor(HWND w, bool on) {
    if (on == (g_floorThread != nullptr)) return 1;
    if (on) {
        const HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        g_floorThread = ::CreateThread(nullptr, 0, &FloorHookThread, ready, 0, &g_floorThreadId);
        ::WaitForSingleObject(ready, INFINITE);
        ::CloseHandle(ready);
        const RAWINPUTDEVICE mouse{1, 2, RIDEV_INPUTSINK, w};
        return ::RegisterRawInputDevices(&mouse, 1, sizeof mouse);
    }
    const RAWINPUTDEVICE mouse{1, 2, RIDEV_REMOVE, nullptr};
    ::RegisterRawInputDevices(&mouse, 1, sizeof mouse);
    ::PostThreadMessageW(g_floorThreadId, WM_QUIT, 0, 0);
    ::WaitForSingleObject(g_floorThread, INFINITE);
    ::CloseHandle(g_floorThread);
    g_floorThread = nullptr;
    return 1;
}

LRESULT CALLBACK WindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kEndMarker) return ::SetWindowLongPtrA(h, GWLP_USERDATA, static_cast<LONG_PTR>(wp)), 0;
    if (msg == kPlatformRefresh) return PlatformRefresh(h);
    if (msg == kPlatformOps) return PlatformOps(wp, lp);
    if (msg == kCaptureFloor) return CaptureFloor(h, wp != 0);
    if (msg == WM_INPUT) {
        RAWINPUT raw;
        UINT size = sizeof raw;
        ::GetRawInputData(reinterpret_cast<HRAWINPUT>(lp), RID_INPUT, &raw, &size, sizeof(RAWINPUTHEADER));
    }
    if (msg == WM_DESTROY) CaptureFloor(h, false), ::PostQuitMessage(0);
    return ::DefWindowProcA(h, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "NotchlogBenchBare";
    RECT rc{0, 0, 729, 410};  // Notchlog's client area at 96 dpi
    ::AdjustWindowRectEx(&rc, WS_OVERLAPPEDWINDOW, FALSE, 0);
    if (!::RegisterClassA(&wc)) return 1;
    HWND w = ::CreateWindowExA(0, wc.lpszClassName, "Notchlog bench reference", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               CW_USEDEFAULT, CW_USEDEFAULT, rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr,
                               instance, nullptr);
    if (!w) return 1;
    ::ShowWindow(w, showCommand);
    ::UpdateWindow(w);
    MSG msg{};
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
