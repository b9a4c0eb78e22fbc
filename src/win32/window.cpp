#include "win32/window.h"

#include "common/base/error_boundary.h"
#include "win32/api.h"
#include "win32/message_boxes.h"

namespace nl {

LRESULT SendTo(HWND w, UINT msg, WPARAM wp, LPARAM lp) { return Api(::SendMessageA(w, msg, wp, lp)); }

Window::~Window() {
    // A window that outlives its object no longer reaches it.
    if (hWnd_) Api(::SetWindowLongPtrA(hWnd_, GWLP_USERDATA, 0));
}

bool Window::RegisterWindowClass(HINSTANCE instance, const char* className, WNDCLASSA base) {
    base.lpfnWndProc = &Window::Procedure;
    base.hInstance = instance;
    base.lpszClassName = className;
    if (!base.hCursor) base.hCursor = Api(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    return Api(::RegisterClassA(&base)) != 0;
}

HWND Window::CreateAs(DWORD exStyle, const char* className, const char* caption, DWORD style, const RECT& place,
                      HWND parent, HMENU menuOrId, HINSTANCE instance) {
    return Api(::CreateWindowExA(exStyle, className, caption, style, place.left, place.top,
                                 place.right - place.left, place.bottom - place.top, parent, menuOrId, instance,
                                 this));
}

void Window::CreateToolWindow(HINSTANCE instance, const char* className, const char* caption, SIZE at96, int dpi,
                              const char* failure) {
    WNDCLASSA wc{};
    wc.hIcon = Api(::LoadIconA(instance, MAKEINTRESOURCEA(1)));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterWindowClass(instance, className, wc);
    const RECT place{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + ::MulDiv(at96.cx, dpi, 96),
                     CW_USEDEFAULT + ::MulDiv(at96.cy, dpi, 96)};
    if (!CreateAs(WS_EX_CONTROLPARENT, className, caption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, place, nullptr,
                  nullptr, instance))
        Raise(kErrInvalidCall, failure);
}

LRESULT Window::Default(UINT msg, WPARAM wp, LPARAM lp) { return Api(::DefWindowProcA(hWnd_, msg, wp, lp)); }

void Window::OnFailure(const Error* error) noexcept { ReportFailure(hWnd_, error); }

LRESULT CALLBACK Window::Procedure(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hWnd_ = h;
        Api(::SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self)));
    } else {
        self = reinterpret_cast<Window*>(Api(::GetWindowLongPtrA(h, GWLP_USERDATA)));
    }
    // Messages before WM_NCCREATE (a top-level window's WM_GETMINMAXINFO)
    // and after WM_NCDESTROY have no object.
    if (!self) return Api(::DefWindowProcA(h, msg, wp, lp));
    LRESULT result = 0;
    Guarded([&] { result = self->OnMessage(msg, wp, lp); }, [&](const Error* e) { self->OnFailure(e); });
    if (msg == WM_NCDESTROY) {
        Api(::SetWindowLongPtrA(h, GWLP_USERDATA, 0));
        self->hWnd_ = nullptr;
    }
    return result;
}

}  // namespace nl
