// Checked integer arithmetic: a result that does not fit raises the overflow
// error instead of wrapping.
#pragma once

#include <cstdint>

namespace nl {

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b);
std::int32_t CheckedSub(std::int32_t a, std::int32_t b);
std::int32_t CheckedMul(std::int32_t a, std::int32_t b);
std::int16_t CheckedAdd16(std::int16_t a, std::int16_t b);
std::int16_t CheckedSub16(std::int16_t a, std::int16_t b);
// Narrowing of a Long to an Integer.
std::int16_t CheckedNarrow16(std::int32_t v);
// Narrowing of a wider count (a list's item count, say) to a Long.
std::int32_t CheckedNarrow32(std::int64_t v);

// a if a <= b, else b.
std::int32_t MinLong(std::int32_t a, std::int32_t b);
// The lower bound is tested first and high is not compared with low.
std::int32_t ClampLong(std::int32_t low, std::int32_t value, std::int32_t high);

}  // namespace nl
