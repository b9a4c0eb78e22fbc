// The three ways a wheel-aware control may turn one message's delta into
// lines, as the CSV's truncated, rounded and accumulated columns show them.
// Unlike the main window's scroll bar, none caps the step at a page, and a
// notch forward (a positive delta) counts as +1.
#pragma once

#include <cstdint>

namespace nl {

// The lines-per-notch value that means "a page per notch".
constexpr std::int32_t kWheelPageStep = -1;

// The step a handler multiplies by: a page per notch counts as 1, any
// other value as it is (a negative one scrolls against the wheel).
std::int64_t EffectiveStep(std::int32_t step);
// Divides first: (delta / 120, truncated) × step.
std::int64_t TruncatedScroll(std::int16_t delta, std::int32_t step);
// Rounds each message: (delta / 120, halves to even) × step.
std::int64_t RoundedScroll(std::int16_t delta, std::int32_t step);

// The accumulating handler's state for one (vantage, axis).
struct Accumulator {
    std::int64_t carry = 0;  // in lines × 120, |carry| < 120
    int lastSign = 0;        // of the previous non-zero delta
    // The lines to scroll now: delta × step / 120 added to the carry, whole
    // lines taken out, the rest kept back. A turn of the wheel drops the carry.
    std::int64_t Add(std::int16_t delta, std::int32_t step);
};

}  // namespace nl
