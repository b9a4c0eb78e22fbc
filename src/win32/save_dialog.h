// The system's save dialog, for every file the program saves on request.
#pragma once

#include <windows.h>

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

}  // namespace nl
