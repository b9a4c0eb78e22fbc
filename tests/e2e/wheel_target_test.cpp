// The wheel test's instrument (finding, checking, delivering to and reading
// another program's window), run from this driver against target windows
// of known kinds in processes of their own.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "driver/wheel_targets.h"
#include "target/wheel_target.h"

namespace nle2e {
namespace {

using nl::Delivery;
using nl::ReadMethod;
using K = WheelTargetKind;

constexpr POINT kParked{5, 5};  // where the pointer waits between tests

nl::TargetPlace Locate(const WheelTarget& target) {
    nl::TargetPlace place;
    const std::string problem = nl::LocateTarget(target.Window(), place);
    if (!problem.empty()) throw DriverError("locating the target: " + problem);
    return place;
}

struct Step {
    bool horizontal;
    std::int16_t delta;
    int count;
};

// Delivers one step and returns the reader's settled movement.
std::optional<std::int32_t> Play(nl::WheelDelivery& delivery, nl::PositionReader& reader, const Step& step) {
    EXPECT_TRUE(delivery.Send(step.horizontal, step.delta, step.count));
    return reader.Settle().movement;
}

// One step down or right and its mirror, on every kind the step tells
// something about, by either delivery: the method the reader picks, the
// movement it reads, what the window itself says, and the pointer back
// where it was.
TEST(WheelTargetReader, EachKindMovesByItsKnownAmount) {
    const struct {
        K kind;
        Step step;
        ReadMethod method;
        int moved;   // in the method's unit (L = 3, C = 3 in the test prefix)
        int perUnit;  // the method's units per line (or column) the window counts
    } rows[] = {
        {K::Accumulating, {false, -120, 1}, ReadMethod::ScrollBarControl, 3, 1},
        {K::Accumulating, {false, -30, 4}, ReadMethod::ScrollBarControl, 3, 1},
        {K::Truncating, {false, -120, 1}, ReadMethod::ScrollBarControl, 3, 1},
        {K::Truncating, {false, -30, 4}, ReadMethod::ScrollBarControl, 0, 1},
        {K::EveryMessage, {false, -30, 4}, ReadMethod::ScrollBarControl, 12, 1},
        {K::FixedFour, {false, -120, 1}, ReadMethod::ListBoxTop, 4, 1},
        {K::FixedFour, {false, -240, 1}, ReadMethod::ListBoxTop, 8, 1},
        {K::List, {false, -120, 1}, ReadMethod::ListBoxTop, 3, 1},
        {K::List, {false, -15, 8}, ReadMethod::ListBoxTop, 3, 1},
        {K::ShortList, {false, -120, 1}, ReadMethod::ListBoxTop, 3, 1},
        {K::Slow, {false, -120, 1}, ReadMethod::ScrollBarControl, 3, 1},
        {K::Slow, {false, -15, 8}, ReadMethod::ScrollBarControl, 3, 1},  // three that move nothing come first
        {K::Pixels, {false, -120, 1}, ReadMethod::Image, 48, 16},
        {K::Pixels, {false, -30, 4}, ReadMethod::Image, 48, 16},
        {K::ReversedHorizontal, {true, 120, 1}, ReadMethod::ScrollBarControl, -3, 1},
        {K::IgnoresHorizontal, {true, 120, 1}, ReadMethod::ScrollBarControl, 0, 1},
        {K::Accumulating, {true, 120, 1}, ReadMethod::Image, 0, 8},
        {K::List, {true, 120, 1}, ReadMethod::Image, 0, 8},
    };
    for (const auto& r : rows) {
        for (const Delivery how : {Delivery::Injected, Delivery::Posted}) {
            const std::string what = Narrow(WheelTargetName(r.kind)) + (r.step.horizontal ? " sideways " : " ") +
                                     std::to_string(r.step.count) + "x" + std::to_string(r.step.delta) +
                                     (how == Delivery::Injected ? " injected" : " posted");
            MoveCursor(kParked);
            WheelTarget target(r.kind);
            const nl::TargetPlace place = Locate(target);
            EXPECT_EQ(place.measured, target.Content()) << what;
            nl::PositionReader reader(place, r.step.horizontal);
            EXPECT_EQ(reader.Method(), r.method) << what;
            const int before = target.Position(r.step.horizontal);
            {
                nl::WheelDelivery delivery(how, place);
                ASSERT_EQ(delivery.Begin(), "") << what;
                ASSERT_TRUE(reader.Mark()) << what;
                EXPECT_EQ(nl::CheckTarget(place, how), "") << what;
                EXPECT_EQ(Play(delivery, reader, r.step), r.moved) << what;
                EXPECT_EQ((target.Position(r.step.horizontal) - before) * r.perUnit, r.moved) << what;
                const Step mirror{r.step.horizontal, static_cast<std::int16_t>(-r.step.delta), r.step.count};
                EXPECT_EQ(Play(delivery, reader, mirror), -r.moved) << what;
            }
            POINT now{};
            ::GetCursorPos(&now);
            EXPECT_TRUE(now.x == kParked.x && now.y == kParked.y) << what << ": the pointer is at " << now.x << "," << now.y;
        }
    }
}

// Twenty notches in one call to a window that takes 35 ms over each: the
// reader waits for all of them, and knows when the last was taken.
TEST(WheelTargetReader, WaitsForASlowWindowToCatchUp) {
    for (const Delivery how : {Delivery::Injected, Delivery::Posted}) {
        WheelTarget target(K::Slow);
        const nl::TargetPlace place = Locate(target);
        nl::PositionReader reader(place, false);
        nl::WheelDelivery delivery(how, place);
        ASSERT_EQ(delivery.Begin(), "");
        ASSERT_TRUE(reader.Mark());
        ASSERT_TRUE(delivery.Send(false, -120, 20));
        const std::int64_t sent = nl::TargetClockUs();
        const auto settled = reader.Settle(2);
        EXPECT_TRUE(settled.agreed);
        EXPECT_EQ(settled.movement, 60);
        EXPECT_GT(settled.settledAtUs, sent);
        EXPECT_EQ(target.Position(), 60);
    }
}

// A shift beyond two thirds of the client's height cannot be told from the
// pixels: unmeasured, never a wrong number; the next step reads again.
TEST(WheelTargetReader, ImageTellsNoNumberForAShiftItCannotSee) {
    WheelTarget target(K::Pixels);
    const nl::TargetPlace place = Locate(target);
    nl::PositionReader reader(place, false);
    nl::WheelDelivery delivery(Delivery::Posted, place);
    ASSERT_EQ(delivery.Begin(), "");
    ASSERT_TRUE(reader.Mark());
    const auto still = reader.Settle();
    EXPECT_EQ(still.movement, 0);
    ASSERT_TRUE(delivery.Send(false, -120, 5));  // 240 of 300 px
    const auto beyond = reader.Settle();
    EXPECT_TRUE(beyond.agreed);
    EXPECT_EQ(beyond.movement, std::nullopt);
    EXPECT_EQ(Play(delivery, reader, {false, 120, 1}), -48);
}

void ExpectReason(const char* what, const nl::TargetPlace& place, Delivery how, const std::string& reason,
                  std::uint16_t keysHeldByTest = 0) {
    EXPECT_EQ(nl::CheckTarget(place, how, keysHeldByTest), reason) << what;
}

TEST(WheelTargetChecks, EachWayATargetStopsBeingTestable) {
    MoveCursor(kParked);
    {
        WheelTarget target(K::Accumulating);
        const nl::TargetPlace place = Locate(target);
        ExpectReason("all well, posted", place, Delivery::Posted, "");
        ExpectReason("the pointer elsewhere", place, Delivery::Injected, "the pointer was moved");
        nl::WheelDelivery delivery(Delivery::Injected, place);
        ASSERT_EQ(delivery.Begin(), "");
        ExpectReason("all well, injected", place, Delivery::Injected, "");
        Key(VK_SHIFT);
        WaitUntil([] { return ::GetAsyncKeyState(VK_SHIFT) < 0; });
        ExpectReason("Shift held", place, Delivery::Injected, "a key or mouse button is held down");
        ExpectReason("Shift held by the test", place, Delivery::Injected, "", MK_SHIFT);
        ExpectReason("Shift held, posted", place, Delivery::Posted, "");
        Key(VK_SHIFT, true);
        WaitUntil([] { return ::GetAsyncKeyState(VK_SHIFT) >= 0; });
        delivery.HoldKeys(true, false);
        EXPECT_EQ(delivery.HeldKeys(), MK_CONTROL);
        ExpectReason("Ctrl held by the test", place, Delivery::Injected, "", delivery.HeldKeys());
        delivery.HoldKeys(false, false);
        ExpectReason("keys let go", place, Delivery::Injected, "");
        {
            TestWindow cover(L"NotchlogTestCover", L"cover", RECT{place.testPoint.x - 20, place.testPoint.y - 20,
                                                                  place.testPoint.x + 20, place.testPoint.y + 20});
            ExpectReason("covered", place, Delivery::Posted, "the target is covered at the test point");
            nl::TargetPlace again;
            EXPECT_EQ(nl::LocateTarget(target.Window(), again), "the target is covered at the test point");
        }
        MoveCursor({place.testPoint.x + 1, place.testPoint.y});
        ExpectReason("the pointer moved", place, Delivery::Injected, "the pointer was moved");
        MoveCursor(place.testPoint);
        ASSERT_TRUE(::SetWindowPos(target.Window(), nullptr, 830, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
        ExpectReason("moved", place, Delivery::Posted, "the target moved or changed size");
        Send(target.Window(), WM_SYSCOMMAND, SC_MINIMIZE);
        ExpectReason("minimised", place, Delivery::Posted, "the target was hidden or minimised");
        target.Close();
        ExpectReason("closed", place, Delivery::Posted, "the target was closed");
        nl::TargetPlace gone;
        EXPECT_EQ(nl::LocateTarget(target.Window(), gone), "the target was closed");
    }
    POINT now{};
    ::GetCursorPos(&now);
    EXPECT_TRUE(now.x == kParked.x && now.y == kParked.y) << "the pointer is not back";
}

// One notch makes the window hang, or close: the next check says so.
TEST(WheelTargetChecks, AWindowThatStopsAnsweringOrClosesMidway) {
    const struct {
        K kind;
        WheelTargetOptions options;
        const char* reason;
    } rows[] = {
        {K::List, {{820, 40}, 1, -1}, "the target does not answer"},
        {K::Accumulating, {{820, 40}, -1, 1}, "the target was closed"},
    };
    for (const auto& r : rows) {
        WheelTarget target(r.kind, r.options);
        const nl::TargetPlace place = Locate(target);
        nl::WheelDelivery delivery(Delivery::Posted, place);
        ASSERT_EQ(delivery.Begin(), "");
        ExpectReason("before", place, Delivery::Posted, "");
        delivery.Send(false, -120, 1);
        EXPECT_TRUE(WaitUntil([&] { return !nl::SyncWithTarget(target.Window()); }));
        ExpectReason(r.reason, place, Delivery::Posted, r.reason);
    }
}

TEST(WheelTargetFinder, SpecsNameTheirWindow) {
    WheelTarget list(K::List, {{820, 40}});
    WheelTarget custom(K::Accumulating, {{300, 500}});
    HWND closed = nullptr;
    {
        WheelTarget gone(K::Truncating, {{20, 600}});
        closed = gone.Window();
        gone.Close();
    }
    const auto hex = Format(L"0x%lX", Handle32(custom.Window()));
    const auto closedHex = Format(L"0x%lX", Handle32(closed));
    const struct {
        std::wstring given;
        HWND found;
        std::wstring problem;
    } rows[] = {
        {L"title:Wheel target: list", list.Window(), L""},
        {L"title:Wheel target: accumulating", custom.Window(), L""},
        {L"title:wheel target: list", nullptr, L"no window matches title:wheel target: list"},
        {L"title:Wheel target: truncating", nullptr, L"no window matches title:Wheel target: truncating"},
        {L"class:notchlogwheeltarget", custom.Window(), L""},
        {L"class:NotchlogWheelTargetFrame", list.Window(), L""},
        {L"class:LISTBOX", list.Content(), L""},
        {L"class:ScrollBar", ::GetWindow(custom.Window(), GW_CHILD), L""},
        {L"class:NoSuchClass", nullptr, L"no window matches class:NoSuchClass"},
        {hex, custom.Window(), L""},
        {Format(L"%ld", Handle32(list.Window())), list.Window(), L""},
        {closedHex, nullptr, closedHex + L" is not a window"},
    };
    for (const auto& r : rows) {
        std::string problem;
        const auto spec = nl::ParseTargetSpec(Narrow(r.given), problem);
        ASSERT_TRUE(spec) << problem;
        EXPECT_EQ(nl::FindTarget(*spec, problem), r.found) << Narrow(r.given);
        EXPECT_EQ(problem, Narrow(r.problem));
    }
    const std::string described = nl::DescribeTarget(custom.Window());
    EXPECT_EQ(described, Narrow(Format(L"%08lX NotchlogWheelTarget \"Wheel target: accumulating\" (process %lu)",
                                       Handle32(custom.Window()), custom.Pid())));
}

}  // namespace
}  // namespace nle2e
