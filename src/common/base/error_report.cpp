#include "common/base/error_report.h"

#include "common/base/app_info.h"
#include "common/base/number_text.h"

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

}  // namespace nl
