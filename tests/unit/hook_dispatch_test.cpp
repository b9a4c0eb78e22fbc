#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/message_log/subclass_dispatch.h"

namespace nl {
namespace {

using Calls = std::vector<std::string>;

// Records what the replacement procedure asked of the window, in order.
struct FakeWindow : MessageSink {
    Calls calls;
    std::function<void()> onWheel, onForward, onLog;
    bool stopped = false, logFailureTold = false;
    int errorsReported = 0, logFailuresReported = 0;
    WheelEvent lastWheel{};

    void OnWheelArrived(std::uint32_t uMsg, std::int32_t, std::int32_t) override {
        calls.push_back("arrived " + std::to_string(uMsg));
    }
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

    // One message through the replacement procedure; the previous procedure answers `answer`.
    std::intptr_t Dispatch(std::uint32_t uMsg, std::int32_t wParam = 0, std::int32_t lParam = 0, std::intptr_t answer = 7) {
        auto forward = [&]() -> std::intptr_t {
            calls.push_back("forward");
            if (onForward) onForward();
            return answer;
        };
        return DispatchSubclassed(SubclassedMessage{1, uMsg, wParam, lParam}, forward, *this, logFailureTold);
    }
};

TEST(HookDispatch, WheelIsConsumedEverythingElseForwardedAndAllLoggedAfter) {
    FakeWindow w;
    // One notch back with Ctrl at (300, 200).
    EXPECT_EQ(w.Dispatch(0x020A, static_cast<std::int32_t>(0xFF880008u), (200 << 16) | 300), 0);
    EXPECT_EQ(w.calls, (Calls{"arrived 522", "wheel", "log 522"}));
    EXPECT_EQ((std::vector<int>{w.lastWheel.notches, w.lastWheel.keyState, w.lastWheel.x, w.lastWheel.y}),
              (std::vector<int>{1, 8, 300, 200}));
    // Both wheels arrive before anything else happens to them; no other message does.
    for (std::uint32_t m : {0x020Eu, 0x0020u, 0x1020Au}) {
        w.calls.clear();
        EXPECT_EQ(w.Dispatch(m), 7) << std::hex << m;
        Calls want{"forward", "log " + std::to_string(m)};
        if (m == 0x020E) want.insert(want.begin(), "arrived 526");
        EXPECT_EQ(w.calls, want);
    }
    w.stopped = true;  // closing or paused: handled and answered, not logged, still arriving
    w.calls.clear();
    EXPECT_EQ(w.Dispatch(0x0010, 0, 0, 9), 9);
    EXPECT_EQ(w.Dispatch(0x020A), 0);
    EXPECT_EQ(w.calls, (Calls{"forward", "arrived 522", "wheel"}));
}

TEST(HookDispatch, NestedMessageIsLoggedAboveTheOneItArrivedIn) {
    FakeWindow w;
    bool nested = false;
    w.onForward = [&] {  // a message sent to the window while it handles the first
        if (!std::exchange(nested, true)) w.Dispatch(0x0005);
    };
    w.Dispatch(0x0047);
    EXPECT_EQ(w.calls, (Calls{"forward", "forward", "log 5", "log 71"}));
}

// Whatever a handler throws stays on this side of the window procedure; a
// log that refuses lines is told once and every message still goes through.
TEST(HookDispatch, FailuresNeverLeaveTheProcedure) {
    const std::function<void()> throwers[] = {[] { Raise(6, "Overflow"); }, [] { throw std::bad_alloc(); },
                                              [] { throw std::runtime_error("not ours"); }, [] { throw 42; }};
    for (const auto& t : throwers) {
        FakeWindow w;
        w.onWheel = w.onForward = t;
        EXPECT_EQ(w.Dispatch(0x020A), 0);  // reported, still answered 0 and logged
        EXPECT_EQ(w.Dispatch(0x0111), 0);  // the failed forward has no result of its own
        EXPECT_EQ(w.calls, (Calls{"arrived 522", "wheel", "log 522", "forward", "log 273"}));
        EXPECT_EQ(w.errorsReported, 2);
        w.onWheel = w.onForward = nullptr;
        w.onLog = t;
        for (int i = 0; i < 100; ++i) ASSERT_EQ(w.Dispatch(0x8000, 0, 0, 99), 99);  // the result stands
        EXPECT_EQ(w.Dispatch(0x020A, 120 << 16), 0);
        EXPECT_EQ(w.logFailuresReported, 1);
        EXPECT_EQ(w.errorsReported, 2);
    }
}

}  // namespace
}  // namespace nl
