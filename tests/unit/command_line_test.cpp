#include <gtest/gtest.h>

#include "common/app/command_line.h"

namespace nl {
namespace {

using Args = std::vector<std::wstring>;
std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

TEST(CommandLine, Options) {
    struct Row {
        Args args;
        const wchar_t* logPath;
        std::int32_t maxLines;
        const wchar_t* problem;
        const wchar_t* wheelCsv = L"";
        bool analysis = false, captureAll = false;
    } rows[] = {
        {{}, L"", 5000000, L""},
        {{L"--log", L"build/wheel.log"}, L"build/wheel.log", 5000000, L""},
        {{L"/LOG", L"C:\\w.log", L"--max-lines", L"0"}, L"C:\\w.log", 0, L""},
        {{L"/Max-Lines", L"2147483647"}, L"", 2147483647, L""},
        {{L"--max-lines", L"2147483648"}, L"", 5000000, L"--max-lines needs a number of lines (0 for no limit)."},
        {{L"--max-lines", L"-1"}, L"", 5000000, L"--max-lines needs a number of lines (0 for no limit)."},
        {{L"/max-lines"}, L"", 5000000, L"/max-lines needs a number of lines (0 for no limit)."},
        {{L"--log"}, L"", 5000000, L"--log needs a file name."},
        {{L"/log", L""}, L"", 5000000, L"/log needs a file name."},
        {{L"--verbose", L"--log", L"x"}, L"", 5000000, L"Unknown argument: --verbose"},
        {{L"--log", L"x", L"extra"}, L"x", 5000000, L"Unknown argument: extra"},
        {{L"--wheel-csv", L"w.csv", L"--log", L"x"}, L"x", 5000000, L"", L"w.csv"},
        {{L"/ANALYSIS", L"/wheel-csv", L"C:\\w.csv", L"--capture-all"}, L"", 5000000, L"", L"C:\\w.csv", true, true},
        {{L"/Capture-All"}, L"", 5000000, L"", L"", false, true},
        {{L"--analysis", L"--wheel-csv"}, L"", 5000000, L"--wheel-csv needs a file name.", L"", true},
    };
    for (const auto& r : rows) {
        const Options o = ParseOptions(r.args);
        EXPECT_EQ(o.logPath, r.logPath);
        EXPECT_EQ(o.maxLines, r.maxLines);
        EXPECT_EQ(o.problem, r.problem);
        EXPECT_EQ(o.wheelCsvPath, r.wheelCsv);
        EXPECT_EQ(o.analysis, r.analysis);
        EXPECT_EQ(o.captureAll, r.captureAll);
    }
}

TEST(CommandLine, WheelTestOptions) {
    struct Row {
        Args args;
        const wchar_t *target, *report, *delivery, *problem;
        bool window = false;
    } rows[] = {
        {{L"--test-target", L"0x3C2", L"--test-report", L"r.txt"}, L"0x3C2", L"r.txt", L"", L""},
        {{L"/TEST-TARGET", L"title:A b", L"/test-delivery", L"posted", L"/wheel-test"}, L"title:A b", L"", L"posted",
         L"", true},
        // The last of a repeated option counts.
        {{L"--test-target", L"1", L"--test-target", L"class:Edit", L"--test-delivery", L"x", L"--test-delivery",
          L"injected"},
         L"class:Edit", L"", L"injected", L""},
        {{L"--test-report", L"r.txt", L"--test-target"}, L"", L"r.txt", L"",
         L"--test-target needs a window: 0xHEX, a decimal number, title:TEXT or class:NAME."},
        {{L"/test-report"}, L"", L"", L"", L"/test-report needs a file name."},
        {{L"--test-delivery", L""}, L"", L"", L"", L"--test-delivery needs injected or posted."},
    };
    for (const auto& r : rows) {
        const Options o = ParseOptions(r.args);
        EXPECT_EQ(o.testTarget, r.target);
        EXPECT_EQ(o.testReport, r.report);
        EXPECT_EQ(o.testDelivery, r.delivery);
        EXPECT_EQ(o.problem, r.problem);
        EXPECT_EQ(o.wheelTest, r.window);
    }
}

// A run that writes a report is scripted however its arguments go wrong, and
// the problem is its Result line's reason.
TEST(CommandLine, ScriptedRunsTellTheirProblemInTheReport) {
    struct Row {
        Args args;
        bool scripted;
        const wchar_t *testReport, *replayReport, *scriptProblem;
    } rows[] = {
        {{L"--test-target", L"1", L"--test-report", L"r.txt"}, true, L"r.txt", L"", L""},
        {{L"--bogus", L"--test-report", L"r.txt"}, true, L"r.txt", L"", L"unknown option: --bogus"},
        {{L"--test-report", L"r.txt", L"--test-target"}, true, L"r.txt", L"", L"--test-target needs a value"},
        {{L"--max-lines", L"x", L"/replay-report", L"p.txt"}, true, L"", L"p.txt", L"--max-lines needs a value"},
        {{L"--test-target", L"1", L"--test-report"}, true, L"", L"", L"--test-report needs a value"},
        {{L"--bogus", L"--log", L"x"}, false, L"", L"", L"unknown option: --bogus"},
        {{L"--replay-runs", L"2", L"--replay-report", L"p.txt"}, true, L"", L"p.txt", L"unknown option: --replay-runs"},
    };
    for (const auto& r : rows) {
        const Options o = ParseOptions(r.args);
        EXPECT_EQ(o.scripted, r.scripted) << Narrow(r.args[0]);
        EXPECT_EQ(o.testReport, r.testReport);
        EXPECT_EQ(o.replay.reportPath, r.replayReport);
        EXPECT_EQ(o.scriptProblem, r.scriptProblem);
    }
}

// A picture is drawn only by a scripted run; without one the option is a
// start-up notice.
TEST(CommandLine, TestPictureGoesWithAReport) {
    const wchar_t* const alone = L"--test-picture needs --test-report or --replay-report";
    struct Row {
        Args args;
        const wchar_t *picture, *problem, *scriptProblem;
        bool scripted;
    } rows[] = {
        {{L"--test-picture", L"a.png", L"--test-report", L"r.txt"}, L"a.png", L"", L"", true},
        {{L"/TEST-PICTURE", L"a.png", L"--replay", L"x.csv", L"--replay-report", L"r.txt"}, L"a.png", L"", L"", true},
        {{L"--test-picture", L"a.png"}, L"a.png", alone, L"", false},
        {{L"--replay", L"x.csv", L"--test-target", L"1", L"/test-picture", L"a.png"}, L"a.png", alone, L"", false},
        {{L"--test-report", L"r.txt", L"--test-picture"}, L"", L"--test-picture needs a file name.",
         L"--test-picture needs a value", true},
        {{L"--verbose", L"--test-picture", L"a.png"}, L"", L"Unknown argument: --verbose", L"unknown option: --verbose",
         false},
    };
    for (const auto& r : rows) {
        const Options o = ParseOptions(r.args);
        EXPECT_EQ(o.testPicture, r.picture) << Narrow(r.args[0]);
        EXPECT_EQ(o.problem, r.problem);
        EXPECT_EQ(o.scriptProblem, r.scriptProblem);
        EXPECT_EQ(o.scripted, r.scripted);
    }
}

}  // namespace
}  // namespace nl
