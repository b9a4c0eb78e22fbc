#include "common/base/app_version.h"

#include "common/base/app_info.h"

namespace nl {

namespace {
void AppendPadded(std::string& out, unsigned v, std::size_t width) {
    const std::string digits = std::to_string(v);
    if (digits.size() < width) out.append(width - digits.size(), '0');
    out += digits;
}
}  // namespace

std::string VersionText(std::uint16_t major, std::uint16_t minor, std::uint16_t revision) {
    std::string s;
    AppendPadded(s, major, 1);
    s.push_back('.');
    AppendPadded(s, minor, 2);
    s.push_back('.');
    AppendPadded(s, revision, 4);
    return s;
}

const std::string& AppVersionText() {
    static const std::string text = VersionText(NL_VERSION_MAJOR, NL_VERSION_MINOR, NL_VERSION_REVISION);
    return text;
}

}  // namespace nl
