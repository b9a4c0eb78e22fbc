// Reads the program's version numbers and strings out of the raw bytes of a
// version resource (VS_VERSIONINFO), as the resource section stores them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace nl {

struct VersionResource {
    bool valid = false;
    std::uint16_t major = 0, minor = 0, build = 0, revision = 0;  // file version
    // Values of the first string table, by key; non-ASCII code units become '?'.
    std::map<std::string, std::string> strings;
};

VersionResource ParseVersionResource(const std::uint8_t* data, std::size_t size);

// major, ".", minor padded to two digits, ".", revision padded to four;
// never cut ("1.00.0007" for 1, 0, 7).
std::string VersionText(std::uint16_t major, std::uint16_t minor, std::uint16_t revision);

}  // namespace nl
