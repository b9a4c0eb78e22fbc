#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/hook_dispatch.h"

namespace nl {
namespace {

// Records what the replacement procedure asked of the window, in order.
class FakeWindow : public MessageSink {
public:
    std::vector<std::string> calls;
    std::function<void()> onWheel, onForward, onLog;
    bool stopped = false;
    int errorsReported = 0, logFailuresReported = 0;
    WheelEvent lastWheel{};

    void HandleWheel(const WheelEvent& e) override {
        calls.push_back("wheel");
        lastWheel = e;
        if (onWheel) onWheel();
    }
    void LogMessage(std::int32_t, std::uint32_t uMsg, std::int32_t, std::int32_t) override {
        calls.push_back("log " + std::to_string(uMsg));
        if (onLog) onLog();
    }
    bool LoggingStopped() const override { return stopped; }
    void ReportError(const Error*) noexcept override { ++errorsReported; }
    void ReportLogFailure(const Error*) noexcept override { ++logFailuresReported; }

    bool logFailureTold = false;
    // One message through the replacement procedure; the previous procedure answers `answer`.
    std::intptr_t Dispatch(std::uint32_t uMsg, std::int32_t wParam = 0, std::int32_t lParam = 0,
                           std::intptr_t answer = 0x12345) {
        auto forward = [&]() -> std::intptr_t {
            calls.push_back("forward");
            if (onForward) onForward();
            return answer;
        };
        return DispatchHooked(HookedMessage{1, uMsg, wParam, lParam}, forward, *this, logFailureTold);
    }
};

TEST(HookDispatch, WheelIsConsumedEverythingElseForwardedAndAllLoggedAfter) {
    FakeWindow w;
    // One notch back with Ctrl at (300, 200).
    EXPECT_EQ(w.Dispatch(0x020A, static_cast<std::int32_t>(0xFF880008u), (200 << 16) | 300), 0);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"wheel", "log 522"}));
    EXPECT_EQ(w.lastWheel.notches, 1);
    EXPECT_EQ(w.lastWheel.keyState, 8);
    EXPECT_EQ(w.lastWheel.x, 300);
    EXPECT_EQ(w.lastWheel.y, 200);
    for (std::uint32_t m : {0x020Eu, 0x0020u, 0x1020Au, 0xC123u}) {
        w.calls.clear();
        EXPECT_EQ(w.Dispatch(m), 0x12345) << std::hex << m;
        EXPECT_EQ(w.calls, (std::vector<std::string>{"forward", "log " + std::to_string(m)}));
    }
    w.stopped = true;
    w.calls.clear();
    EXPECT_EQ(w.Dispatch(0x0010, 0, 0, 7), 7);
    EXPECT_EQ(w.Dispatch(0x020A), 0);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"forward", "wheel"}));
}

TEST(HookDispatch, NestedMessageIsLoggedAboveTheOneItArrivedIn) {
    FakeWindow w;
    bool nested = false;
    w.onForward = [&] {  // a message sent to the window while it handles the first
        if (!std::exchange(nested, true)) w.Dispatch(0x0005);
    };
    w.Dispatch(0x0047);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"forward", "forward", "log 5", "log 71"}));
}

// Whatever a handler throws stays on this side of the window procedure.
TEST(HookDispatch, FailuresNeverLeaveTheProcedure) {
    const std::function<void()> throwers[] = {
        [] { Raise(6, "Overflow"); },
        [] { throw std::bad_alloc(); },
        [] { throw std::runtime_error("not one of ours"); },
        [] { throw 42; },
    };
    for (const auto& t : throwers) {
        FakeWindow w;
        w.onWheel = t;
        EXPECT_EQ(w.Dispatch(0x020A), 0);  // reported, still answered 0 and logged
        EXPECT_EQ(w.errorsReported, 1);
        EXPECT_EQ(w.calls.back(), "log 522");

        w.onForward = t;
        EXPECT_EQ(w.Dispatch(0x0111), 0);  // the failed forward has no result of its own
        EXPECT_EQ(w.errorsReported, 2);
        EXPECT_EQ(w.calls.back(), "log 273");

        w.onForward = nullptr;
        w.onLog = t;
        EXPECT_EQ(w.Dispatch(0x0111, 0, 0, 99), 99);  // a failing log does not change the result
        EXPECT_EQ(w.logFailuresReported, 1);
    }
}

TEST(HookDispatch, AListThatRefusesLinesIsToldOnceAndEveryMessageStillGoesThrough) {
    FakeWindow w;
    w.onLog = [] { Raise(7, "Out of memory"); };
    int forwarded = 0;
    w.onForward = [&] { ++forwarded; };
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(w.Dispatch(0x8000 + static_cast<std::uint32_t>(i % 100), 0, 0, 1), 1);
    EXPECT_EQ(w.Dispatch(0x020A, 120 << 16), 0);  // wheel messages are still answered
    EXPECT_EQ(forwarded, 1000);
    EXPECT_EQ(w.logFailuresReported, 1);
    EXPECT_EQ(w.errorsReported, 0);
}

}  // namespace
}  // namespace nl
