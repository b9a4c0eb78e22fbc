#include "common/checked.h"

#include <limits>

#include "common/error.h"

namespace nl {
namespace {
std::int32_t FitLong(std::int64_t v) {
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        RaiseOverflow();
    return static_cast<std::int32_t>(v);
}
}  // namespace

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) { return FitLong(std::int64_t{a} + b); }
std::int32_t CheckedSub(std::int32_t a, std::int32_t b) { return FitLong(std::int64_t{a} - b); }
std::int32_t CheckedMul(std::int32_t a, std::int32_t b) { return FitLong(std::int64_t{a} * b); }
std::int32_t CheckedNarrow32(std::int64_t v) { return FitLong(v); }

std::int16_t CheckedNarrow16(std::int32_t v) {
    if (v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max())
        RaiseOverflow();
    return static_cast<std::int16_t>(v);
}
std::int16_t CheckedAdd16(std::int16_t a, std::int16_t b) { return CheckedNarrow16(std::int32_t{a} + b); }
std::int16_t CheckedSub16(std::int16_t a, std::int16_t b) { return CheckedNarrow16(std::int32_t{a} - b); }

std::int32_t MinLong(std::int32_t a, std::int32_t b) { return a <= b ? a : b; }

std::int32_t ClampLong(std::int32_t low, std::int32_t value, std::int32_t high) {
    if (value < low) return low;
    if (value > high) return high;
    return value;
}

}  // namespace nl
