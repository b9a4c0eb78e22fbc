// The wheel test's steps delivered to the window under test and read back:
// the wheel input (injected or posted; with Ctrl held, or posted with
// MK_CONTROL whatever the delivery), a lines-per-notch setting to try, and
// what each step did, once the target has come to rest: its movement and
// position, or its size for a zoom step. Esc and Start end the test.
#pragma once

#include <atomic>
#include <functional>

#include "common/wheel_test/wheel_test_loop.h"
#include "system_info/wheel_setting.h"
#include "tested_window/tested_window.h"

namespace nl {

class ZoomReader;
struct WheelTestProgress;

class SystemPort final : public WheelTestPort {
public:
    SystemPort(const TestPlace& place, Delivery how, WheelDelivery& delivery, PositionReader& vertical,
               PositionReader& horizontal, ZoomReader* zoom, WheelSettingChange* setting,
               const std::atomic<bool>& stop, const std::function<void(const WheelTestProgress&)>& progress)
        : place_(place), how_(how), delivery_(delivery), vertical_(vertical), horizontal_(horizontal), zoom_(zoom),
          setting_(setting), stop_(stop), progress_(progress) {}

    void Progress(const WheelGrader& grader) override;
    bool StopAsked() override;
    std::string Check() override;
    std::string Send(const WheelStep& step) override;
    StepReading Read(const WheelStep& step) override;

private:
    const TestPlace& place_;
    Delivery how_;
    WheelDelivery& delivery_;
    PositionReader &vertical_, &horizontal_;
    ZoomReader* zoom_;              // null: no zoom patterns
    WheelSettingChange* setting_;   // null: no settings to try
    const std::atomic<bool>& stop_;
    const std::function<void(const WheelTestProgress&)>& progress_;
    std::int64_t sentAt_ = 0;
};

}  // namespace nl
