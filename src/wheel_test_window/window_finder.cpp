#include "wheel_test_window/window_finder.h"

#include "common/panels/window_rect.h"
#include "system_info/system_info.h"
#include "win32/api.h"

namespace nl {

namespace {
const char* const kFinderClass = "NotchlogFinder";
const char* const kOutlineClass = "NotchlogFinderOutline";

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// No window to choose there: the desktop behind every window.
bool IsDesktop(HWND w) { return !w || w == Api(::GetDesktopWindow()) || w == Api(::GetShellWindow()); }
}  // namespace

void FinderOutline::Create(HINSTANCE instance) {
    brush_ = GdiObject(::CreateSolidBrush(kColour));
    RegisterWindowClass(instance, kOutlineClass);
    // Layered and transparent: hit-testing passes through it, whichever
    // thread asks; shown only with SWP_NOACTIVATE, so it never takes the
    // activation from the window that holds the capture. Owned by no window:
    // Wine brings an owner to the front with the window it owns, which would
    // put the finder's window over the one being outlined.
    if (!CreateAs(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_LAYERED,
                  kOutlineClass, "", WS_POPUP, RECT{0, 0, 1, 1}, nullptr, nullptr, instance) ||
        !Api(::SetLayeredWindowAttributes(Handle(), 0, 255, LWA_ALPHA)))
        Raise(kErrInvalidCall, "The finder's outline could not be made.");
}

void FinderOutline::Frame(HWND w) {
    RECT r{};
    if (!w || !Api(::GetWindowRect(w, &r))) return Hide();
    const WindowRect screen{Api(::GetSystemMetrics(SM_XVIRTUALSCREEN)), Api(::GetSystemMetrics(SM_YVIRTUALSCREEN)),
                            Api(::GetSystemMetrics(SM_XVIRTUALSCREEN)) + Api(::GetSystemMetrics(SM_CXVIRTUALSCREEN)),
                            Api(::GetSystemMetrics(SM_YVIRTUALSCREEN)) + Api(::GetSystemMetrics(SM_CYVIRTUALSCREEN))};
    const OutlineFrame f = OutlineOf(WindowRect{r.left, r.top, r.right, r.bottom}, screen,
                                     ::MulDiv(kThickness96, ScreenDpi(), 96));
    if (!f.Shown()) return Hide();
    const RECT outer{f.outer.left, f.outer.top, f.outer.right, f.outer.bottom};
    if (shown_ && SameRect(outer, framed_)) return;
    // The shape first, then the place: shown, it is never a solid block.
    GdiObject shape(::CreateRectRgn(0, 0, outer.right - outer.left, outer.bottom - outer.top));
    if (f.Hollow()) {
        const GdiObject hole(::CreateRectRgn(f.inner.left - outer.left, f.inner.top - outer.top,
                                             f.inner.right - outer.left, f.inner.bottom - outer.top));
        ::CombineRgn(static_cast<HRGN>(shape.Get()), static_cast<HRGN>(shape.Get()), static_cast<HRGN>(hole.Get()),
                     RGN_DIFF);
    }
    // The system owns the region once it is set.
    if (!Api(::SetWindowRgn(Handle(), static_cast<HRGN>(shape.Get()), FALSE))) return Hide();
    shape.Take();
    Api(::SetWindowPos(Handle(), HWND_TOPMOST, outer.left, outer.top, outer.right - outer.left,
                       outer.bottom - outer.top, SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW));
    Api(::InvalidateRect(Handle(), nullptr, TRUE));
    framed_ = outer;
    shown_ = true;
}

void FinderOutline::Destroy() {
    if (Handle()) Api(::DestroyWindow(Handle()));
    shown_ = false;
}

void FinderOutline::Hide() {
    if (!shown_) return;
    Api(::ShowWindow(Handle(), SW_HIDE));
    shown_ = false;
}

LRESULT FinderOutline::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_NCHITTEST: return HTTRANSPARENT;
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_ERASEBKGND: {
            RECT all{};
            Api(::GetClientRect(Handle(), &all));
            Api(::FillRect(reinterpret_cast<HDC>(wp), &all, static_cast<HBRUSH>(brush_.Get())));
            return 1;
        }
        case WM_PAINT: {
            const PaintScope paint(Handle());  // the background is all there is
            return 0;
        }
        default: break;
    }
    return Default(msg, wp, lp);
}

void WindowFinder::Create(HWND parent, int id, HINSTANCE instance, std::function<void(HWND)> hover,
                          std::function<void(HWND)> drop, std::function<void()> cancel) {
    hover_ = std::move(hover);
    drop_ = std::move(drop);
    cancel_ = std::move(cancel);
    icon_ = Api(::LoadIconA(instance, MAKEINTRESOURCEA(1)));
    WNDCLASSA wc{};
    wc.hCursor = Api(::LoadCursorA(nullptr, IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterWindowClass(instance, kFinderClass, wc);
    if (!CreateAs(0, kFinderClass, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 32, 32}, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance))
        Raise(kErrInvalidCall, "The finder could not be made.");
    outline_.Create(instance);
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

void WindowFinder::EndDrag() {
    dragging_ = false;
    hovered_.reset();
    outline_.Hide();
    Api(::InvalidateRect(Handle(), nullptr, TRUE));  // the icon back in its place
}

LRESULT WindowFinder::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            dragging_ = true;
            hovered_.reset();
            Api(::SetCapture(Handle()));
            Api(::SetCursor(Api(::LoadCursorA(nullptr, IDC_CROSS))));
            Api(::InvalidateRect(Handle(), nullptr, TRUE));  // the icon leaves its place while it travels
            return 0;
        case WM_MOUSEMOVE:
            if (dragging_) {
                const HWND under = UnderPointer();
                // Neither the desktop nor the finder's own window can be chosen:
                // those are not outlined. Each move: the window may have moved.
                const bool choosable =
                    !IsDesktop(under) && Api(::GetAncestor(under, GA_ROOT)) != Api(::GetAncestor(Handle(), GA_ROOT));
                outline_.Frame(choosable ? under : nullptr);
                if (hovered_ != under) {
                    hovered_ = under;
                    if (hover_) hover_(under);
                }
            }
            return 0;
        case WM_SETCURSOR:
            if (dragging_) return TRUE;
            break;
        case WM_LBUTTONUP:
            if (dragging_) {
                EndDrag();  // before the capture goes: that is no cancel
                Api(::ReleaseCapture());
                if (drop_) drop_(UnderPointer());
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (dragging_) {  // taken away mid-drag: nothing is chosen
                EndDrag();
                if (cancel_) cancel_();
            }
            return 0;
        case WM_PAINT: Paint(); return 0;
        case WM_DESTROY: outline_.Destroy(); break;
        default: break;
    }
    return Default(msg, wp, lp);
}

void WindowFinder::Paint() {
    PaintScope paint(Handle());
    if (!dragging_) Api(::DrawIcon(paint.Dc(), 0, 0, icon_));
}

}  // namespace nl
