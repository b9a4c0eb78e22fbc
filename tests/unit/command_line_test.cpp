#include <gtest/gtest.h>

#include "common/command_line.h"

namespace nl {
namespace {

using Args = std::vector<std::wstring>;

TEST(CommandLine, SplitsLikeTheCRuntime) {
    struct Row {
        const wchar_t* line;
        Args args;
    } rows[] = {
        {L"Notchlog.exe", {}},
        {L"\"C:\\Program Files\\Notchlog.exe\"  --log  a.log ", {L"--log", L"a.log"}},
        {L"n.exe /log \"C:\\My Logs\\wheel.log\"", {L"/log", L"C:\\My Logs\\wheel.log"}},
        {L"n.exe a\\\\b \"c\\\\\" d\\\"e \"\"", {L"a\\\\b", L"c\\", L"d\"e", L""}},
        {L"n.exe \"say \"\"hi\"\"\"\t\"x\"y", {L"say \"hi\"", L"xy"}},
    };
    for (const auto& r : rows) EXPECT_EQ(SplitCommandLine(r.line), r.args) << r.line;
}

TEST(CommandLine, Options) {
    struct Row {
        Args args;
        const wchar_t* logPath;
        const wchar_t* problem;
    } rows[] = {
        {{}, L"", L""},
        {{L"--log", L"build/wheel.log"}, L"build/wheel.log", L""},
        {{L"/LOG", L"C:\\w.log"}, L"C:\\w.log", L""},
        {{L"--log"}, L"", L"--log needs a file name."},
        {{L"/log", L""}, L"", L"/log needs a file name."},
        {{L"--verbose", L"--log", L"x"}, L"", L"Unknown argument: --verbose"},
        {{L"--log", L"x", L"extra"}, L"x", L"Unknown argument: extra"},
    };
    for (const auto& r : rows) {
        const Options o = ParseOptions(r.args);
        EXPECT_EQ(o.logPath, r.logPath);
        EXPECT_EQ(o.problem, r.problem);
    }
}

}  // namespace
}  // namespace nl
