// The reference process for the benchmark: one top-level window whose
// procedure is DefWindowProc, run by the same kind of message loop as
// Notchlog's (ANSI GetMessage, TranslateMessage, DispatchMessage). It does
// one thing of its own: a button-click WM_COMMAND puts a short text on the
// clipboard, as Notchlog's "Copy" under the green area does, so the
// benchmark's end-of-drain marker costs the same in both processes.
#include <windows.h>

#include <cstring>

namespace {

const char kClassName[] = "NotchlogBenchBare";

// About as long as the text Notchlog copies after a wheel event.
const char kMarkerText[] =
    "00:00:00\r\nDelta = 1, Shift = 0\r\nX/Y = 0/0\r\nWindowFromPoint = 0 (green: 0)\r\n"
    "Class = \r\nRect = (0, 0)-(0, 0) 0x0\r\nnumWheelScrollLines = 3";

void CopyMarkerText(HWND owner) {
    bool open = false;
    for (int attempt = 0; attempt < 25 && !open; ++attempt) {
        open = ::OpenClipboard(owner) != FALSE;
        if (!open) ::Sleep(20);
    }
    if (!open) return;
    ::EmptyClipboard();
    const int srcLen = static_cast<int>(std::strlen(kMarkerText));
    const int wideLen = ::MultiByteToWideChar(CP_ACP, 0, kMarkerText, srcLen, nullptr, 0);
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, (static_cast<SIZE_T>(wideLen) + 1) * sizeof(wchar_t));
    if (mem) {
        if (auto* dst = static_cast<wchar_t*>(::GlobalLock(mem))) {
            ::MultiByteToWideChar(CP_ACP, 0, kMarkerText, srcLen, dst, wideLen);
            dst[wideLen] = L'\0';
            ::GlobalUnlock(mem);
            if (!::SetClipboardData(CF_UNICODETEXT, mem)) ::GlobalFree(mem);
        } else {
            ::GlobalFree(mem);
        }
    }
    ::CloseClipboard();
}

LRESULT CALLBACK WindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED) {
                CopyMarkerText(h);
                return 0;
            }
            break;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcA(h, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassA(&wc)) return 1;

    // The size of Notchlog's window (729 x 410 client pixels at 96 dpi).
    RECT rc{0, 0, 729, 410};
    ::AdjustWindowRectEx(&rc, WS_OVERLAPPEDWINDOW, FALSE, 0);
    HWND w = ::CreateWindowExA(0, kClassName, "Notchlog bench reference", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               CW_USEDEFAULT, CW_USEDEFAULT, rc.right - rc.left, rc.bottom - rc.top, nullptr,
                               nullptr, instance, nullptr);
    if (!w) return 1;
    ::ShowWindow(w, showCommand);
    ::UpdateWindow(w);

    MSG msg{};
    for (;;) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
