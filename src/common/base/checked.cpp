#include "common/base/checked.h"

#include <limits>

#include "common/base/error.h"

namespace nl {
namespace {
template <typename Narrow>
Narrow Fit(std::int64_t v) {
    if (v < std::numeric_limits<Narrow>::min() || v > std::numeric_limits<Narrow>::max()) RaiseOverflow();
    return static_cast<Narrow>(v);
}
}  // namespace

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) { return Fit<std::int32_t>(std::int64_t{a} + b); }
std::int32_t CheckedSub(std::int32_t a, std::int32_t b) { return Fit<std::int32_t>(std::int64_t{a} - b); }
std::int32_t CheckedMul(std::int32_t a, std::int32_t b) { return Fit<std::int32_t>(std::int64_t{a} * b); }
std::int16_t CheckedNarrow16(std::int32_t v) { return Fit<std::int16_t>(v); }

}  // namespace nl
