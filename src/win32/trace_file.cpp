#include "win32/trace_file.h"

#include <windows.h>

#include <new>
#include <stdexcept>
#include <vector>

#include "common/replay/replay_report.h"

namespace nl {

namespace {

// The system's words for an error, in the ANSI code page, without the
// trailing line break and full stop.
std::string ReasonText(DWORD code) {
    char buffer[512] = {};
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                               sizeof buffer, nullptr);
    while (n > 0 && (buffer[n - 1] == '\r' || buffer[n - 1] == '\n' || buffer[n - 1] == ' ' || buffer[n - 1] == '.'))
        --n;
    return n > 0 ? std::string(buffer, n) : "system error " + std::to_string(code);
}

std::string AnsiText(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string s(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &s[0], n, nullptr, nullptr);
    return s;
}

// Open for reading while another program may still be appending to it.
HANDLE OpenShared(const std::wstring& path) {
    return ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

}  // namespace

TraceLoad LoadTraceFile(const std::wstring& path, const TraceChoice& choice) {
    const HANDLE file = OpenShared(path);
    if (file == INVALID_HANDLE_VALUE) {
        TraceLoad failed;
        failed.problem = "cannot open " + AnsiText(path) + ": " + ReasonText(::GetLastError());
        return failed;
    }
    struct Closer {
        HANDLE h;
        ~Closer() { ::CloseHandle(h); }
    } closer{file};
    std::vector<char> buffer(1 << 20);
    const ChunkSource source = [&](const std::function<bool(std::string_view)>& consume) {
        LARGE_INTEGER origin{};
        if (!::SetFilePointerEx(file, origin, nullptr, FILE_BEGIN))
            throw std::runtime_error("cannot read " + AnsiText(path) + ": " + ReasonText(::GetLastError()));
        for (;;) {
            DWORD got = 0;
            if (!::ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
                throw std::runtime_error("cannot read " + AnsiText(path) + ": " + ReasonText(::GetLastError()));
            if (got == 0 || !consume(std::string_view(buffer.data(), got))) return;
        }
    };
    try {
        return LoadTrace(source, choice);
    } catch (const std::bad_alloc&) {
        TraceLoad failed;
        failed.problem = "not enough memory for the rows";
        return failed;
    } catch (const std::runtime_error& e) {
        TraceLoad failed;
        failed.problem = e.what();
        return failed;
    }
}

std::string TraceFileWriter::Open(const std::wstring& path) {
    if (path.empty()) return std::string();
    file_ = KernelHandle(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) return "cannot write the trace file " + AnsiText(path) + ": " + ReasonText(::GetLastError());
    buffer_ = ReplayTraceHeader();
    return std::string();
}

void TraceFileWriter::Flush(std::size_t atLeast) {
    if (!file_ || buffer_.size() < atLeast || buffer_.empty()) return;
    DWORD written = 0;
    ::WriteFile(file_.Get(), buffer_.data(), static_cast<DWORD>(buffer_.size()), &written, nullptr);
    buffer_.clear();
}

}  // namespace nl
