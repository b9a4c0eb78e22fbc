// The replacement window procedure of the main window and its installation.
#pragma once

#include <windows.h>

namespace nl {

class FrmMain;

// Set by shut-down; never cleared.
extern bool StopLogging;

// install = true replaces the window's procedure with HookWindowProc;
// install = false puts the previous one back (nothing happens if none is installed).
void SetWheelHook(FrmMain& form, bool install);

LRESULT CALLBACK HookWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// The procedure the replacement forwards to; null while nothing is installed.
WNDPROC OldWindowProc();

}  // namespace nl
