#include <gtest/gtest.h>

#include "common/app/command_line.h"

namespace nl {
namespace {

using Args = std::vector<std::wstring>;

TEST(ReplayOptions, ValuesTheLastOneCountingAndTheirMessages) {
    const struct Case {
        Args args;
        int run;
        std::optional<Vantage> window;
        std::int64_t maxGapMs;
        std::int32_t speedMilli;
        const char* problem;                  // the report's reason
        const wchar_t* startupProblem = L"";  // the start-up notice's
    } cases[] = {
        {{L"--replay", L"t.csv"}, 0, {}, 2000, 1000, ""},
        {{L"/REPLAY-RUN", L"3", L"--replay-window", L"Hook", L"/replay-max-gap", L"0", L"--replay-speed", L"0.1"},
         3, Vantage::Hook, 0, 100, ""},
        {{L"--replay-max-gap", L"3600000", L"--replay-speed", L"10"}, 0, {}, 3600000, 10000, ""},
        {{L"--replay-speed", L"2.5", L"--replay-speed", L"0.125"}, 0, {}, 2000, 125, ""},
        {{L"--replay-speed", L"0.09"}, 0, {}, 2000, 1000, "--replay-speed must be from 0.1 to 10, not \"0.09\""},
        {{L"--replay-speed", L"10.001"}, 0, {}, 2000, 1000, "--replay-speed must be from 0.1 to 10, not \"10.001\""},
        {{L"--replay-speed", L"0.1234"}, 0, {}, 2000, 1000, "--replay-speed must be from 0.1 to 10, not \"0.1234\""},
        {{L"--replay-speed", L"fast"}, 0, {}, 2000, 1000, "--replay-speed must be from 0.1 to 10, not \"fast\""},
        {{L"--replay-speed", L"x", L"--replay-speed", L"2"}, 0, {}, 2000, 2000, ""},  // the last one counts
        {{L"--replay-speed", L"2", L"--replay-speed", L"."}, 0, {}, 2000, 2000,
         "--replay-speed must be from 0.1 to 10, not \".\""},
        {{L"--replay-max-gap", L"3600001"}, 0, {}, 2000, 1000,
         "--replay-max-gap must be from 0 to 3600000 ms, not \"3600001\""},
        {{L"--replay-max-gap", L"-1"}, 0, {}, 2000, 1000, "--replay-max-gap must be from 0 to 3600000 ms, not \"-1\""},
        {{L"--replay-max-gap", L"1.5"}, 0, {}, 2000, 1000, "--replay-max-gap must be from 0 to 3600000 ms, not \"1.5\""},
        {{L"--replay-run", L"0"}, 0, {}, 2000, 1000, "--replay-run must be a run number from 1, not \"0\""},
        {{L"--replay-run", L"2147483648"}, 0, {}, 2000, 1000,
         "--replay-run must be a run number from 1, not \"2147483648\""},
        {{L"--replay-window", L"mouse\u00e9"}, 0, {}, 2000, 1000,
         "unknown --replay-window name: \"mouse?\"; use main, analysis, hook or raw"},
        {{L"--replay-run", L"x", L"--replay-speed", L"0"}, 0, {}, 2000, 1000,
         "--replay-run must be a run number from 1, not \"x\""},  // the first of several
        {{L"--replay-run"}, 0, {}, 2000, 1000, "", L"--replay-run needs a run number."},
        {{L"/replay-window", L""}, 0, {}, 2000, 1000, "", L"/replay-window needs a window name."},
        {{L"--replay"}, 0, {}, 2000, 1000, "", L"--replay needs a file name."},
        {{L"--replay-runs", L"1"}, 0, {}, 2000, 1000, "", L"Unknown argument: --replay-runs"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args.size()) + " arguments, problem " + c.problem);
        const Options o = ParseOptions(c.args);
        EXPECT_EQ(o.replay.choice.run, c.run);
        EXPECT_EQ(o.replay.choice.vantage, c.window);
        EXPECT_EQ(o.replay.maxGapMs, c.maxGapMs);
        EXPECT_EQ(o.replay.speedMilli, c.speedMilli);
        EXPECT_EQ(o.replay.Problem(), c.problem);
        EXPECT_EQ(o.problem, c.startupProblem);
    }
}

TEST(ReplayOptions, FilesAndWhatGoesTogether) {
    const struct Case {
        Args args;
        bool testTarget, testReport;
        const char* problem;
    } cases[] = {
        {{L"--replay", L"a.csv", L"--replay-report", L"r.txt", L"/replay-trace", L"t.csv", L"--log", L"l"}, true, false,
         ""},
        {{L"--replay", L"a.csv"}, false, false, "--replay needs --test-target"},
        {{L"--replay", L"a.csv"}, true, true, "--replay and --test-report cannot be combined: choose one"},
        {{L"--replay-report", L"r.txt"}, true, false, "--replay-report needs --replay"},
        {{L"--replay-trace", L"t.csv"}, true, false, "--replay-trace needs --replay"},
        {{}, false, true, ""},
    };
    for (const Case& c : cases) {
        const Options o = ParseOptions(c.args);
        EXPECT_EQ(ReplayCombinationProblem(o.replay, c.testTarget, c.testReport), c.problem);
        EXPECT_EQ(o.problem, L"");
    }
    const Options o = ParseOptions(cases[0].args);
    EXPECT_EQ(o.replay.file, L"a.csv");
    EXPECT_EQ(o.replay.reportPath, L"r.txt");
    EXPECT_EQ(o.replay.tracePath, L"t.csv");
    EXPECT_EQ(o.logPath, L"l");
}

}  // namespace
}  // namespace nl
