#include "hook/wheel_decode.h"

#include "common/module1.h"

namespace nl {

std::int32_t NotchesFromDelta(std::int16_t delta) {
    // Exact integer form of round-half-to-even(-D / 120).
    const std::int32_t n = -static_cast<std::int32_t>(delta);
    std::int32_t q = n / kWheelDelta;         // truncated toward zero
    const std::int32_t r = n % kWheelDelta;   // same sign as n
    const std::int32_t twice = 2 * (r < 0 ? -r : r);
    const std::int32_t away = n < 0 ? -1 : 1;
    if (twice > kWheelDelta || (twice == kWheelDelta && (q % 2 != 0))) q += away;
    return q;
}

WheelEvent DecodeWheel(std::int32_t wParam, std::int32_t lParam) {
    return WheelEvent{NotchesFromDelta(HiWord(wParam)), LoWord(wParam), LoWord(lParam),
                      HiWord(lParam)};
}

}  // namespace nl
