// The error report: a fixed, tab-separated description of an error and of
// the environment it happened in.
#pragma once

#include <cstdint>
#include <string>

#include "common/base/app_version.h"
#include "common/base/error.h"

namespace nl {

// The rightmost `width` characters of width zeros followed by the hex text.
std::string HexPadded(std::int16_t width, std::int32_t value);

struct ReportEnvironment {
    std::string appVersion;   // "1.00.0007"
    std::string windowsName;  // may be empty
    std::string dateTime;     // the user's short date and long time
};

// Nine LF-ended lines (one of them empty), TAB between label and field.
std::string ErrorReportText(const Error& error, const std::string& label, const ReportEnvironment& env);

// What the message box shows: the report, an empty line, the question.
std::string ErrorReportPrompt(const std::string& report);

// The date, a blank and the time; the date alone at exactly midnight.
std::string DateTimeText(const std::string& date, const std::string& time, bool midnight);

}  // namespace nl
