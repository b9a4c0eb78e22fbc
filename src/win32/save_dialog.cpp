#include "win32/save_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "common/base/error.h"
#include "win32/api.h"
#include "win32/late_bind.h"
#include "win32/log_files.h"
#include "win32/message_boxes.h"

namespace nl {

namespace {
using FileDialogFn = BOOL(WINAPI*)(LPOPENFILENAMEW);

// Asks with one of the common file dialogs, loaded on first use from the
// system folder only: most runs never save or open, and the dialogs'
// library is a large one to load at start. Empty when the user cancels.
std::wstring AskPath(HWND owner, const SaveDialogKind& kind, const char* function, const char* unavailable,
                     DWORD flags) {
    const auto ask = LateBound<FileDialogFn>(SystemLibrary(L"comdlg32.dll"), function);
    if (!ask) Raise(kErrInvalidCall, unavailable);
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
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | flags;
    return Api(ask(&ofn)) ? std::wstring(file.data()) : std::wstring();
}
}  // namespace

std::wstring AskSavePath(HWND owner, const SaveDialogKind& kind) {
    return AskPath(owner, kind, "GetSaveFileNameW", "The save dialog is not available.", OFN_OVERWRITEPROMPT);
}

std::wstring AskOpenPath(HWND owner, const SaveDialogKind& kind) {
    return AskPath(owner, kind, "GetOpenFileNameW", "The open dialog is not available.", OFN_FILEMUSTEXIST);
}

std::wstring SaveOnRequest(HWND owner, const SaveDialogKind& kind, const wchar_t* what,
                           const std::function<std::string()>& makeText) {
    const std::wstring path = AskSavePath(owner, kind);
    if (path.empty()) return path;
    const std::wstring reason = SaveTextFile(path, makeText());
    if (reason.empty()) return path;
    MessageBoxNotice(owner, std::wstring(what) + L" could not be saved to " + path + L":\n" + reason +
                                L"\n\nNothing was written; a file of that name is as it was.");
    return std::wstring();
}

}  // namespace nl
