#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "hook/hook_dispatch.h"

namespace nl {
namespace {

// Records what the replacement procedure asked of the window, in order.
class FakeWindow : public HookTarget {
public:
    std::vector<std::string> calls;
    std::intptr_t forwardResult = 0;
    std::function<void()> onWheel, onForward, onLog;
    int errorsReported = 0, logFailuresReported = 0;
    WheelEvent lastWheel{};

    void HandleWheel(const WheelEvent& e) override {
        calls.push_back("wheel");
        lastWheel = e;
        if (onWheel) onWheel();
    }
    std::intptr_t Forward() override {
        calls.push_back("forward");
        if (onForward) onForward();
        return forwardResult;
    }
    void Log() override {
        calls.push_back("log");
        if (onLog) onLog();
    }
    void ReportError(const Error*) noexcept override { ++errorsReported; }
    void ReportLogFailure(const Error*) noexcept override { ++logFailuresReported; }
};

struct Dispatcher {
    bool stopLogging = false;
    bool logFailureReported = false;
    std::intptr_t operator()(std::uint32_t msg, FakeWindow& w, std::int32_t wParam = 0, std::int32_t lParam = 0) {
        return DispatchHooked(msg, wParam, lParam, stopLogging, logFailureReported, w);
    }
};

TEST(HookDispatch, WheelIsConsumedAndLoggedEverythingElseForwardedThenLogged) {
    Dispatcher d;
    FakeWindow w;
    w.forwardResult = 0x12345;
    // One notch back with Ctrl at (300, 200).
    EXPECT_EQ(d(0x020A, w, static_cast<std::int32_t>(0xFF880008u), (200 << 16) | 300), 0);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"wheel", "log"}));
    EXPECT_EQ(w.lastWheel.notches, 1);
    EXPECT_EQ(w.lastWheel.keyState, 8);
    EXPECT_EQ(w.lastWheel.x, 300);
    EXPECT_EQ(w.lastWheel.y, 200);

    const std::uint32_t forwarded[] = {0x020E, 0x0201, 0x0020, 0x0200, 0x10000 | 0x020A, 0xC123};
    for (auto m : forwarded) {
        w.calls.clear();
        EXPECT_EQ(d(m, w), 0x12345) << std::hex << m;
        EXPECT_EQ(w.calls, (std::vector<std::string>{"forward", "log"})) << std::hex << m;
    }
}

TEST(HookDispatch, NothingIsLoggedOnceLoggingHasStopped) {
    Dispatcher d;
    d.stopLogging = true;
    FakeWindow w;
    w.forwardResult = 7;
    EXPECT_EQ(d(0x0010, w), 7);
    EXPECT_EQ(d(0x020A, w), 0);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"forward", "wheel"}));
}

TEST(HookDispatch, NestedMessageIsLoggedAboveTheOneItArrivedIn) {
    Dispatcher d;
    FakeWindow outer, inner;
    std::vector<std::string> log;
    inner.onLog = [&] { log.push_back("inner"); };
    outer.onLog = [&] { log.push_back("outer"); };
    outer.onForward = [&] { d(0x0005, inner); };  // sent to the window while it handles the outer one
    d(0x0047, outer);
    EXPECT_EQ(log, (std::vector<std::string>{"inner", "outer"}));
}

// Whatever a handler throws stays on this side of the window procedure.
TEST(HookDispatch, FailuresNeverLeaveTheProcedure) {
    const std::function<void()> throwers[] = {
        [] { throw Error(6, "Overflow", "Notchlog", 0); },
        [] { throw std::bad_alloc(); },
        [] { throw std::runtime_error("not one of ours"); },
        [] { throw 42; },
    };
    for (const auto& t : throwers) {
        Dispatcher d;
        FakeWindow w;
        w.forwardResult = 99;
        w.onWheel = t;
        EXPECT_EQ(d(0x020A, w), 0);  // reported, still answered 0 and logged
        EXPECT_EQ(w.errorsReported, 1);
        EXPECT_EQ(w.calls.back(), "log");

        w.onForward = t;
        w.calls.clear();
        EXPECT_EQ(d(0x0111, w), 0);  // the failed forward has no result of its own
        EXPECT_EQ(w.errorsReported, 2);
        EXPECT_EQ(w.calls, (std::vector<std::string>{"forward", "log"}));

        w.onForward = nullptr;
        w.onLog = t;
        EXPECT_EQ(d(0x0111, w), 99);  // a failing log does not change the result
        EXPECT_EQ(w.logFailuresReported, 1);
    }
}

TEST(HookDispatch, AListThatRefusesLinesIsToldOnceAndEveryMessageStillGoesThrough) {
    Dispatcher d;
    FakeWindow w;
    w.forwardResult = 1;
    w.onLog = [] { throw Error(7, "Out of memory", "Notchlog", 8); };
    int forwarded = 0;
    w.onForward = [&] { ++forwarded; };
    for (int i = 0; i < 10000; ++i) ASSERT_EQ(d(0x8000 + static_cast<std::uint32_t>(i % 100), w), 1);
    EXPECT_EQ(forwarded, 10000);
    EXPECT_EQ(w.logFailuresReported, 1);
    EXPECT_EQ(w.errorsReported, 0);
    // Wheel messages are still answered while the log is full.
    EXPECT_EQ(d(0x020A, w, 120 << 16), 0);
    EXPECT_EQ(w.logFailuresReported, 1);
}

}  // namespace
}  // namespace nl
