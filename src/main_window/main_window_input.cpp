// What the main window does with what reaches it: messages to log, the
// wheel, keys, the buttons and the system menu's commands.
#include <optional>

#include "common/base/app_info.h"
#include "common/base/error_boundary.h"
#include "common/message_log/log_line.h"
#include "common/base/number_text.h"
#include "common/panels/panel_texts.h"
#include "main_window/main_window.h"
#include "system_info/system_info.h"
#include "system_info/window_queries.h"
#include "win32/api.h"
#include "win32/clipboard.h"
#include "win32/message_boxes.h"
#include "win32/save_dialog.h"

namespace nl {

namespace {
const char* const kPausedCaption = NL_MAIN_CAPTION " (logging paused)";
constexpr COLORREF kMagenta = 0x00FF80FF;

bool IsSameOrChild(HWND parent, HWND w) { return w && (w == parent || Api(::IsChild(parent, w))); }
}  // namespace

void MainWindow::LogMessage(std::int32_t hWnd, std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam) {
    if (messageLog_.Log(hWnd, uMsg, wParam, lParam)) Stale(kLogView);
}

void MainWindow::OnWheelArrived(std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam) {
    recording_.Record(Vantage::Main, uMsg, static_cast<WPARAM>(static_cast<std::uint32_t>(wParam)),
                      static_cast<LPARAM>(lParam));
}

void MainWindow::HandleWheel(const WheelEvent& e) {
    int line = 0;  // the numbered step an error arises in
    std::optional<Error> failure;
    bool unknownFailure = false;
    Guarded(
        [&] {
            line = 10;
            const bool inside = IsPointInWindow(wheelTarget_.Handle(), e.x, e.y);
            wheelTarget_.SetBackColor(inside ? kGreen : kMagenta);
            wheelInfo_.Erase();
            Stale(kWheelTargetView);

            line = 20;
            // Asked once per message: the recording asked it on arrival.
            const HWND under = recording_.WindowAt(e.x, e.y);

            line = 30;
            WheelInfo info{};
            info.time = LocalClockTime();
            info.green = HandleLong(wheelTarget_.Handle());
            info.className = WindowClassName(under);
            info.rectText = WindowRectText(under);
            info.notches = e.notches;
            info.keyState = e.keyState;
            info.x = e.x;
            info.y = e.y;
            info.under = HandleLong(under);
            info.wheelScrollLines = wheelScrollLines_;
            wheelInfo_.Describe(info);  // replaced only once complete; formatted at the frame

            line = 40;
            ScrollByWheel(wheelScrollBar_, e.notches);

            line = 50;
            wheelInfo_.Show();
        },
        [&](const Error* error) {
            if (error) failure = *error;
            else unknownFailure = true;
        });
    // What changed before a failure shows while its report is open (the
    // frame comes through the report's own message loop). The report itself
    // may fail (the clipboard); that failure goes on to the caller's boundary.
    if (failure) ShowErrorReport(Handle(), *failure, "Load@" + DecText(line), windowsVersionName_);
    if (unknownFailure) ReportError(nullptr);
}

void MainWindow::ScrollByWheel(ScrollBar& bar, std::int32_t notches) {
    if (!bar.Visible()) return;
    // The value is set on every event; the bar is drawn again only when it
    // moved, since drawing a scroll bar is dear under Wine.
    if (bar.SetValue(ScrolledValue(bar.State(), wheelScrollLines_, notches))) Stale(kScrollBarView);
}

bool MainWindow::PreTranslate(const MSG& msg) {
    if (!Handle() || !IsSameOrChild(Handle(), msg.hwnd)) return false;
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    // A failure here is told, and the key still goes on to the focused control.
    Guarded([&] { OnKeyDown(static_cast<int>(msg.wParam)); }, [&](const Error* e) { ReportError(e); });
    // Tab and Shift+Tab move the focus by tab index; creation order (and so
    // the z-order) stays as laid out.
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || Api(::GetKeyState(VK_CONTROL)) < 0 ||
        Api(::GetKeyState(VK_MENU)) < 0)
        return false;
    const HWND focus = Api(::GetFocus());
    int from = kControlCount - 1;
    for (int i = 0; i < kControlCount; ++i)
        if (controls_[i] == focus) from = kControls[i].tabIndex;
    const int next = NextTabStop(from, Api(::GetKeyState(VK_SHIFT)) < 0);
    if (next >= 0) Api(::SetFocus(controls_[next]));
    return true;
}

