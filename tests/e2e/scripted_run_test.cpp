// A scripted run (--test-report, --replay-report) never shows a window or
// a message box, whatever is wrong: a bad argument becomes its Result line,
// within seconds, also on its standard output when that is a pipe; a report
// it cannot write is said on standard error, with exit code 3.
#include <gtest/gtest.h>

#include <filesystem>

#include "driver/wheel_test_runs.h"

namespace nle2e {
namespace {

// A pipe whose write end a child inherits; Read takes what came once the child is gone.
struct Pipe {
    HANDLE read = nullptr, write = nullptr;
    Pipe() {
        SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
        if (!::CreatePipe(&read, &write, &sa, 1 << 16)) ThrowLastError("CreatePipe");
        ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    }
    ~Pipe() {
        if (write) ::CloseHandle(write);
        ::CloseHandle(read);
    }
    std::string Read() {
        ::CloseHandle(write);
        write = nullptr;
        std::string all;
        char buffer[4096];
        DWORD n = 0;
        while (::ReadFile(read, buffer, sizeof buffer, &n, nullptr) && n > 0) all.append(buffer, n);
        return all;
    }
};

TEST(ScriptedRuns, ShowNothingAndTellTheirResultOnStandardOutput) {
    const std::wstring report =
        (std::filesystem::temp_directory_path() / Format(L"notchlog-scripted-%lu.txt", ::GetCurrentProcessId())).wstring();
    const std::wstring unwritable = L"Z:\\no\\such\\folder\\report.txt";
    const struct Row {
        std::wstring args;
        std::string out, err;  // err: how standard error begins
        DWORD code;
        bool reportFile = true;  // a report was asked for: its last line is the Result line
    } rows[] = {
        {L"--test-target 0x1 --test-junit x.xml",
         "Result: could not test (--test-junit needs --test-report or --replay-report)\r\n", "", 2, false},
        {L"--bogus --test-report \"" + report + L"\"", "Result: could not test (unknown option: --bogus)\r\n", "", 2},
        {L"--test-report \"" + report + L"\" --test-target", "Result: could not test (--test-target needs a value)\r\n",
         "", 2},
        {L"--replay x.csv --test-target 0x1 --replay-report \"" + report + L"\" --replay-speed",
         "Result: could not replay (--replay-speed needs a value)\r\n", "", 2},
        {L"--test-target 0x7FFE0000 --test-zoom --test-delivery posted --test-report \"" + report + L"\"",
         "Result: could not test (--test-zoom needs injected delivery)\r\n", "", 2},
        {L"--test-target 0x7FFE0000 --test-settings 1,abc --test-report \"" + report + L"\"",
         "Result: could not test (--test-settings: \"abc\" is not a setting (-1, or 1 to 100 lines per notch))\r\n", "", 2},
        {L"--replay x.csv --test-target 0x1 --test-settings 1 --replay-report \"" + report + L"\"",
         "Result: could not test (--test-settings cannot be combined with --replay)\r\n", "", 2},
        {L"--test-target 0x7FFE0000 --test-report " + unwritable,
         "Result: could not test (0x7FFE0000 is not a window)\r\n",
         "Notchlog: could not write " + Narrow(unwritable) + ": ", 3},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(Narrow(r.args));
        Pipe out, err;
        ChildProcess run(NotchlogExePath(), L"\"" + NotchlogExePath() + L"\" " + r.args, out.write, err.write);
        // Within seconds: a message box would keep it running until killed.
        ASSERT_TRUE(WaitUntil([&] { return !run.Running(); }, 10s));
        DWORD code = 0;
        ::GetExitCodeProcess(run.Handle(), &code);
        EXPECT_EQ(code, r.code);
        EXPECT_EQ(out.Read(), r.out);
        const std::string said = err.Read();
        EXPECT_EQ(said.substr(0, r.err.size()), r.err) << said;
        if (r.err.empty()) {
            EXPECT_EQ(said, "");
        }
        if (r.code == 2 && r.reportFile) {
            EXPECT_EQ((WheelTestReport{0, Contents(report)}.LastLine() + "\r\n"), r.out);
        }
        std::error_code e;
        std::filesystem::remove(report, e);
    }
}

}  // namespace
}  // namespace nle2e
