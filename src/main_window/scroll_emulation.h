// How a wheel-aware control moves its scroll bar: notches times the step,
// clamped to the bar's range.
#pragma once

#include <cstdint>

namespace nl {

struct ScrollBarState {
    std::int16_t min, max, value, largeChange;
};

// The step per notch: the large change for a page per notch (-1), else the
// wheel setting but never more than the large change.
std::int32_t WheelStep(std::int32_t wheelScrollLines, std::int16_t largeChange);

// The bar's new value; the product and the sum are checked and raise the
// overflow error before anything changes.
std::int16_t ScrolledValue(const ScrollBarState& bar, std::int32_t wheelScrollLines, std::int32_t notches);

}  // namespace nl
