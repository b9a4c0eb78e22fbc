// The wheel test's instrument, run from this driver against target windows
// in processes of their own: each way a target stops being testable, and the
// target forms naming their window. (How each kind moves, read by either
// delivery, is in the whole runs of wheel_test_kinds_test.cpp.)
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "driver/wheel_targets.h"
#include "tested_window/tested_window.h"

namespace nle2e {
namespace {

using nl::Delivery;
using K = WheelTargetKind;

constexpr POINT kParked{5, 5};  // where the pointer waits between tests

nl::TestPlace Locate(const WheelTarget& target) {
    nl::TestPlace place;
    const std::string problem = nl::LocateTestPlace(target.Window(), place);
    if (!problem.empty()) throw DriverError("locating the target: " + problem);
    return place;
}

void ExpectReason(const char* what, const nl::TestPlace& place, Delivery how, const std::string& reason,
                  std::uint16_t keysHeldByTest = 0) {
    EXPECT_EQ(nl::CheckTestedWindow(place, how, keysHeldByTest), reason) << what;
}

TEST(WheelTargetChecks, EachWayATargetStopsBeingTestable) {
    MoveCursor(kParked);
    {
        WheelTarget target(K::Accumulating);
        const nl::TestPlace place = Locate(target);
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
            nl::TestPlace again;
            EXPECT_EQ(nl::LocateTestPlace(target.Window(), again), "the target is covered at the test point");
        }
        MoveCursor({place.testPoint.x + 1, place.testPoint.y});
        ExpectReason("the pointer moved", place, Delivery::Injected, "the pointer was moved");
        MoveCursor(place.testPoint);
        ASSERT_TRUE(::SetWindowPos(target.Window(), nullptr, 830, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
        ExpectReason("moved", place, Delivery::Posted, "the target moved or changed size");
        Send(target.Window(), WM_SYSCOMMAND, SC_MINIMIZE);
        ExpectReason("minimised", place, Delivery::Posted, "the target was hidden or minimised");
        target.Close();
        nl::TestPlace gone;
        EXPECT_EQ(nl::LocateTestPlace(target.Window(), gone), "the target was closed");
    }
    POINT now{};
    ::GetCursorPos(&now);
    EXPECT_TRUE(now.x == kParked.x && now.y == kParked.y) << "the pointer is not back";
}

TEST(WheelTargetChecks, WhatATestWouldMeasureIsToldInTimeEvenOfAHungTarget) {
    WheelTarget hung(K::List, {{820, 40}, 0});
    DWORD_PTR answer = 0;  // hung: no answer in half a second (one starting up may be busy a moment)
    ASSERT_TRUE(WaitUntil([&] { return !::SendMessageTimeoutW(hung.Window(), WM_NULL, 0, 0, 0, 500, &answer); }));
    const std::int64_t start = nl::ClockUs();
    const nl::MeasuredReading reading = nl::PreviewMeasuredReading(hung.Content());
    EXPECT_LT(nl::ClockUs() - start, 1000 * (nl::kPreviewWithinMs + 100));
    EXPECT_EQ(reading.measured, hung.Content());
    EXPECT_EQ(reading.problem, "the target does not answer");
}

TEST(WheelTargetFinder, FormsNameTheirWindow) {
    WheelTarget list(K::List, {{820, 40}});
    WheelTarget custom(K::Accumulating, {{300, 500}});
    HWND closed = nullptr;
    {
        WheelTarget gone(K::Truncating, {{20, 600}});
        closed = gone.Window();
        gone.Close();
    }
    const auto closedHex = Format(L"0x%lX", Handle32(closed));
    const struct {
        std::wstring given;
        HWND found;
        std::wstring problem;
    } rows[] = {
        {L"title:Wheel target: list", list.Window(), L""},
        {L"title:wheel target: list", nullptr, L"no window matches title:wheel target: list"},
        {L"title:Wheel target: truncating", nullptr, L"no window matches title:Wheel target: truncating"},
        {L"class:notchlogwheeltarget", custom.Window(), L""},
        {L"class:LISTBOX", list.Content(), L""},
        {L"class:ScrollBar", ::GetWindow(custom.Window(), GW_CHILD), L""},
        {Format(L"%ld", Handle32(list.Window())), list.Window(), L""},
        {closedHex, nullptr, closedHex + L" is not a window"},
    };
    for (const auto& r : rows) {
        std::string problem;
        const auto form = nl::ParseWindowForm(Narrow(r.given), problem);
        ASSERT_TRUE(form) << problem;
        EXPECT_EQ(nl::FindTestedWindow(*form, problem), r.found) << Narrow(r.given);
        EXPECT_EQ(problem, Narrow(r.problem));
    }
    const std::string described = nl::DescribeWindow(custom.Window());
    EXPECT_EQ(described, Narrow(Format(L"%08lX NotchlogWheelTarget \"Wheel target: accumulating\" (process %lu)",
                                       Handle32(custom.Window()), custom.Pid())));
}

}  // namespace
}  // namespace nle2e
