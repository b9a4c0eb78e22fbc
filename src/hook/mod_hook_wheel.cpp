#include "hook/mod_hook_wheel.h"

#include "common/api.h"
#include "hook/hook_dispatch.h"
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

namespace {
// One message on its way through the replacement procedure.
class HookedMessage final : public HookTarget {
public:
    HookedMessage(FrmMain& form, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
        : form_(form), hWnd_(hWnd), uMsg_(uMsg), wParam_(wParam), lParam_(lParam) {}

    void HandleWheel(const WheelEvent& e) override { form_.HandleWheel(e.notches, e.keyState, e.x, e.y); }
    std::intptr_t Forward() override {
        const WNDPROC old = OldWindowProc();
        return old ? Api(::CallWindowProcA(old, hWnd_, uMsg_, wParam_, lParam_))
                   : Api(::DefWindowProcA(hWnd_, uMsg_, wParam_, lParam_));
    }
    void Log() override { form_.LogMessage(HandleLong(hWnd_), uMsg_, Long32(wParam_), Long32(static_cast<UINT_PTR>(lParam_))); }
    void ReportError(const Error* error) noexcept override { form_.ReportError(error); }
    void ReportLogFailure(const Error* error) noexcept override { form_.ReportLogFailure(error); }

private:
    FrmMain& form_;
    HWND hWnd_;
    UINT uMsg_;
    WPARAM wParam_;
    LPARAM lParam_;
};

bool g_logFailureReported = false;
}  // namespace

LRESULT CALLBACK HookWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    FrmMain& form = FrmMain::Instance();
    struct Depth {
        FrmMain& f;
        explicit Depth(FrmMain& form) : f(form) { f.EnterHook(); }
        ~Depth() { f.LeaveHook(); }
    } depth(form);
    HookedMessage message(form, hWnd, uMsg, wParam, lParam);
    return static_cast<LRESULT>(DispatchHooked(uMsg, Long32(wParam), Long32(static_cast<UINT_PTR>(lParam)),
                                               StopLogging, g_logFailureReported, message));
}

}  // namespace nl
