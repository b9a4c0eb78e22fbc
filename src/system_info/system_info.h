// What the program reads from the system: the Windows version, the wheel
// setting and the screen's resolution (once, at start-up) and the time of day.
#pragma once

#include <cstdint>
#include <string>

#include "common/number_text.h"

namespace nl {

std::string GetWindowsVersionName();
// Whether this is a 32-bit process on 64-bit Windows; false where the system
// cannot tell. Never raises.
bool IsWow64();

// The system's lines per wheel notch (-1: a page per notch); where the system
// says 0, the legacy wheel driver's answer.
std::int32_t GetWheelScrollLines();
std::int32_t QueryLegacyWheelScrollLines();

// The screen's resolution in dots per inch (96 where the system does not say).
int ScreenDpi();

// The current local time of day.
ClockTime LocalClockTime();

}  // namespace nl
