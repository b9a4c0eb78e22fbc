#include "wheel_test/session.h"

#include <cstdio>

#include "common/base/app_info.h"
#include "controls/chart_view.h"
#include "system_info/system_info.h"
#include "win32/log_files.h"
#include "win32/png_file.h"

namespace nl {

namespace {
std::string LocalDateTime() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return text;
}

// Standard output or error, where a script reads it: a file or a pipe.
void WriteToStandard(DWORD which, const std::string& line) {
    const HANDLE out = ::GetStdHandle(which);
    if (!out || out == INVALID_HANDLE_VALUE) return;
    const DWORD type = ::GetFileType(out);
    if (type != FILE_TYPE_DISK && type != FILE_TYPE_PIPE) return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    ::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// "Notchlog: could not write PATH: REASON" on standard error, the reason
// without its closing full stop.
void SayCouldNotWrite(const std::wstring& path, std::wstring why) {
    while (!why.empty() && (why.back() == L'\n' || why.back() == L'\r' || why.back() == L' ' || why.back() == L'.'))
        why.pop_back();
    WriteToStandard(STD_ERROR_HANDLE, "Notchlog: could not write " + Ansi(path) + ": " + Ansi(why));
}
}  // namespace

std::string Ansi(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

WheelReportHead NewHead(const char* run) {
    WheelReportHead head;
    head.run = run;
    head.version = NL_VERSION_TEXT;
    head.dateTime = LocalDateTime();
    return head;
}

bool EscPressed() { return (::GetAsyncKeyState(VK_ESCAPE) & 0x8001) != 0; }

WheelReportHead BeginReportHead(HWND target, Delivery how, const char* run) {
    WheelReportHead head = NewHead(run);
    head.target = DescribeTestedWindow(target);
    head.delivery = how == Delivery::Injected ? "injected" : "posted";
    head.linesPerNotch = ReadWheelScrollLines();
    head.charsPerNotch = ReadWheelScrollChars();
    return head;
}

std::string PlaceTarget(HWND target, Delivery how, TestPlace& place) {
    // Injected input goes where the pointer is: the target comes to the
    // front before its test point is looked at.
    if (how == Delivery::Injected && ::IsWindow(target)) {
        ::SetForegroundWindow(::GetAncestor(target, GA_ROOT));
        SyncWithWindow(target);
    }
    return LocateTestPlace(target, place);
}

void DescribePlace(WheelReportHead& head, const TestPlace& place, ReadMethod vertical, ReadMethod horizontal) {
    head.measured = DescribeWindow(place.measured);
    head.verticalMethod = vertical;
    head.horizontalMethod = horizontal;
    head.testX = place.testPoint.x;
    head.testY = place.testPoint.y;
}

// What a window paints reaches the screen a little after it handled the
// messages (its surface is copied to the screen later, later still on a
// busy machine), so an image can hold still for 30 ms with the target idle
// and the picture not yet changed. An image reading is settled once more
// and what moved meanwhile is added; the time is the last settle's that
// saw the content move.
PositionReader::Settled SettleStep(PositionReader& reader, int pollMs) {
    PositionReader::Settled settled = reader.Settle(pollMs);
    if (reader.Method() != ReadMethod::Image || !settled.agreed) return settled;
    const PositionReader::Settled more = reader.Settle(pollMs);
    settled.agreed = more.agreed;
    settled.position = more.position;
    if (settled.movement && more.movement) *settled.movement += *more.movement;
    else settled.movement.reset(), settled.reason = more.movement ? settled.reason : more.reason;
    if (more.movement != 0) settled.settledAtUs = more.settledAtUs;
    return settled;
}

WheelTestChoice ChooseFromCommandLine(const Options& options) {
    WheelTestChoice choice;
    const std::string delivery = Ansi(options.testDelivery);
    choice.delivery = delivery == "posted" ? Delivery::Posted : Delivery::Injected;
    const bool report = !options.testReport.empty() || !options.replay.reportPath.empty();
    choice.problem = WheelRequestProblem(!options.testTarget.empty(), report, delivery);
    choice.zoom = options.testZoom;
    if (choice.problem.empty() && !options.testSettings.empty()) {
        if (const auto settings = ParseSettingsList(Ansi(options.testSettings), choice.problem))
            choice.settings = *settings;
        if (choice.problem.empty() && !options.replay.file.empty())
            choice.problem = "--test-settings cannot be combined with --replay";
    }
    if (choice.problem.empty() && choice.zoom && choice.delivery == Delivery::Posted)
        choice.problem = "--test-zoom needs injected delivery";
    if (choice.problem.empty() && !options.testJunit.empty() && !report)
        choice.problem = "--test-junit needs --test-report or --replay-report";
    if (!choice.problem.empty() || options.testTarget.empty()) return choice;
    if (const auto form = ParseWindowForm(Ansi(options.testTarget), choice.problem))
        choice.target = FindTestedWindow(*form, choice.problem);
    return choice;
}

std::string WithPicture(const std::wstring& path, const RunChart& chart, const std::string& report) {
    if (path.empty()) return report;
    const std::wstring reason =
        SavePngPicture(path, 800, 400, [&chart](HDC dc, const RECT& area) { PaintRunChart(dc, area, chart); });
    return WithPictureNote(report, Ansi(reason));
}

bool FinishScriptedRun(const std::wstring& path, const std::string& report, const std::string& resultLine) {
    WriteToStandard(STD_OUTPUT_HANDLE, resultLine);
    if (path.empty()) return false;
    const std::wstring reason = SaveTextFile(path, report);
    if (reason.empty()) return true;
    SayCouldNotWrite(path, reason);
    return false;
}

namespace {
// A text in the ANSI code page (as titles and reports are kept) in UTF-8.
std::string Utf8(const std::string& ansi) {
    if (ansi.empty()) return ansi;
    const int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
    const int m = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(m > 0 ? m : 0), '\0');
    if (m > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), m, nullptr, nullptr);
    return out;
}
}  // namespace

bool WriteJunit(const std::wstring& path, const WheelReportHead& head, const char* classname,
                const std::vector<JunitCase>& cases, const std::string& report) {
    if (path.empty()) return true;
    JunitSuite suite;
    suite.name = Utf8(head.target.empty() ? std::string("no target") : head.target);
    suite.classname = classname;
    suite.timestamp = head.dateTime;
    if (suite.timestamp.size() > 10) suite.timestamp[10] = 'T';
    for (JunitCase c : cases) {
        c.name = Utf8(c.name);
        c.message = Utf8(c.message);
        suite.cases.push_back(std::move(c));
    }
    suite.systemOut = Utf8(report);
    const std::wstring reason = SaveTextFile(path, JunitXml(suite));
    if (reason.empty()) return true;
    SayCouldNotWrite(path, reason);
    return false;
}

}  // namespace nl
