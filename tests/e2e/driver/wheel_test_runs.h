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
            if (seen) out.push_back(WithoutMs(line));
        }
        return out;
    }
    static std::string WithoutMs(const std::string& line) {
        std::string out = std::regex_replace(line, std::regex("^catch-up,,400,[0-9]+,"), "catch-up,,400,MS,");
        out = std::regex_replace(out, std::regex("^Takes [0-9]+ ms "), "Takes MS ms ");
        return std::regex_replace(out, std::regex("^Note: catch-up took [0-9]+ and [0-9]+ ms"),
                                  "Note: catch-up took MS and MS ms");
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
// past 400 ms. Only a window that sleeps over each message is certain to be
// late. For the others the catch-up's verdicts are taken as ok (its finding
// or note and its count in the Result line and exit code go) before they
// are compared.
inline void ForgiveLateCatchUp(std::vector<std::string>& results, DWORD& exitCode) {
    int forgiven = 0;
    for (auto at = results.begin(); at != results.end();) {
        if (at->rfind("catch-up,,400,MS,clock ms,", 0) == 0) *at = "catch-up,,400,MS,clock ms,ok";
        if (*at == "Takes MS ms to catch up with a burst of twenty notches.") ++forgiven;
        const bool drop = *at == "Takes MS ms to catch up with a burst of twenty notches." ||
                          at->rfind("Note: catch-up took MS and MS ms", 0) == 0;
        at = drop ? results.erase(at) : at + 1;
    }
    if (forgiven == 0 || results.empty()) return;
    int faults = 0;
    char rest[64] = "";
    std::sscanf(results.back().c_str(), "Result: %d fault%*s found%63[^\n]", &faults, rest);
    if (--faults <= 0) {
        results.back() = std::string("Result: no fault found") + rest;
        exitCode = std::string(rest).empty() ? 0 : 4;
    } else {
        results.back() = "Result: " + std::to_string(faults) + (faults == 1 ? " fault found" : " faults found") + rest;
    }
}

inline std::wstring HexForm(HWND w) { return Format(L"0x%lX", Handle32(w)); }

inline POINT CursorNow() {
    POINT p{};
    ::GetCursorPos(&p);
    return p;
}

}  // namespace nle2e
