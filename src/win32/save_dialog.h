// The system's save dialog, for every file the program saves on request.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace nl {

// What a save dialog offers: the file name, the filter (pairs of
// description and pattern, each ending in a null character) and the
// extension added to a name typed without one.
struct SaveDialogKind {
    const wchar_t* defaultName;
    const wchar_t* filter;
    const wchar_t* extension;
};

inline constexpr SaveDialogKind kSaveLogDialog{L"notchlog.log",
                                               L"Text files (*.log;*.txt)\0*.log;*.txt\0All files (*.*)\0*.*\0", L"log"};
inline constexpr SaveDialogKind kSaveCsvDialog{L"wheel.csv", L"CSV files (*.csv)\0*.csv\0All files (*.*)\0*.*\0",
                                               L"csv"};

// Asks where to save with the system's save dialog; empty when the user
// cancels.
std::wstring AskSavePath(HWND owner, const SaveDialogKind& kind);

inline constexpr SaveDialogKind kOpenCsvDialog{L"", L"CSV files (*.csv)\0*.csv\0All files (*.*)\0*.*\0", L"csv"};

// Asks which existing file to open with the system's open dialog; empty
// when the user cancels.
std::wstring AskOpenPath(HWND owner, const SaveDialogKind& kind);

// Asks where to save, then writes the text `makeText` gives there (made only
// once a path is chosen). A failure is told in a notice that names what was
// being saved (`what`, as in "The log"); cancelling does nothing. Returns
// where it was saved; empty when it was not.
std::wstring SaveOnRequest(HWND owner, const SaveDialogKind& kind, const wchar_t* what,
                   const std::function<std::string()>& makeText);

}  // namespace nl
