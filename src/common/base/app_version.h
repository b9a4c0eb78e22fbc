// The program's version text, as the error report and the version resource
// give it.
#pragma once

#include <cstdint>
#include <string>

namespace nl {

// major, ".", minor padded to two digits, ".", revision padded to four;
// never cut ("1.00.0007" for 1, 0, 7).
std::string VersionText(std::uint16_t major, std::uint16_t minor, std::uint16_t revision);
// This program's version text, worked out once.
const std::string& AppVersionText();

}  // namespace nl
