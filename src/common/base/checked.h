// Checked integer arithmetic: a result that does not fit raises the overflow
// error instead of wrapping.
#pragma once

#include <cstdint>

namespace nl {

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b);
std::int32_t CheckedSub(std::int32_t a, std::int32_t b);
std::int32_t CheckedMul(std::int32_t a, std::int32_t b);
// Narrowing of a Long to a 16-bit Integer.
std::int16_t CheckedNarrow16(std::int32_t v);

}  // namespace nl
