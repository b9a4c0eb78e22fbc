#include "win32/save_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "common/error.h"
#include "win32/api.h"
#include "win32/late_bind.h"
#include "win32/log_files.h"
#include "win32/message_boxes.h"

namespace nl {

std::wstring AskSavePath(HWND owner, const SaveDialogKind& kind) {
    // Loaded on first use, from the system folder only: most runs never
    // save, and the dialog's library is a large one to load at start.
    using GetSaveFileNameFn = BOOL(WINAPI*)(LPOPENFILENAMEW);
    static const auto getSaveFileName = LateBound<GetSaveFileNameFn>(SystemLibrary(L"comdlg32.dll"), "GetSaveFileNameW");
    if (!getSaveFileName) Raise(kErrInvalidCall, "The save dialog is not available.");
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring name = kind.defaultName;
    std::copy(name.begin(), name.end(), file.begin());
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kind.filter;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = kind.extension;
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    return Api(getSaveFileName(&ofn)) ? std::wstring(file.data()) : std::wstring();
}

std::wstring AskOpenPath(HWND owner, const SaveDialogKind& kind) {
    using GetOpenFileNameFn = BOOL(WINAPI*)(LPOPENFILENAMEW);
    static const auto getOpenFileName = LateBound<GetOpenFileNameFn>(SystemLibrary(L"comdlg32.dll"), "GetOpenFileNameW");
    if (!getOpenFileName) Raise(kErrInvalidCall, "The open dialog is not available.");
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kind.filter;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = kind.extension;
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    return Api(getOpenFileName(&ofn)) ? std::wstring(file.data()) : std::wstring();
}

void SaveOnRequest(HWND owner, const SaveDialogKind& kind, const wchar_t* what,
                   const std::function<std::string()>& makeText) {
    const std::wstring path = AskSavePath(owner, kind);
    if (path.empty()) return;
    const std::wstring reason = SaveTextFile(path, makeText());
    if (!reason.empty())
        MessageBoxNotice(owner, std::wstring(what) + L" could not be saved to " + path + L":\n" + reason +
                                    L"\n\nNothing was written; a file of that name is as it was.");
}

}  // namespace nl
