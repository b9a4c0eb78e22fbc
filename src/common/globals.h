// Process-wide state, each with one writer: start-up writes the first two.
#pragma once

#include <cstdint>
#include <string>

namespace nl {

// The short name of the running Windows version, empty when unknown.
extern std::string WindowsVersionName;
// Lines per wheel notch; -1 means one page per notch.
extern std::int32_t WheelScrollLines;

}  // namespace nl
