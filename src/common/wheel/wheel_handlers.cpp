#include "common/wheel/wheel_handlers.h"

#include "common/wheel/wheel.h"

namespace nl {

std::int64_t EffectiveStep(std::int32_t step) { return step == kWheelPageStep ? 1 : step; }

std::int64_t TruncatedScroll(std::int16_t delta, std::int32_t step) { return (delta / 120) * EffectiveStep(step); }

std::int64_t RoundedScroll(std::int16_t delta, std::int32_t step) {
    return std::int64_t{RoundedPer120(delta)} * EffectiveStep(step);
}

std::int64_t Accumulator::Add(std::int16_t delta, std::int32_t step) {
    const int sign = delta > 0 ? 1 : (delta < 0 ? -1 : 0);
    if (sign != 0) {
        if (lastSign != 0 && sign != lastSign) carry = 0;
        lastSign = sign;
    }
    carry += delta * EffectiveStep(step);
    const std::int64_t lines = carry / 120;
    carry -= lines * 120;
    return lines;
}

}  // namespace nl
