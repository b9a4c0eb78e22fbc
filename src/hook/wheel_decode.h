// Decoding of WM_MOUSEWHEEL's parameters into what the wheel handler takes.
#pragma once

#include <cstdint>

namespace nl {

constexpr std::int32_t kWheelDelta = 120;
constexpr std::uint32_t kMsgMouseWheel = 0x020A;

// notches = -D / 120, rounded to the nearest Long with halves going to the
// even neighbour. The negation is done in wider arithmetic, so D = -32768
// gives 273 (its mirror 32767 gives -273): the notch count keeps the sign
// the delta implies.
std::int32_t NotchesFromDelta(std::int16_t delta);

struct WheelEvent {
    std::int32_t notches;
    std::int32_t keyState;
    std::int32_t x;
    std::int32_t y;
};

WheelEvent DecodeWheel(std::int32_t wParam, std::int32_t lParam);

}  // namespace nl
