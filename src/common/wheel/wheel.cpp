#include "common/wheel/wheel.h"

#include <algorithm>

#include "common/base/checked.h"
#include "common/base/number_text.h"

namespace nl {

std::int32_t RoundedPer120(std::int32_t n) {
    // Exact integer form of round-half-to-even(n / 120).
    std::int32_t q = n / kWheelDelta;        // truncated toward zero
    const std::int32_t r = n % kWheelDelta;  // same sign as n
    const std::int32_t twice = 2 * (r < 0 ? -r : r);
    const std::int32_t away = n < 0 ? -1 : 1;
    if (twice > kWheelDelta || (twice == kWheelDelta && (q % 2 != 0))) q += away;
    return q;
}

std::int32_t NotchesFromDelta(std::int16_t delta) { return RoundedPer120(-static_cast<std::int32_t>(delta)); }

WheelEvent DecodeWheel(std::int32_t wParam, std::int32_t lParam) {
    return WheelEvent{NotchesFromDelta(HiWord(wParam)), LoWord(wParam), LoWord(lParam), HiWord(lParam)};
}

std::int16_t ScrolledValue(const ScrollBarState& bar, std::int32_t wheelScrollLines, std::int32_t notches) {
    const std::int32_t page = bar.largeChange;
    const std::int32_t step = wheelScrollLines == -1 ? page : std::min(wheelScrollLines, page);
    const std::int32_t target = CheckedAdd(bar.value, CheckedMul(notches, step));
    // Not std::clamp: a bar whose max lies below its min still gives min
    // for anything below min, and max otherwise.
    const std::int32_t min = bar.min, max = bar.max;
    return CheckedNarrow16(target < min ? min : std::min(target, max));
}

}  // namespace nl
