// What one WM_MOUSEWHEEL means: the notches its delta stands for, and how
// far a wheel-aware control moves its scroll bar for them.
#pragma once

#include <cstdint>

namespace nl {

constexpr std::int32_t kWheelDelta = 120;
constexpr std::uint32_t kMsgMouseWheel = 0x020A;
constexpr std::uint32_t kMsgMouseHWheel = 0x020E;

// n / 120 rounded to the nearest whole number, halves going to the even
// neighbour: the one rounding of wheel deltas to notches in the program.
std::int32_t RoundedPer120(std::int32_t n);

// notches = -D / 120, rounded as RoundedPer120 does. The negation is done in wider arithmetic, so D = -32768
// gives 273 (its mirror 32767 gives -273): the notch count keeps the sign
// the delta implies.
std::int32_t NotchesFromDelta(std::int16_t delta);

struct WheelEvent {
    std::int32_t notches;
    std::int32_t keyState;  // the message's key flags, undecoded
    std::int32_t x, y;      // screen coordinates
};

WheelEvent DecodeWheel(std::int32_t wParam, std::int32_t lParam);

struct ScrollBarState {
    std::int16_t min, max, value, largeChange;
};

// The bar's new value: each notch moves it by the lines-per-notch setting,
// but never by more than a page (the large change), or by exactly a page
// when the setting is a page per notch (-1); the result is clamped to the
// bar's range, the lower bound tested first. The product and the sum are
// checked and raise the overflow error before anything changes.
std::int16_t ScrolledValue(const ScrollBarState& bar, std::int32_t wheelScrollLines, std::int32_t notches);

}  // namespace nl
