// A reader for the parts of a PE image the checks look at.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct PeSection {
    std::string name;
    std::uint32_t virtualAddress = 0, virtualSize = 0, rawOffset = 0, rawSize = 0, characteristics = 0;
};

struct PeImage {
    bool valid = false;
    std::uint16_t machine = 0;
    std::uint16_t magic = 0;  // 0x10B PE32, 0x20B PE32+
    std::uint16_t subsystem = 0;
    std::uint16_t dllCharacteristics = 0;
    std::uint16_t fileCharacteristics = 0;
    std::uint32_t relocDirSize = 0;
    std::vector<PeSection> sections;
    std::vector<std::string> importedDlls;
    std::map<std::string, std::vector<std::string>> importsByDll;  // upper-case DLL name
    // Resource type id -> count of entries of that type.
    std::map<std::uint32_t, std::uint32_t> resourceCounts;
    std::vector<std::uint8_t> groupIcon;  // the first icon group's data
    std::vector<std::uint8_t> bytes;
};

PeImage ReadPeImage(const std::string& path);
