// What the program reads from the system once, at start-up.
#pragma once

#include <cstdint>
#include <string>

namespace nl {

std::string GetWindowsVersionName();
// Whether this is a 32-bit process on 64-bit Windows; false where the system
// cannot tell. Never raises.
bool IsWow64();

// The system's lines per wheel notch (-1: a page per notch); where the system
// says 0, the legacy wheel driver's answer.
std::int32_t GetWheelScrollLines();
std::int32_t QueryLegacyWheelScrollLines();

}  // namespace nl