void MainWindow::OnKeyDown(int keyCode) {
    // Ctrl describes the window under the cursor, whatever else is held.
    if (keyCode != VK_CONTROL) return;
    POINT pt{0, 0};
    Api(::GetCursorPos(&pt));
    const HWND handle = WindowAt(pt.x, pt.y);
    HoverInfo info{};
    info.time = LocalClockTime();
    info.className = WindowClassName(handle);
    info.rectText = WindowRectText(handle);
    info.title = WindowText(handle);
    info.x = pt.x;
    info.y = pt.y;
    info.handle = HandleLong(handle);
    hoverInfoText_ = BuildHoverInfoText(info);
    hoverPanel_.SetText(hoverInfoText_);
    Stale(kHoverPanelView);
}

// ---- buttons --------------------------------------------------------------

void MainWindow::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    switch (id) {
        case kClearLogButton: OnClearLog(); break;
        case kCopyLogButton: OnCopyLog(); break;
        case kCopyWheelInfoButton: OnCopyWheelInfo(); break;
        case kCopyHoverInfoButton: OnCopyHoverInfo(); break;
        default: break;
    }
}

void MainWindow::OnClearLog() {
    messageLog_.Clear();
    Stale(kLogView);
}

void MainWindow::OnCopyLog() { CopyToClipboard(Handle(), messageLog_.Text()); }
void MainWindow::OnCopyWheelInfo() { CopyToClipboard(Handle(), wheelInfo_.CopyText()); }
void MainWindow::OnCopyHoverInfo() { CopyToClipboard(Handle(), hoverInfoText_); }

// ---- system menu ----------------------------------------------------------

bool MainWindow::OnSystemCommand(UINT command) {
    switch (command) {
        case kAlwaysOnTopCommand: OnAlwaysOnTop(); return true;
        case kPauseLoggingCommand: OnPauseLogging(); return true;
        case kSaveLogCommand: OnSaveLog(); return true;
        case kWheelAnalysisCommand:
            if (openAnalysis_) openAnalysis_();
            return true;
        case kWheelTestCommand:
            if (openWheelTest_) openWheelTest_();
            return true;
        default: return false;
    }
}

void MainWindow::OnAlwaysOnTop() {
    const bool on = !(Api(::GetWindowLongPtrA(Handle(), GWL_EXSTYLE)) & WS_EX_TOPMOST);
    Api(::SetWindowPos(Handle(), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    // The check follows what the window is, not what was asked.
    const bool topmost = Api(::GetWindowLongPtrA(Handle(), GWL_EXSTYLE)) & WS_EX_TOPMOST;
    Api(::CheckMenuItem(Api(::GetSystemMenu(Handle(), FALSE)), kAlwaysOnTopCommand,
                        MF_BYCOMMAND | (topmost ? MF_CHECKED : MF_UNCHECKED)));
}

void MainWindow::OnPauseLogging() {
    const bool pause = !paused_;
    // The caption changes while logging is off, so neither change is
    // logged; the click that resumes is, as the first line after the pause.
    paused_ = true;
    Api(::SetWindowTextA(Handle(), pause ? kPausedCaption : NL_MAIN_CAPTION));
    Api(::CheckMenuItem(Api(::GetSystemMenu(Handle(), FALSE)), kPauseLoggingCommand,
                        MF_BYCOMMAND | (pause ? MF_CHECKED : MF_UNCHECKED)));
    paused_ = pause;
}

void MainWindow::OnSaveLog() {
    SaveOnRequest(Handle(), kSaveLogDialog, L"The log", [this] {
        std::string text = messageLog_.Text();
        if (!text.empty()) text += kCrLf;
        return text;
    });
}

}  // namespace nl
