// What the program reads from the system: the Windows version, the wheel
// setting and the screen's resolution (once, at start-up) and the time of day.
#pragma once

#include <cstdint>
#include <string>

#include "common/base/number_text.h"

namespace nl {

std::string GetWindowsVersionName();
// Whether this is a 32-bit process on 64-bit Windows; false where the system
// cannot tell. Never raises.
bool IsWow64();

// Lines per wheel notch, read in two stages: the system's setting (-1: a
// page per notch) and, only where that says 0, the legacy wheel driver's
// answer, waited for at most a second. Every reader of the setting goes
// through here.
std::int32_t ReadWheelScrollLines();
// Characters per horizontal wheel notch: the system's setting, 3 (the
// system's own default) where it cannot be read.
std::int32_t ReadWheelScrollChars();
// The value as read at start-up: the first call reads it, every later call
// gives the same answer for the rest of the run.
std::int32_t GetWheelScrollLines();

// The screen's resolution in dots per inch (96 where the system does not say).
int ScreenDpi();

// The current local time of day.
ClockTime LocalClockTime();

}  // namespace nl
