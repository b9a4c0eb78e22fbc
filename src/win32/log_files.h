// The log outside the window: a file it is appended to as it happens, and a
// file it is saved to on request.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "win32/raii.h"

namespace nl {

// The system's description of an error code, without a trailing line break.
std::wstring SystemErrorText(DWORD code);

// A file the log's lines are appended to, created if missing and shared so
// that others can read it while it grows. Lines wait in memory until Flush
// writes them. A file is never damaged: the first new line starts on a line
// of its own, and a write that fails (a full disk) leaves the file ending
// with the last whole line that fit.
class LogFile {
public:
    // Returns the reason when the file cannot be opened or is read-only.
    // With a header, a new or empty file gets it as its first line (written
    // at the next Flush), and a file whose first line is something else is
    // refused.
    bool Open(const std::wstring& path, std::wstring& reason, const std::string& header = std::string());
    bool IsOpen() const { return static_cast<bool>(file_); }
    void Append(const std::string& line);
    // Writes what waits; returns false (with the reason) if writing failed,
    // in which case the file is closed.
    bool Flush(std::wstring& reason);

private:
    KernelHandle file_;
    std::string pending_;  // starts with what goes before the first line
    bool linesWaiting_ = false;
};

// Writes text to a temporary file beside path, which then replaces path:
// a failure leaves an existing file as it was and nothing half-written
// behind. Returns the system's reason for a failure, empty on success.
std::wstring SaveTextFile(const std::wstring& path, const std::string& text);

// The same for any writer: `write` fills the temporary file it is given
// (it exists, empty) and returns the reason it could not, empty on success.
std::wstring ReplaceFileWith(const std::wstring& path, const std::function<std::wstring(const std::wstring&)>& write);

}  // namespace nl
