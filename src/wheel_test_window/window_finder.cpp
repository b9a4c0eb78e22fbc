#include "wheel_test_window/window_finder.h"

#include "win32/api.h"
#include "win32/raii.h"

namespace nl {

namespace {
const char* const kFinderClass = "NotchlogFinder";
}

void WindowFinder::Create(HWND parent, int id, HINSTANCE instance, std::function<void(HWND)> hover,
                          std::function<void(HWND)> drop) {
    hover_ = std::move(hover);
    drop_ = std::move(drop);
    icon_ = Api(::LoadIconA(instance, MAKEINTRESOURCEA(1)));
    WNDCLASSA wc{};
    wc.hCursor = Api(::LoadCursorA(nullptr, IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterWindowClass(instance, kFinderClass, wc);
    if (!CreateAs(0, kFinderClass, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 32, 32}, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance))
        Raise(kErrInvalidCall, "The finder could not be made.");
}

HWND WindowFinder::DeepestWindowAt(POINT screen) {
    HWND w = Api(::WindowFromPoint(screen));
    for (int depth = 0; w && depth < 64; ++depth) {
        POINT client = screen;
        Api(::ScreenToClient(w, &client));
        const HWND child = Api(::ChildWindowFromPointEx(w, client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT));
        if (!child || child == w) break;
        w = child;
    }
    return w;
}

HWND WindowFinder::UnderPointer() const {
    POINT p{};
    Api(::GetCursorPos(&p));
    return DeepestWindowAt(p);
}

LRESULT WindowFinder::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            dragging_ = true;
            Api(::SetCapture(Handle()));
            Api(::SetCursor(Api(::LoadCursorA(nullptr, IDC_CROSS))));
            Api(::InvalidateRect(Handle(), nullptr, TRUE));  // the icon leaves its place while it travels
            return 0;
        case WM_MOUSEMOVE:
            if (dragging_ && hover_) hover_(UnderPointer());
            return 0;
        case WM_SETCURSOR:
            if (dragging_) return TRUE;
            break;
        case WM_LBUTTONUP:
            if (dragging_) {
                dragging_ = false;  // before the capture goes: that is no cancel
                Api(::ReleaseCapture());
                Api(::InvalidateRect(Handle(), nullptr, TRUE));
                if (drop_) drop_(UnderPointer());
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (dragging_) {  // taken away mid-drag: nothing is chosen
                dragging_ = false;
                Api(::InvalidateRect(Handle(), nullptr, TRUE));
            }
            return 0;
        case WM_PAINT: Paint(); return 0;
        default: break;
    }
    return Default(msg, wp, lp);
}

void WindowFinder::Paint() {
    PaintScope paint(Handle());
    if (!dragging_) Api(::DrawIcon(paint.Dc(), 0, 0, icon_));
}

}  // namespace nl
