// The zoom reader against zooming target windows in processes of their own:
// a notch with Ctrl really held, a pinch (the notch posted with MK_CONTROL
// and no key down) and a fine pinch (eight posted +15s with MK_CONTROL),
// each read against the base and checked against the window's own zoom.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "driver/wheel_targets.h"
#include "tested_window/zoom_reader.h"

namespace nle2e {
namespace {

using K = WheelTargetKind;
using C = nl::ZoomChange;
enum class Input { CtrlNotch, Pinch, FinePinch };

TEST(ZoomReader, Reads) {
    const struct {
        K kind;
        Input input;
        C change;
        int percent;  // also the window's own zoom against its zoom before
        nl::ZoomMethod method = nl::ZoomMethod::Image;
    } rows[] = {
        {K::Zooms, Input::CtrlNotch, C::Zoomed, 125},
        {K::ZoomsWrongWay, Input::CtrlNotch, C::Zoomed, 80},
        {K::NoZoom, Input::CtrlNotch, C::Moved, 100},
        {K::Zooms, Input::Pinch, C::Zoomed, 125},
        {K::ZoomsByKeyboard, Input::Pinch, C::Moved, 100},
        {K::Zooms, Input::FinePinch, C::Zoomed, 125},
        {K::ZoomsPerMessage, Input::FinePinch, C::Zoomed, 400},  // 1.25 to the 8th, kept at 400%
        // This platform's rich edit: 10% a notch with Ctrl down; a pinch scrolls it.
        {K::RichEdit, Input::CtrlNotch, C::Zoomed, 110, nl::ZoomMethod::EditZoom},
        {K::RichEdit, Input::Pinch, C::Moved, 100, nl::ZoomMethod::EditZoom},
    };
    for (const auto& r : rows) {
        WheelTarget target(r.kind);
        const std::string what = Narrow(WheelTargetName(r.kind)) + ", input " + std::to_string(static_cast<int>(r.input));
        nl::TestPlace place;
        ASSERT_EQ(nl::LocateTestPlace(target.Window(), place), "") << what;
        nl::ZoomReader reader(place);
        EXPECT_EQ(reader.Method(), r.method) << what;
        const int zoom = target.Zoom(), line = target.Position();
        ASSERT_TRUE(reader.Mark()) << what;
        // The input forward, or back (the opposite turn) after it.
        auto send = [&](int sign) {
            if (r.input == Input::CtrlNotch) {
                Foreground(target.Window());
                MoveCursor(place.testPoint);
                const int zoomNow = target.Zoom(), lineNow = target.Position();
                Key(VK_CONTROL);
                Wheel(sign * WHEEL_DELTA);
                // Held until the window has taken the notch.
                WaitUntil([&] { return target.Zoom() != zoomNow || target.Position() != lineNow; }, 5s);
                Key(VK_CONTROL, true);
                return;
            }
            for (int i = 0; i < (r.input == Input::Pinch ? 1 : 8); ++i)
                Post(place.measured, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, sign * (r.input == Input::Pinch ? WHEEL_DELTA : 15)),
                     MAKELPARAM(place.testPoint.x, place.testPoint.y));
        };
        send(1);
        const nl::ZoomReader::Reading read = reader.Settle();
        EXPECT_EQ(read.change, r.change) << what << ": " << read.reason;
        ASSERT_TRUE(read.percent.has_value()) << what;
        // The image reads a line pitch of whole pixels: 13 px for 12.8.
        EXPECT_NEAR(*read.percent, r.percent, r.method == nl::ZoomMethod::Image ? 2 : 0) << what;
        EXPECT_EQ(target.Zoom() * 100 / zoom, r.percent) << what;
        EXPECT_EQ(target.Position() != line, r.change == C::Moved) << what;
        if (r.percent != 400) {  // else the window is not where it was after the way back
            send(-1);
            const nl::ZoomReader::Reading back = reader.Settle();
            EXPECT_EQ(back.change, C::Unchanged) << what << ", back: " << back.reason;
            EXPECT_EQ(back.percent, 100) << what << ", back";
        }
        target.Close();
    }
}

}  // namespace
}  // namespace nle2e
