#include "hook/mod_hook_wheel.h"

#include "common/api.h"
#include "hook/wheel_decode.h"
#include "main_window/frm_main.h"

namespace nl {

bool StopLogging = false;

namespace {
// The previous procedure exactly as the platform returned it: it may be a
// value only CallWindowProcA can resolve, so it is never called directly.
LONG_PTR g_oldWindowProc = 0;

std::int32_t Long32(UINT_PTR v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }
}  // namespace

WNDPROC OldWindowProc() { return reinterpret_cast<WNDPROC>(g_oldWindowProc); }

void SetWheelHook(FrmMain& form, bool install) {
    // SetWindowLongPtrA is SetWindowLongA with GWL_WNDPROC on 32-bit Windows.
    if (install) {
        // Installing twice would make the "previous" procedure this one.
        if (g_oldWindowProc != 0) return;
        g_oldWindowProc = Api(::SetWindowLongPtrA(form.Handle(), GWLP_WNDPROC,
                                                  reinterpret_cast<LONG_PTR>(&HookWindowProc)));
        return;
    }
    if (g_oldWindowProc == 0) return;
    Api(::SetWindowLongPtrA(form.Handle(), GWLP_WNDPROC, g_oldWindowProc));
    g_oldWindowProc = 0;
}

LRESULT CALLBACK HookWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    FrmMain& form = FrmMain::Instance();
    LRESULT result = 0;
    try {
        if (uMsg == kMsgMouseWheel) {
            // Consumed: the previous procedure never sees a wheel message.
            const WheelEvent e = DecodeWheel(Long32(wParam), Long32(static_cast<UINT_PTR>(lParam)));
            form.HandleWheel(e.notches, e.keyState, e.x, e.y);
            result = 0;
        } else {
            const WNDPROC old = OldWindowProc();
            result = old ? Api(::CallWindowProcA(old, hWnd, uMsg, wParam, lParam))
                         : Api(::DefWindowProcA(hWnd, uMsg, wParam, lParam));
        }
    } catch (const Error& e) {
        form.ReportError(&e);
    } catch (...) {
        form.ReportError(nullptr);
    }
    // Logged after forwarding, so a message that arrived while this one was
    // being handled stands above it in the log; logged even when the
    // handling failed.
    if (!StopLogging) {
        try {
            form.LogMessage(HandleLong(hWnd), uMsg, Long32(wParam), Long32(static_cast<UINT_PTR>(lParam)));
        } catch (const Error& e) {
            form.ReportLogFailure(&e);
        } catch (...) {
            form.ReportLogFailure(nullptr);
        }
    }
    return result;
}

}  // namespace nl
