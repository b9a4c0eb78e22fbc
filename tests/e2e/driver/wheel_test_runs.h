// Runs Notchlog's wheel test as a script would (--test-report) and reads
// what it wrote: the exit code and the report's lines.
#pragma once

#include <algorithm>
#include <cstdio>
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

// Notchlog.exe started with `args` and --test-report (or `reportOption`)
// into a file of its own; Wait gives its exit code and report. Ended by its
// handle if it still runs when the object goes.
class WheelTestScript {
public:
    explicit WheelTestScript(const std::wstring& args, const wchar_t* reportOption = L"--test-report")
        : file_(ReportFile()),
          process_(NotchlogExePath(), L"\"" + NotchlogExePath() + L"\" " + args + L" " + reportOption + L" \"" +
                                          file_.wstring() + L"\"") {}
    WheelTestScript(const WheelTestScript&) = delete;
    ~WheelTestScript() {
        process_.End();  // before its report goes
        std::error_code e;
        std::filesystem::remove(file_, e);
    }
    bool Running() const { return process_.Running(); }

    WheelTestReport Wait() {
        if (!WaitUntil([&] { return !Running(); }, 60s)) throw DriverError("the wheel test did not end");
        WheelTestReport report;
        ::GetExitCodeProcess(process_.Handle(), &report.exitCode);
        report.text = Contents(file_.wstring());
        return report;
    }

private:
    static std::filesystem::path ReportFile() {
        static int serial = 0;
        return std::filesystem::temp_directory_path() /
               Format(L"notchlog-wheel-test-%lu-%d.txt", ::GetCurrentProcessId(), ++serial);
    }

    std::filesystem::path file_;  // before the process, which is given its name
    ChildProcess process_;
};

inline WheelTestReport RunWheelTestScript(const std::wstring& args) { return WheelTestScript(args).Wait(); }

// How fast a window catches up with a burst depends on the machine as much
// as on the window: other work on a busy machine can push a sound list box
// past 500 ms. Only a window that sleeps over each message is certain to be
// late. For the others a late catch-up is taken out of the results (its
// verdict, its finding and its count in the Result line and exit code)
// before they are compared.
inline void ForgiveLateCatchUp(std::vector<std::string>& results, DWORD& exitCode) {
    const auto late = std::find(results.begin(), results.end(), "catch-up,,500,MS,clock ms,fault");
    const auto finding = std::find(results.begin(), results.end(), "Takes MS ms to catch up with a burst of twenty notches.");
    if (late == results.end() || finding == results.end() || results.empty()) return;
    *late = "catch-up,,500,MS,clock ms,ok";
    results.erase(finding);
    int faults = 0;
    std::sscanf(results.back().c_str(), "Result: %d fault", &faults);
    if (--faults <= 0) results.back() = "Result: no fault found", exitCode = 0;
    else results.back() = "Result: " + std::to_string(faults) + (faults == 1 ? " fault found" : " faults found");
}

inline std::wstring HexForm(HWND w) { return Format(L"0x%lX", Handle32(w)); }

inline POINT CursorNow() {
    POINT p{};
    ::GetCursorPos(&p);
    return p;
}

}  // namespace nle2e
