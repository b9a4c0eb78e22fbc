// The program's message boxes, all titled with the application title.
#pragma once

#include <windows.h>

#include <string>

#include "common/error.h"

namespace nl {

// OK/Cancel with the error icon; returns the button's id (1 for OK).
int MessageBoxOkCancel(HWND owner, const std::string& text);
// An exclamation box with OK only.
void MessageBoxNotice(HWND owner, const std::string& text);
void MessageBoxNotice(HWND owner, const std::wstring& text);

// Shows the report for the error in a box that offers to copy it; OK copies
// the report. Raises what the clipboard raises.
void ShowErrorReport(HWND owner, const Error& error, const std::string& label, const std::string& windowsName);

}  // namespace nl
