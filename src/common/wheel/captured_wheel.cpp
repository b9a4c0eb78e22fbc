#include "common/wheel/captured_wheel.h"

#include <initializer_list>
#include <utility>

namespace nl {

namespace {
std::int16_t Clamped16(std::int32_t v) { return static_cast<std::int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v)); }
}  // namespace

WheelSample SampleOfHooked(const HookedWheel& h) {
    WheelSample s;
    s.vantage = Vantage::Hook;
    s.axis = h.horizontal ? WheelAxis::H : WheelAxis::V;
    s.delta = h.delta;
    s.ticks = h.ticks;
    s.source = h.injected ? InputSource::Injected : InputSource::Hardware;
    s.msgTime = h.time;
    s.extraInfo = h.extraInfo;
    s.point = s.position = Point16{Clamped16(h.x), Clamped16(h.y)};
    return s;
}

int RawWheelSamples(std::uint16_t buttonFlags, std::int16_t buttonData, const WheelSample& base, WheelSample out[2]) {
    int n = 0;
    for (const auto& [flag, axis] : {std::pair{kRawWheelFlag, WheelAxis::V}, std::pair{kRawHWheelFlag, WheelAxis::H}}) {
        if ((buttonFlags & flag) == 0) continue;
        out[n] = base;
        out[n].vantage = Vantage::Raw;
        out[n].axis = axis;
        out[n].delta = buttonData;
        ++n;
    }
    return n;
}

}  // namespace nl
