#include "win32/log_files.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "common/message_log/append_rules.h"
#include "common/base/number_text.h"
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

// Writes all of text; returns how much was written, with the reason when
// that is not all.
std::size_t WriteAll(HANDLE file, const std::string& text, std::wstring& reason) {
    std::size_t done = 0;
    while (done < text.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 20));
        DWORD written = 0;
        if (!Api(::WriteFile(file, text.data() + done, chunk, &written, nullptr)) || written == 0) {
            reason = LastReason();
            break;
        }
        done += written;
    }
    return done;
}

bool IsReadOnly(const std::wstring& path) {
    const DWORD attributes = Api(::GetFileAttributesW(path.c_str()));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool ReadAt(HANDLE file, std::uint64_t at, std::string& bytes) {
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(at);
    DWORD read = 0;
    return Api(::SetFilePointerEx(file, to, nullptr, FILE_BEGIN)) &&
           Api(::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) &&
           read == bytes.size();
}
}  // namespace

bool LogFile::Open(const std::wstring& path, std::wstring& reason, const std::string& header) {
    // Windows refuses to write a read-only file; Wine run as root writes it
    // all the same, so the program asks first.
    if (IsReadOnly(path)) {
        reason = SystemErrorText(ERROR_ACCESS_DENIED);
        return false;
    }
    // Read access for the file's ends, and no append-only handle: cutting
    // back after a failed write needs SetEndOfFile.
    file_ = KernelHandle(Api(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr)));
    LARGE_INTEGER size{};
    FileEnds ends;
    bool ok = file_ && Api(::GetFileSizeEx(file_.Get(), &size));
    if (ok && size.QuadPart > 0) {
        ends.size = static_cast<std::uint64_t>(size.QuadPart);
        ends.head.resize(static_cast<std::size_t>(std::min<std::uint64_t>(ends.size, header.size() + 2)));
        std::string last(1, '\0');
        ok = ReadAt(file_.Get(), 0, ends.head) && ReadAt(file_.Get(), ends.size - 1, last);
        ends.last = last[0];
    }
    if (!ok) {
        reason = LastReason();
        file_.Reset();
        return false;
    }
    const std::optional<std::string> before = TextBeforeFirstLine(ends, header);
    if (!before) {
        reason = L"Its first line is not Notchlog's header line, so nothing is added to it.";
        file_.Reset();
        return false;
    }
    pending_ = *before;
    // A new file's header is written at once; a line break that ends
    // someone's last line waits for a line of ours.
    linesWaiting_ = !header.empty() && !pending_.empty() && ends.size == 0;
    return true;
}

void LogFile::Append(const std::string& line) {
    if (!file_) return;
    pending_ += line;
    pending_ += kCrLf;
    linesWaiting_ = true;
}

bool LogFile::Flush(std::wstring& reason) {
    if (!file_ || !linesWaiting_) return true;
    // At the end each time: another program may have appended meanwhile.
    LARGE_INTEGER end{};
    bool ok = Api(::SetFilePointerEx(file_.Get(), LARGE_INTEGER{}, &end, FILE_END));
    if (!ok) reason = LastReason();
    const std::size_t written = ok ? WriteAll(file_.Get(), pending_, reason) : 0;
    if (ok && written < pending_.size()) {
        ok = false;
        // Only whole lines stay: the file goes back to the end of the last
        // one written in full.
        LARGE_INTEGER cut{};
        cut.QuadPart = end.QuadPart + static_cast<LONGLONG>(WholeLinesLength(pending_.substr(0, written)));
        if (Api(::SetFilePointerEx(file_.Get(), cut, nullptr, FILE_BEGIN))) Api(::SetEndOfFile(file_.Get()));
    }
    pending_.clear();
    linesWaiting_ = false;
    if (!ok) file_.Reset();
    return ok;
}

std::wstring ReplaceFileWith(const std::wstring& path, const std::function<std::wstring(const std::wstring&)>& write) {
    // Windows refuses to replace a read-only file; Wine replaces it, so the
    // program asks first.
    if (IsReadOnly(path)) return SystemErrorText(ERROR_ACCESS_DENIED);
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring dir = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
    wchar_t temp[MAX_PATH + 16] = {};
    if (!Api(::GetTempFileNameW(dir.c_str(), L"nlg", 0, temp))) return LastReason();
    std::wstring reason = write(temp);
    if (reason.empty() &&
        !Api(::MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)))
        reason = LastReason();
    if (!reason.empty()) Api(::DeleteFileW(temp));
    return reason;
}

std::wstring SaveTextFile(const std::wstring& path, const std::string& text) {
    return ReplaceFileWith(path, [&text](const std::wstring& temp) {
        std::wstring reason;
        KernelHandle file(Api(
            ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (!file)
            reason = LastReason();
        else if (WriteAll(file.Get(), text, reason) == text.size() && !Api(::FlushFileBuffers(file.Get())))
            reason = LastReason();
        return reason;
    });
}

}  // namespace nl
