#include "common/base/version_name.h"

namespace nl {

std::string TrimAtNul(const std::string& text) {
    const std::size_t at = text.find('\0');
    return at == std::string::npos ? text : text.substr(0, at);
}

namespace {
std::string NtName(std::int32_t major, std::int32_t minor) {
    if (major == 4) return "WinNT4";
    if (major == 5) {
        if (minor == 0) return "Win2K";
        if (minor == 1) return "WinXP";
        if (minor == 2) return "Windows 2003 Server";
        return "";
    }
    if (major == 6) return "Vista";
    return "WinNT3.1";
}

std::string Win9xName(std::int32_t major, std::int32_t minor) {
    if (major == 4 && minor == 90) return "WinME";
    if (major > 4 || (major == 4 && minor > 0)) return "Win98";
    if (major == 4 && minor == 0) return "Win95";
    return "";
}
}  // namespace

std::string ChooseWindowsVersionName(const OsVersionRecord& v, const std::function<bool()>& isWow64) {
    if (!v.ok) return "";
    if (v.platformId == 1) return Win9xName(v.major, v.minor);
    if (v.platformId != 2) return "";

    std::string name = NtName(v.major, v.minor);
    const bool xpOr2003 = v.major == 5 && (v.minor == 1 || v.minor == 2);
    if (xpOr2003 || v.major == 6) {
        const bool wow = isWow64 ? isWow64() : false;
        if (wow && v.major == 5 && v.minor == 2) name = "WinXP Pro x64";
    }
    const std::string csd = TrimAtNul(v.csdVersion);
    if (!csd.empty()) name += " (" + csd + ")";
    return name;
}

}  // namespace nl
