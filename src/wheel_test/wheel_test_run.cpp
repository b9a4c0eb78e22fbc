#include "wheel_test/wheel_test_run.h"

#include <climits>
#include <cstdio>

#include "common/base/app_info.h"
#include "common/base/error_boundary.h"
#include "common/wheel_test/window_form.h"
#include "win32/log_files.h"

namespace nl {

namespace {
// The wheel settings, read when the test starts; -1 lines: a page per notch.
int WheelLinesPerNotch() {
    UINT lines = 3;
    if (!::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) return 3;
    if (lines == WHEEL_PAGESCROLL) return -1;
    return lines > INT_MAX ? INT_MAX : static_cast<int>(lines);
}

int WheelCharsPerNotch() {
    UINT chars = 3;
    if (!::SystemParametersInfoA(SPI_GETWHEELSCROLLCHARS, 0, &chars, 0)) return 3;
    return chars > INT_MAX ? INT_MAX : static_cast<int>(chars);
}

std::string LocalDateTime() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return text;
}

// Something to scroll sideways: the window's own horizontal bar or a
// visible horizontal scroll-bar control among its children.
bool HasHorizontalBar(HWND measured) {
    if (::GetWindowLongPtrA(measured, GWL_STYLE) & WS_HSCROLL) return true;
    for (HWND child = ::GetWindow(measured, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char cls[16] = {};
        ::GetClassNameA(child, cls, sizeof cls);
        if (::lstrcmpiA(cls, "ScrollBar") == 0 && ::IsWindowVisible(child) &&
            !(::GetWindowLongPtrA(child, GWL_STYLE) & SBS_VERT))
            return true;
    }
    return false;
}

int WholeMsHalfUp(std::int64_t us) { return static_cast<int>((us < 0 ? 0 : us + 500) / 1000); }
}  // namespace

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
    if (settled.movement && more.movement) *settled.movement += *more.movement;
    else settled.movement.reset();
    if (more.movement != 0) settled.settledAtUs = more.settledAtUs;
    return settled;
}

std::string Ansi(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

WheelReportHead NewHead() {
    WheelReportHead head;
    head.version = NL_VERSION_TEXT;
    head.dateTime = LocalDateTime();
    return head;
}

bool EscPressed() { return (::GetAsyncKeyState(VK_ESCAPE) & 0x8001) != 0; }

WheelReportHead BeginReportHead(HWND target, Delivery how) {
    WheelReportHead head = NewHead();
    head.target = DescribeWindow(target);
    head.delivery = how == Delivery::Injected ? "injected" : "posted";
    head.linesPerNotch = WheelLinesPerNotch();
    head.charsPerNotch = WheelCharsPerNotch();
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
    head.verticalMethod = MethodText(vertical);
    head.horizontalMethod = MethodText(horizontal);
    head.testX = place.testPoint.x;
    head.testY = place.testPoint.y;
}

WheelTestResult UntestedResult(const std::string& target, const std::string& reason) {
    WheelTestResult result;
    result.head = NewHead();
    result.head.target = target;
    result.grader.Stop(reason);
    return result;
}

WheelTestResult RunWheelTest(HWND target, Delivery how, const std::atomic<bool>& stop,
                             const std::function<void(const std::string&)>& progress) {
    WheelTestResult result;
    result.head = BeginReportHead(target, how);
    EscPressed();  // forget a press from before the start
    TestPlace place;
    if (std::string problem = PlaceTarget(target, how, place); !problem.empty()) {
        result.grader.Stop(problem);
        return result;
    }
    PositionReader vertical(place, false), horizontal(place, true);
    WheelReportHead& head = result.head;
    DescribePlace(head, place, vertical.Method(), horizontal.Method());
    result.grader = WheelGrader(WheelTestSetup{head.linesPerNotch, head.charsPerNotch, head.verticalMethod,
                                               CountsLines(vertical.Method()), head.horizontalMethod,
                                               HasHorizontalBar(place.measured)});
    WheelGrader& grader = result.grader;

    WheelDelivery delivery(how, place);  // puts the pointer back however the test ends
    if (std::string problem = delivery.Begin(); !problem.empty()) {
        grader.Stop(problem);
        return result;
    }
    vertical.Mark();
    horizontal.Mark();
    while (const auto step = grader.Next()) {
        progress(grader.Progress());
        if (stop || EscPressed()) {
            grader.Stop("stopped");
            break;
        }
        if (std::string problem = CheckTestedWindow(place, how); !problem.empty()) {
            grader.Stop(problem);
            break;
        }
        delivery.Send(step->horizontal, step->delta, step->count);
        const std::int64_t sentAt = ClockUs();
        PositionReader& reader = step->horizontal ? horizontal : vertical;
        const PositionReader::Settled settled = SettleStep(reader, step->timed ? 2 : 30);
        (step->horizontal ? vertical : horizontal).Mark();
        std::optional<int> catchUpMs;
        if (step->timed && settled.agreed) catchUpMs = WholeMsHalfUp(settled.settledAtUs - sentAt);
        grader.Feed(settled.movement, catchUpMs);
    }
    return result;
}

WheelTestChoice ChooseFromCommandLine(const Options& options) {
    WheelTestChoice choice;
    const std::string delivery = Ansi(options.testDelivery);
    choice.delivery = delivery == "posted" ? Delivery::Posted : Delivery::Injected;
    choice.problem = WheelRequestProblem(!options.testTarget.empty(), !options.testReport.empty(), delivery);
    if (!choice.problem.empty() || options.testTarget.empty()) return choice;
    if (const auto form = ParseWindowForm(Ansi(options.testTarget), choice.problem))
        choice.target = FindTestedWindow(*form, choice.problem);
    return choice;
}

int RunScriptedWheelTest(const Options& options) {
    WheelTestResult result;
    const WheelTestChoice choice = ChooseFromCommandLine(options);
    if (!choice.target) {
        result = UntestedResult(std::string(), choice.problem);
    } else {
        const std::atomic<bool> never{false};
        result = RunWheelTest(choice.target, choice.delivery, never, [](const std::string&) {});
    }
    const bool written = SaveTextFile(options.testReport, result.Report()).empty();
    return WheelTestExitCode(result.grader.Outcome(), written);
}

// ---- on a thread of its own ------------------------------------------------

void WheelTestThread::Start(HWND target, Delivery delivery, HWND notify, UINT notifyMsg) {
    RunThread::Start([target, delivery](const std::atomic<bool>& stop,
                                        const std::function<void(const std::string&)>& progress) {
        return RunWheelTest(target, delivery, stop, progress);
    },
                     [target] { return UntestedResult(DescribeWindow(target), "the test failed inside Notchlog"); },
                     notify, notifyMsg);
}

}  // namespace nl
