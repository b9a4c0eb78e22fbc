#include "common/error_report.h"

#include "common/app_info.h"
#include "common/number_text.h"

namespace nl {

std::string HexPadded(std::int16_t width, std::int32_t value) {
    const std::size_t keep = width > 0 ? static_cast<std::size_t>(width) : 0;
    const std::string both = std::string(keep, '0') + HexText(value);
    return both.substr(both.size() - keep);
}

std::string ErrorReportText(const Error& error, const std::string& label, const ReportEnvironment& env) {
    std::string r;
    r += "Error \t" + DecText(error.Number()) + " (" + HexPadded(8, error.Number()) + ")\n";
    r += "Desc\t" + error.Description() + "\n";
    r += "Dll\t" + DecText(error.LastSystemError()) + "\n";
    r += "Proc\t" + label + "\n\n";
    r += "Source\t" + error.Source() + "\n";
    r += "XY ver\t" + env.appVersion + "\n";
    r += "OS\t" + env.windowsName + "\n";
    r += "Date\t" + env.dateTime + "\n";
    return r;
}

std::string ErrorReportPrompt(const std::string& report) { return report + "\nCopy to clipboard?"; }

std::string DateTimeText(const std::string& date, const std::string& time, bool midnight) {
    return midnight ? date : date + " " + time;
}

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
