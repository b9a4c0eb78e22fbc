// Runs Notchlog's wheel test as a script would (--test-report) and reads
// what it wrote: the exit code and the report's lines.
#pragma once

#include <filesystem>
#include <regex>

#include "driver/driver.h"

namespace nle2e {

constexpr const char* kWheelResultHeader = "pattern,sent,sound,observed,method,verdict";

struct WheelTestReport {
    DWORD exitCode = ~0u;
    std::string text;  // the report file's bytes

    std::vector<std::string> Lines() const {  // without the CR LF after the last one
        auto lines = Split(text, "\r\n");
        if (!lines.empty() && lines.back().empty()) lines.pop_back();
        return lines;
    }
    std::string LastLine() const {
        const auto lines = Lines();
        return lines.empty() ? std::string() : lines.back();
    }
    // From the result header on, the catch-up's milliseconds as "MS": what
    // is the same on every run.
    std::vector<std::string> Results() const {
        std::vector<std::string> out;
        bool seen = false;
        for (const auto& line : Lines()) {
            seen = seen || line == kWheelResultHeader;
            if (seen) out.push_back(std::regex_replace(std::regex_replace(line, std::regex("^catch-up,,500,[0-9]+,"),
                                                                          "catch-up,,500,MS,"),
                                                       std::regex("^Takes [0-9]+ ms "), "Takes MS ms "));
        }
        return out;
    }
};

// Notchlog.exe started with `args` and --test-report into a file of its
// own; Wait gives its exit code and report. Ended by its handle if it
// still runs when the object goes.
class WheelTestScript {
public:
    explicit WheelTestScript(const std::wstring& args) {
        static int serial = 0;
        file_ = std::filesystem::temp_directory_path() /
                Format(L"notchlog-wheel-test-%lu-%d.txt", ::GetCurrentProcessId(), ++serial);
        const std::wstring exe = NotchlogExePath();
        std::wstring commandLine = L"\"" + exe + L"\" " + args + L" --test-report \"" + file_.wstring() + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            ThrowLastError("starting " + Narrow(exe));
        ::CloseHandle(pi.hThread);
        process_ = pi.hProcess;
    }
    WheelTestScript(const WheelTestScript&) = delete;
    ~WheelTestScript() {
        if (Running()) ::TerminateProcess(process_, 0xDEAD), ::WaitForSingleObject(process_, 5000);
        ::CloseHandle(process_);
        std::error_code e;
        std::filesystem::remove(file_, e);
    }
    bool Running() const { return ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

    WheelTestReport Wait() {
        if (!WaitUntil([&] { return !Running(); }, 60s)) throw DriverError("the wheel test did not end");
        WheelTestReport report;
        ::GetExitCodeProcess(process_, &report.exitCode);
        report.text = Contents(file_.wstring());
        return report;
    }

private:
    HANDLE process_ = nullptr;
    std::filesystem::path file_;
};

inline WheelTestReport RunWheelTestScript(const std::wstring& args) { return WheelTestScript(args).Wait(); }

inline std::wstring HexSpec(HWND w) { return Format(L"0x%lX", Handle32(w)); }

inline POINT CursorNow() {
    POINT p{};
    ::GetCursorPos(&p);
    return p;
}

}  // namespace nle2e
