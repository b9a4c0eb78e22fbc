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
    head.verticalMethod = "LB_GETTOPINDEX items";
    head.horizontalMethod = "image px";
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
    stopped.Feed(9);
    stopped.Feed(0);
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
         "Result: could not test (the window did not scroll on the wheel, or has nothing to scroll)\r\n"},
    };
    for (const auto& r : rows) EXPECT_EQ(WheelReportText(r.head, *r.grader), r.expected);
}

TEST(WheelReport, ExitCodes) {
    struct Row {
        WheelOutcome outcome;
        bool written;
        int code;
    } rows[] = {
        {WheelOutcome::NoFault, true, 0},       {WheelOutcome::Faults, true, 1},
        {WheelOutcome::CouldNotTest, true, 2},  {WheelOutcome::Running, true, 2},
        {WheelOutcome::NoFault, false, 3},      {WheelOutcome::CouldNotTest, false, 3},
    };
    for (const auto& r : rows) EXPECT_EQ(WheelTestExitCode(r.outcome, r.written), r.code);
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
