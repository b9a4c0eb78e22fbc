#include <gtest/gtest.h>

#include "common/command_line.h"

namespace nl {
namespace {

using Args = std::vector<std::wstring>;

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
    EXPECT_EQ(OptionsHelp(L"Unknown argument: -x").rfind(L"Unknown argument: -x\n\nNotchlog accepts:\n--log FILE", 0),
              0u);
}

}  // namespace
}  // namespace nl
