#include "win32/log_files.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "common/number_text.h"
#include "win32/api.h"

namespace nl {

std::wstring SystemErrorText(DWORD code) {
    wchar_t buffer[512] = {};
    DWORD n = Api(::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                   buffer, 512, nullptr));
    while (n > 0 && (buffer[n - 1] == L'\r' || buffer[n - 1] == L'\n' || buffer[n - 1] == L' ')) --n;
    return n > 0 ? std::wstring(buffer, n) : L"System error " + std::to_wstring(code) + L".";
}

namespace {
// The reason the last platform call failed, as the Api wrapper saved it.
std::wstring LastReason() { return SystemErrorText(static_cast<DWORD>(LastSystemError())); }

// Writes all of text; false with the reason on failure.
bool WriteAll(HANDLE file, const std::string& text, std::wstring& reason) {
    std::size_t done = 0;
    while (done < text.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 20));
        DWORD written = 0;
        if (!Api(::WriteFile(file, text.data() + done, chunk, &written, nullptr)) || written == 0) {
            reason = LastReason();
            return false;
        }
        done += written;
    }
    return true;
}
}  // namespace

bool LogFile::Open(const std::wstring& path, std::wstring& reason) {
    file_ = KernelHandle(Api(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!file_) reason = LastReason();
    return IsOpen();
}

void LogFile::Append(const std::string& line) {
    if (!file_) return;
    pending_ += line;
    pending_ += kCrLf;
}

bool LogFile::Flush(std::wstring& reason) {
    if (!file_ || pending_.empty()) return true;
    const bool ok = WriteAll(file_.Get(), pending_, reason);
    pending_.clear();
    if (!ok) file_.Reset();
    return ok;
}

std::wstring AskSaveLogPath(HWND owner) {
    // Loaded on first use, from the system folder only: most runs never
    // save, and the dialog's library is a large one to load at start.
    using GetSaveFileNameFn = BOOL(WINAPI*)(LPOPENFILENAMEW);
    static const GetSaveFileNameFn getSaveFileName = []() -> GetSaveFileNameFn {
        wchar_t dir[MAX_PATH] = {};
        const UINT n = Api(::GetSystemDirectoryW(dir, MAX_PATH));
        if (n == 0 || n >= MAX_PATH) return nullptr;
        HMODULE dll = Api(::LoadLibraryW((std::wstring(dir) + L"\\comdlg32.dll").c_str()));
        return dll ? reinterpret_cast<GetSaveFileNameFn>(
                         reinterpret_cast<void (*)()>(Api(::GetProcAddress(dll, "GetSaveFileNameW"))))
                   : nullptr;
    }();
    if (!getSaveFileName) Raise(kErrInvalidCall, "The save dialog is not available.");
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring name = L"notchlog.log";
    std::copy(name.begin(), name.end(), file.begin());
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"Text files (*.log;*.txt)\0*.log;*.txt\0All files (*.*)\0*.*\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = L"log";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    return Api(getSaveFileName(&ofn)) ? std::wstring(file.data()) : std::wstring();
}

std::wstring SaveTextFile(const std::wstring& path, const std::string& text) {
    // Windows refuses to replace a read-only file; Wine replaces it, so the
    // program asks first.
    const DWORD attributes = Api(::GetFileAttributesW(path.c_str()));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return SystemErrorText(ERROR_ACCESS_DENIED);
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring dir = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
    wchar_t temp[MAX_PATH + 16] = {};
    if (!Api(::GetTempFileNameW(dir.c_str(), L"nlg", 0, temp))) return LastReason();
    std::wstring reason;
    {
        KernelHandle file(Api(
            ::CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (!file)
            reason = LastReason();
        else if (WriteAll(file.Get(), text, reason) && !Api(::FlushFileBuffers(file.Get())))
            reason = LastReason();
    }
    if (reason.empty() &&
        !Api(::MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)))
        reason = LastReason();
    if (!reason.empty()) Api(::DeleteFileW(temp));
    return reason;
}

}  // namespace nl
