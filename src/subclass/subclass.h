// The replacement window procedure of the main window and its installation.
#pragma once

#include <windows.h>

#include "common/message_log/subclass_dispatch.h"

namespace nl {

// The subclass's own record, one per hooked window: the previous procedure
// and the window object it serves. The hooked window's class reserves
// kExtraBytes of window extra bytes, where the record is found again.
class Subclass {
public:
    static constexpr int kExtraBytes = sizeof(LONG_PTR);

    explicit Subclass(MessageSink& sink) : sink_(sink) {}
    Subclass(const Subclass&) = delete;
    Subclass& operator=(const Subclass&) = delete;
    ~Subclass() { SetWheelSubclass(nullptr, false); }

    // install = true replaces the window's procedure with HookWindowProc,
    // which from then on hands every message to the sink; install = false
    // puts the previous procedure back (nothing happens if none is
    // installed). A second install is refused: the "previous" procedure
    // would then be this one.
    void SetWheelSubclass(HWND window, bool install);

private:
    friend LRESULT CALLBACK HookWindowProc(HWND, UINT, WPARAM, LPARAM);
    MessageSink& sink_;
    HWND window_ = nullptr;
    // The previous procedure exactly as the platform returned it: it may be
    // a value only CallWindowProcA can resolve, so it is never called
    // directly.
    LONG_PTR oldWindowProc_ = 0;
    bool logFailureTold_ = false;
};

LRESULT CALLBACK HookWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

}  // namespace nl
