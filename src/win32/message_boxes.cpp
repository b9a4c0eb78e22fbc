#include "win32/message_boxes.h"

#include "common/base/app_info.h"
#include "common/base/error_report.h"
#include "common/base/number_text.h"
#include "win32/api.h"
#include "win32/clipboard.h"

namespace nl {

int MessageBoxOkCancel(HWND owner, const std::string& text) {
    return Api(::MessageBoxA(owner, text.c_str(), NL_APP_TITLE, MB_OKCANCEL | MB_ICONERROR));
}

void MessageBoxNotice(HWND owner, const std::string& text) {
    Api(::MessageBoxA(owner, text.c_str(), NL_APP_TITLE, MB_OK | MB_ICONEXCLAMATION));
}

void MessageBoxNotice(HWND owner, const std::wstring& text) {
    Api(::MessageBoxW(owner, text.c_str(), L"" NL_APP_TITLE, MB_OK | MB_ICONEXCLAMATION));
}

void ReportFailure(HWND owner, const Error* error, const std::string& lead) noexcept {
    static bool open = false;
    if (open) return;
    open = true;
    try {
        std::string text;
        if (error && error->Number() == kErrClipboardBusy) {
            text = "The clipboard is busy: another program has it open.\nNothing was copied.";
        } else {
            text = lead + "\n\n";
            text += error ? "Error " + DecText(error->Number()) + ": " + error->Description()
                          : std::string("An unexpected error occurred.");
        }
        MessageBoxNotice(owner, text);
    } catch (...) {
    }
    open = false;
}

namespace {
std::string LocaleText(bool date, const SYSTEMTIME& st) {
    char buf[128] = {};
    const int n = date ? Api(::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, sizeof buf))
                       : Api(::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, sizeof buf));
    return n > 0 ? std::string(buf) : std::string();
}

// The user's short date and long time, as a date-time value prints by default.
std::string NowText() {
    SYSTEMTIME st{};
    NL_API_VOID(::GetLocalTime(&st));
    const bool midnight = st.wHour == 0 && st.wMinute == 0 && st.wSecond == 0;
    return DateTimeText(LocaleText(true, st), midnight ? std::string() : LocaleText(false, st), midnight);
}
}  // namespace

void ShowErrorReport(HWND owner, const Error& error, const std::string& label, const std::string& windowsName) {
    const std::string report = ErrorReportText(error, label, {AppVersionText(), windowsName, NowText()});
    if (MessageBoxOkCancel(owner, ErrorReportPrompt(report)) == IDOK) CopyToClipboard(owner, report);
}

}  // namespace nl
