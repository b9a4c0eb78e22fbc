#include <windows.h>

#include "common/api.h"
#include "common/clipboard.h"
#include "common/error_report.h"
#include "common/globals.h"
#include "controls/controls.h"

namespace nl {

namespace {
std::string LocaleText(bool date, const SYSTEMTIME& st) {
    char buf[128] = {};
    const int n = date ? Api(::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, sizeof buf))
                       : Api(::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, sizeof buf));
    return n > 0 ? std::string(buf) : std::string();
}

std::string NowText() {
    SYSTEMTIME st{};
    NL_API_VOID(::GetLocalTime(&st));
    const bool midnight = st.wHour == 0 && st.wMinute == 0 && st.wSecond == 0;
    return DateTimeText(LocaleText(true, st), midnight ? std::string() : LocaleText(false, st), midnight);
}
}  // namespace

std::string AppVersionText() {
    static std::string cache;
    if (cache.empty()) {
        const VersionResource v = ReadOwnVersionResource();
        cache = VersionText(v.major, v.minor, v.revision);
    }
    return cache;
}

void ShowErrorReport(const Error& error, const std::string& label) {
    const std::string report = ErrorReportText(error, label, {AppVersionText(), WindowsVersionName, NowText()});
    if (MessageBoxOkCancel(OwnerWindow(), ErrorReportPrompt(report)) == IDOK) CopyToClipboard(report);
}

}  // namespace nl
