// Verdicts that hold: a list scrolled to its end is tested all the same (the
// test turns around first) and left where it was; the catch-up's verdict is
// the same run after run, a fault for a slow window and ok for a sound list.
#include <gtest/gtest.h>

#include "driver/wheel_targets.h"
#include "driver/wheel_test_runs.h"

namespace nle2e {
namespace {

std::vector<std::string> Matching(const WheelTestReport& report, const std::string& start) {
    std::vector<std::string> out;
    for (const auto& line : report.Results())
        if (line.rfind(start, 0) == 0) out.push_back(line);
    return out;
}

TEST(WheelTestTrust, AListAtItsEndTurnsAroundAndIsLeftWhereItWas) {
    WheelTarget target(WheelTargetKind::List, WheelTargetOptions{{820, 40}, -1, -1, true});
    const int start = target.Position();
    ASSERT_GT(start, 150);
    const WheelTestReport report = RunWheelTestScript(L"--test-target " + HexForm(target.Window()));
    EXPECT_EQ(Matching(report, "Note: the target was at its end"),
              std::vector<std::string>{"Note: the target was at its end: it was first scrolled up 72 items."})
        << report.text;
    const auto lines = report.Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Note: the target is back where it was.");
    std::vector<std::string> results = report.Results();
    DWORD exitCode = report.exitCode;
    ForgiveLateCatchUp(results, exitCode);
    EXPECT_EQ(results.back(), "Result: no fault found") << report.text;
    EXPECT_EQ(target.Position(), start);
}

// Five runs in a row give the same catch-up verdict on both bursts.
TEST(WheelTestTrust, CatchUpHoldsStillRunAfterRun) {
    const struct {
        WheelTargetKind kind;
        const char* verdict;
    } rows[] = {{WheelTargetKind::Slow, "fault"}, {WheelTargetKind::List, "ok"}};
    for (const auto& r : rows) {
        WheelTarget target(r.kind);
        for (int run = 0; run < 5; ++run) {
            SCOPED_TRACE(Narrow(WheelTargetName(r.kind)) + ", run " + std::to_string(run + 1));
            const WheelTestReport report = RunWheelTestScript(L"--test-target " + HexForm(target.Window()));
            const std::string line = std::string("catch-up,,400,MS,clock ms,") + r.verdict;
            EXPECT_EQ(Matching(report, "catch-up,"), (std::vector<std::string>{line, line})) << report.text;
        }
    }
}

}  // namespace
}  // namespace nle2e
