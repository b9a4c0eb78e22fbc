#include "subclass/subclass.h"

#include "win32/api.h"

namespace nl {

namespace {
std::int32_t Long32(UINT_PTR v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

Subclass* RecordOf(HWND window) { return reinterpret_cast<Subclass*>(Api(::GetWindowLongPtrA(window, 0))); }
}  // namespace

void Subclass::SetWheelSubclass(HWND window, bool install) {
    // SetWindowLongPtrA is SetWindowLongA with GWL_WNDPROC on 32-bit Windows.
    if (install) {
        if (oldWindowProc_ != 0) return;
        window_ = window;
        Api(::SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(this)));
        oldWindowProc_ =
            Api(::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookWindowProc)));
        return;
    }
    if (oldWindowProc_ == 0) return;
    Api(::SetWindowLongPtrA(window_, GWLP_WNDPROC, oldWindowProc_));
    oldWindowProc_ = 0;
}

LRESULT CALLBACK HookWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    Subclass* record = RecordOf(hWnd);
    // Taken once: the procedure may be put back while this message is
    // being handled (closing), and the rest of it still needs the old one.
    const auto old = reinterpret_cast<WNDPROC>(record ? record->oldWindowProc_ : 0);
    auto forward = [&]() -> std::intptr_t {
        return old ? Api(::CallWindowProcA(old, hWnd, uMsg, wParam, lParam))
                   : Api(::DefWindowProcA(hWnd, uMsg, wParam, lParam));
    };
    if (!record) return static_cast<LRESULT>(forward());
    const SubclassedMessage m{HandleLong(hWnd), uMsg, Long32(wParam), Long32(static_cast<UINT_PTR>(lParam))};
    return static_cast<LRESULT>(DispatchSubclassed(m, forward, record->sink_, record->logFailureTold_));
}

}  // namespace nl
