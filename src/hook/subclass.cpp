#include "hook/subclass.h"

#include "win32/api.h"

namespace nl {

namespace {
// The previous procedure exactly as the platform returned it: it may be a
// value only CallWindowProcA can resolve, so it is never called directly.
LONG_PTR g_oldWindowProc = 0;
MessageSink* g_sink = nullptr;
bool g_logFailureTold = false;

std::int32_t Long32(UINT_PTR v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }
}  // namespace

void SetWheelHook(HWND window, MessageSink* sink, bool install) {
    // SetWindowLongPtrA is SetWindowLongA with GWL_WNDPROC on 32-bit Windows.
    if (install) {
        if (g_oldWindowProc != 0) return;
        g_sink = sink;
        g_oldWindowProc =
            Api(::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookWindowProc)));
        return;
    }
    if (g_oldWindowProc == 0) return;
    Api(::SetWindowLongPtrA(window, GWLP_WNDPROC, g_oldWindowProc));
    g_oldWindowProc = 0;
}

LRESULT CALLBACK HookWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    auto forward = [&]() -> std::intptr_t {
        const auto old = reinterpret_cast<WNDPROC>(g_oldWindowProc);
        return old ? Api(::CallWindowProcA(old, hWnd, uMsg, wParam, lParam))
                   : Api(::DefWindowProcA(hWnd, uMsg, wParam, lParam));
    };
    if (!g_sink) return static_cast<LRESULT>(forward());
    const HookedMessage m{HandleLong(hWnd), uMsg, Long32(wParam), Long32(static_cast<UINT_PTR>(lParam))};
    return static_cast<LRESULT>(DispatchHooked(m, forward, *g_sink, g_logFailureTold));
}

}  // namespace nl
