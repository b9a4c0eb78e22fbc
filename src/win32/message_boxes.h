// The program's message boxes, all titled with the application title.
#pragma once

#include <windows.h>

#include <string>

#include "common/base/app_info.h"
#include "common/base/error.h"

namespace nl {

// OK/Cancel with the error icon; returns the button's id (1 for OK).
int MessageBoxOkCancel(HWND owner, const std::string& text);
// An exclamation box with OK only.
void MessageBoxNotice(HWND owner, const std::string& text);
void MessageBoxNotice(HWND owner, const std::wstring& text);

// The one notice for a failure the program could not finish handling: the
// same failure gives the same text wherever it arises. `lead` says what
// was going on; the error (null: one that is not the program's) follows.
// One box at a time: a failure while a notice is open is not told again.
// Never throws.
void ReportFailure(HWND owner, const Error* error,
                   const std::string& lead = NL_APP_TITLE " could not finish handling a message and goes on running.")
    noexcept;

// Shows the report for the error in a box that offers to copy it; OK copies
// the report. Raises what the clipboard raises.
void ShowErrorReport(HWND owner, const Error& error, const std::string& label, const std::string& windowsName);

}  // namespace nl
