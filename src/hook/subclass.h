// The replacement window procedure of the main window and its installation.
#pragma once

#include <windows.h>

#include "common/hook_dispatch.h"

namespace nl {

// install = true replaces the window's procedure with HookWindowProc, which
// from then on hands every message to `sink`; install = false puts the
// previous procedure back (nothing happens if none is installed). A second
// install is refused: the "previous" procedure would then be this one.
void SetWheelHook(HWND window, MessageSink* sink, bool install);

LRESULT CALLBACK HookWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

}  // namespace nl
