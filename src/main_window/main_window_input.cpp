// What the main window does with what reaches it: messages to log, the
// wheel, keys, the buttons and the system menu's commands.
#include <optional>

#include "common/app_info.h"
#include "common/error_boundary.h"
#include "common/log_line.h"
#include "common/number_text.h"
#include "common/panel_texts.h"
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
    if (IsFilteredMessage(uMsg)) return;
    // While a line is being added, only the list's own notifications can
    // arrive (running out of room): they are about that add, not news, and
    // logging them would only add again.
    if (messageLog_.Adding()) return;
    // The list copies the text before it can send anything back to this
    // window, so one buffer serves every call, nested ones included.
    FormatLogLine(lineBuffer_, LocalClockTime(), hWnd, uMsg, wParam, lParam);
    logFile_.Append(lineBuffer_);  // written at the next refresh, whatever the list does
    // The line is in the list at once; selecting it and painting wait for
    // the refresh, which serves a whole burst of lines in one go.
    messageLog_.Add(lineBuffer_);
    if (messageLog_.TakeDropped() && !dropNoticeTold_) dropNoticeDue_ = dropNoticeTold_ = true;
    refresher_.Update(kLogView);
}

void MainWindow::OnWheelArrived(std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam) {
    if (recording_)
        recording_->Record(WheelWindow::Main, uMsg, static_cast<WPARAM>(static_cast<std::uint32_t>(wParam)),
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
            refresher_.Update(kWheelTargetView);

            line = 20;
            const HWND under = WindowAt(e.x, e.y);

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
            wheelInfoText_ = BuildWheelInfoText(info);  // replaced only once complete

            line = 40;
            ScrollByWheel(wheelScrollBar_, e.notches);

            line = 50;
            wheelTarget_.SetText(wheelInfoText_);
        },
        [&](const Error* error) {
            if (error) failure = *error;
            else unknownFailure = true;
        });
    // What changed before a failure shows while its report is open. The
    // report itself may fail (the clipboard); that failure goes on to the
    // caller's boundary.
    refresher_.Update(0);
    if (failure) ShowErrorReport(Handle(), *failure, "Load@" + DecText(line), windowsVersionName_);
    if (unknownFailure) ReportError(nullptr);
    refresher_.Update(0);
}

void MainWindow::ScrollByWheel(ScrollBar& bar, std::int32_t notches) {
    if (!bar.Visible()) return;
    // The value is set on every event; the bar is drawn again only when it
    // moved, since drawing a scroll bar is dear under Wine.
    if (bar.SetValue(ScrolledValue(bar.State(), wheelScrollLines_, notches))) refresher_.Update(kScrollBarView);
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
    refresher_.Update(kHoverPanelView);
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
    refresher_.Update(kLogView);
}

std::string MainWindow::LogText() const {
    const ListBox& log = messageLog_.Box();
    const std::int32_t count = log.Count();
    std::string joined;
    for (std::int32_t i = 0; i < count; ++i) {
        if (i > 0) joined += kCrLf;
        joined += log.ItemText(i);
    }
    return joined;
}

void MainWindow::OnCopyLog() { CopyToClipboard(Handle(), LogText()); }
void MainWindow::OnCopyWheelInfo() { CopyToClipboard(Handle(), wheelInfoText_); }
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
        std::string text = LogText();
        if (!text.empty()) text += kCrLf;
        return text;
    });
}

}  // namespace nl
