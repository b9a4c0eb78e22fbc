#include <gtest/gtest.h>

#include "common/wheel_test/wheel_report.h"

namespace nl {
namespace {

WheelReportHead Head() {
    WheelReportHead head;
    head.version = "1.00.0007";
    head.dateTime = "2026-12-07 20:15:03";
    head.target = "000101B2 ListBox \"\" (process 36)";
    head.measured = "000101B2 ListBox \"\" (process 36)";
    head.verticalMethod = ReadMethod::ListBoxTop;
    head.horizontalMethod = ReadMethod::Image;
    head.delivery = "posted";
    head.testX = 320;
    head.testY = -12;
    head.linesPerNotch = -1;
    head.charsPerNotch = 3;
    return head;
}

TEST(WheelReport, Text) {
    WheelGrader notFound{WheelTestSetup{}};
    notFound.Stop("no window matches title:Editor");
    WheelReportHead bare;
    bare.version = "1.00.0007";
    bare.dateTime = "2026-12-07 20:15:03";
    WheelReportHead covered = Head();
    covered.measured.clear();
    WheelGrader stopped{WheelTestSetup{}};
    for (int moved : {3, 6, 0, -9}) {  // one notch moved nothing: back where it was
        StepReading r;
        r.movement = moved;
        stopped.Feed(r);
    }
    WheelGrader none{WheelTestSetup{}};
    none.Stop("the target is covered at the test point");

    struct Row {
        WheelReportHead head;
        const WheelGrader* grader;
        const char* expected;
    } rows[] = {
        {bare, &notFound,
         "Notchlog 1.00.0007 wheel test, 2026-12-07 20:15:03\r\n\r\n"
         "Result: could not test (no window matches title:Editor)\r\n"},
        {covered, &none,
         "Notchlog 1.00.0007 wheel test, 2026-12-07 20:15:03\r\nTarget: 000101B2 ListBox \"\" (process 36)\r\n\r\n"
         "Result: could not test (the target is covered at the test point)\r\n"},
        {Head(), &stopped,
         "Notchlog 1.00.0007 wheel test, 2026-12-07 20:15:03\r\n"
         "Target: 000101B2 ListBox \"\" (process 36)\r\n"
         "Measured window: 000101B2 ListBox \"\" (process 36)\r\n"
         "Reading: vertical LB_GETTOPINDEX items, horizontal image px\r\n"
         "Delivery: posted at the test point 320,-12\r\n"
         "Per notch: a page, 3 characters\r\n\r\n"
         "pattern,sent,sound,observed,method,verdict\r\n"
         "room,3x-120,,9,LB_GETTOPINDEX items,info\r\n"
         "notch,-120,,0,LB_GETTOPINDEX items,info\r\n\r\n"
         "Note: the target is back where it was.\r\n"
         "Result: could not test (the window did not scroll on the wheel, or has nothing to scroll)\r\n"},
    };
    for (const auto& r : rows) EXPECT_EQ(WheelReportText(r.head, *r.grader), r.expected);
}

// The first that applies: 3 not written, 2 could not test, 1 a fault, 4 inconclusive, 0.
TEST(WheelReport, ExitCodes) {
    const auto play = [](std::vector<std::optional<int>> movements, bool stop = false) {
        WheelGrader g{WheelTestSetup{}};
        for (std::size_t i = 0; g.Next() && i < movements.size(); ++i) {
            StepReading r;
            r.movement = movements[i];
            r.catchUpMs = 40;
            g.Feed(r);
        }
        if (stop) g.Stop("stopped");
        return g;
    };
    const std::vector<std::optional<int>> sound = {3, 6, 3, -3, 6, -6, 3, -3, 3, -3, 0, 0, 60, 3, -60, -9, -3};
    std::vector<std::optional<int>> inconclusive = sound;
    inconclusive[12] = std::nullopt;  // the burst
    // Two notches scrolled as one (its end step follows), and the burst unmeasured.
    const std::vector<std::optional<int>> faultAndInconclusive = {3, 6, 3, -3, 3, 3, -3, 3, -3,
                                                                   3, -3, 0, 0, std::nullopt, 3, -60, -9};
    struct Row {
        const char* what;
        WheelGrader grader;
        bool written;
        int code;
    } rows[] = {
        {"no fault", play(sound), true, 0},
        {"inconclusive", play(inconclusive), true, 4},
        {"a fault beats inconclusive", play(faultAndInconclusive), true, 1},
        {"could not test", play({3, 6, 0, -9}), true, 2},
        {"stopped", play({3, 6}, true), true, 2},
        {"not written beats all", play(inconclusive), false, 3},
        {"not written, could not test", play({3, 6}, true), false, 3},
    };
    for (const auto& r : rows) EXPECT_EQ(WheelTestExitCode(r.grader, r.written), r.code) << r.what;
}

TEST(WheelReport, SettingsList) {
    struct Row {
        const char* text;
        std::vector<int> settings;
        const char* problem;
    } rows[] = {
        {"1,3,10,-1", {1, 3, 10, -1}, ""},
        {"100", {100}, ""},
        {"1,abc", {}, "--test-settings: \"abc\" is not a setting (-1, or 1 to 100 lines per notch)"},
        {"0", {}, "--test-settings: \"0\" is not a setting (-1, or 1 to 100 lines per notch)"},
        {"101", {}, "--test-settings: \"101\" is not a setting (-1, or 1 to 100 lines per notch)"},
        {"1,,3", {}, "--test-settings: \"\" is not a setting (-1, or 1 to 100 lines per notch)"},
        {"-2", {}, "--test-settings: \"-2\" is not a setting (-1, or 1 to 100 lines per notch)"},
        {"1,2,3,4,5,6,7,8,9", {}, "--test-settings takes at most 8 settings, not 9"},
    };
    for (const auto& r : rows) {
        std::string problem;
        const auto settings = ParseSettingsList(r.text, problem);
        EXPECT_EQ(problem, r.problem) << r.text;
        EXPECT_EQ(settings.value_or(std::vector<int>{}), r.settings) << r.text;
    }
}

TEST(WheelReport, RequestProblems) {
    struct Row {
        bool target, report;
        const char *delivery, *problem;
    } rows[] = {
        {true, true, "", ""},
        {true, true, "posted", ""},
        {false, false, "injected", ""},
        {false, true, "posted", "--test-report needs --test-target"},
        {false, true, "carrier pigeon", "--test-report needs --test-target"},
        {true, true, "Posted", "unknown delivery: Posted"},
        {true, false, "sent", "unknown delivery: sent"},
    };
    for (const auto& r : rows) EXPECT_EQ(WheelRequestProblem(r.target, r.report, r.delivery), r.problem);
}

}  // namespace
}  // namespace nl
