// The last system error code, saved program-wide after every platform call.
// Only the platform layer writes it (through nl::sys::Api); anything may read it.
#pragma once

#include <cstdint>

namespace nl {

std::int32_t LastSystemError();
void SaveLastSystemError(std::int32_t code);

}  // namespace nl
