// The short name of the Windows version, chosen from the version record.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace nl {

// What GetVersionExA reported.
struct OsVersionRecord {
    bool ok = false;  // the call returned exactly 1
    std::int32_t major = 0;
    std::int32_t minor = 0;
    std::int32_t platformId = 0;
    std::string csdVersion;  // all 128 bytes of the service-pack field, NULs included
};

// The text up to, not including, its first NUL; the whole text if none.
std::string TrimAtNul(const std::string& text);

// isWow64 is asked at most once, and only for NT 5.1, 5.2 and 6.x.
std::string ChooseWindowsVersionName(const OsVersionRecord& v, const std::function<bool()>& isWow64);

}  // namespace nl
