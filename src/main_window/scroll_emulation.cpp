#include "main_window/scroll_emulation.h"

#include "common/checked.h"

namespace nl {

std::int32_t WheelStep(std::int32_t wheelScrollLines, std::int16_t largeChange) {
    if (wheelScrollLines == -1) return largeChange;
    return MinLong(wheelScrollLines, largeChange);
}

std::int16_t ScrolledValue(const ScrollBarState& bar, std::int32_t wheelScrollLines, std::int32_t notches) {
    const std::int32_t step = WheelStep(wheelScrollLines, bar.largeChange);
    const std::int32_t target = CheckedAdd(bar.value, CheckedMul(notches, step));
    return CheckedNarrow16(ClampLong(bar.min, target, bar.max));
}

}  // namespace nl
