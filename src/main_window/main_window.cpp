#include "main_window/main_window.h"

#include <utility>

#include "common/base/app_info.h"
#include "common/base/error_boundary.h"
#include "common/message_log/log_limit.h"
#include "common/base/number_text.h"
#include "system_info/system_info.h"
#include "win32/api.h"
#include "win32/message_boxes.h"

namespace nl {

namespace {
const char* const kMainClass = "NotchlogMain";

HWND CreateChild(const char* cls, const char* caption, DWORD style, DWORD exStyle, const RECT& r, HWND parent,
                 int id, HINSTANCE instance) {
    return Api(::CreateWindowExA(exStyle, cls, caption, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr));
}
}  // namespace

bool MainWindow::Create(HINSTANCE instance, int showCommand, const Options& options) {
    // While the window is made and shown, frames wait for the message loop.
    frame_.Hold(true);
    instance_ = instance;
    maxLines_ = options.maxLines;
    WNDCLASSA wc{};
    wc.hIcon = Api(::LoadIconA(instance, MAKEINTRESOURCEA(1)));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.cbWndExtra = Subclass::kExtraBytes;
    if (!RegisterWindowClass(instance, kMainClass, wc)) return false;

    dpi_ = ScreenDpi();
    RECT rc{0, 0, TwipsToPixels(kClientWidthTwips, dpi_), TwipsToPixels(kClientHeightTwips, dpi_)};
    Api(::AdjustWindowRectEx(&rc, WS_OVERLAPPEDWINDOW, FALSE, 0));
    const RECT place{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + rc.right - rc.left,
                     CW_USEDEFAULT + rc.bottom - rc.top};
    if (!CreateAs(0, kMainClass, NL_MAIN_CAPTION, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, place, nullptr, nullptr,
                  instance))
        return false;
    CreateControls();
    AddSystemMenuItems();

    // Start-up: the system settings first, then the replacement procedure;
    // from there on every message to the window is logged, the filling of
    // the sample list and the showing of the window included.
    windowsVersionName_ = GetWindowsVersionName();
    wheelScrollLines_ = GetWheelScrollLines();
    std::wstring logFileReason;  // told once the window is up
    if (!options.logPath.empty()) messageLog_.OpenFile(options.logPath, logFileReason);
    subclass_.SetWheelSubclass(Handle(), true);
    for (int i = 0; i <= 20; ++i) sampleList_.AddItem(DecText(i) + ". Wheel me!");
    Api(::ShowWindow(Handle(), showCommand));
    Api(::SetFocus(wheelTarget_.Handle()));  // tab index 0
    Api(::UpdateWindow(Handle()));
    frame_.Hold(false);
    if (!options.problem.empty()) MessageBoxNotice(Handle(), OptionsHelp(options.problem));
    if (!logFileReason.empty())
        MessageBoxNotice(Handle(), L"The log file " + options.logPath + L" cannot be opened:\n" + logFileReason +
                                       L"\n\nNotchlog runs without it.");
    return true;
}

void MainWindow::AddSystemMenuItems() {
    HMENU menu = Api(::GetSystemMenu(Handle(), FALSE));
    Api(::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr));
    Api(::AppendMenuW(menu, MF_STRING, kAlwaysOnTopCommand, L"Always on top"));
    Api(::AppendMenuW(menu, MF_STRING, kPauseLoggingCommand, L"Pause logging"));
    Api(::AppendMenuW(menu, MF_STRING, kSaveLogCommand, L"Save log as\u2026"));
    Api(::AppendMenuW(menu, MF_STRING, kWheelAnalysisCommand, L"Wheel analysis\u2026"));
    Api(::AppendMenuW(menu, MF_STRING, kWheelTestCommand, L"Wheel test\u2026"));
}

void MainWindow::CreateControls() {
    defaultFont_ = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    // 8.25 pt at the screen's resolution.
    const int fontHeight = -::MulDiv(825, dpi_, 7200);
    logFont_ = GdiObject(::CreateFontA(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       FIXED_PITCH | FF_MODERN, "Courier New"));
    instructionsFont_ = GdiObject(::CreateFontA(fontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                                DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));

    for (int i = 0; i < kControlCount; ++i) {
        const ControlSpec& c = kControls[i];
        const RECT place{TwipsToPixels(c.left, dpi_), TwipsToPixels(c.top, dpi_),
                         TwipsToPixels(c.left, dpi_) + TwipsToPixels(c.width, dpi_),
                         TwipsToPixels(c.top, dpi_) + TwipsToPixels(c.height, dpi_)};
        HFONT font = defaultFont_;
        HWND hw = nullptr;
        switch (c.kind) {
            case ControlKind::Button:
                hw = CreateChild("BUTTON", c.caption, WS_TABSTOP | BS_PUSHBUTTON, 0, place, Handle(), c.id,
                                 instance_);
                break;
            case ControlKind::Label:
                hw = CreateChild("STATIC", c.caption, SS_LEFT, 0, place, Handle(), c.id, instance_);
                if (c.id == kInstructionsLabel) font = static_cast<HFONT>(instructionsFont_.Get());
                break;
            case ControlKind::ListBox:
                // No integral height, so the list is exactly as tall as laid
                // out; tab stops, so the TAB in a log line shows as a gap.
                hw = CreateChild("LISTBOX", "",
                                 WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT,
                                 WS_EX_CLIENTEDGE, place, Handle(), c.id, instance_);
                if (c.id == kMessageLog) {
                    font = static_cast<HFONT>(logFont_.Get());
                    messageLog_.Attach(hw, maxLines_);
                } else {
                    sampleList_ = ListBox(hw);
                }
                break;
            case ControlKind::ScrollBar:
                hw = CreateChild("SCROLLBAR", "", WS_TABSTOP | SBS_VERT, 0, place, Handle(), c.id, instance_);
                Api(::SetScrollRange(hw, SB_CTL, 0, 1000, FALSE));
                Api(::SetScrollPos(hw, SB_CTL, 0, TRUE));
                wheelScrollBar_ = ScrollBar(hw, 10, 1);
                break;
            case ControlKind::TextPanel: {
                const bool target = c.id == kWheelHitArea;
                TextPanel& panel = target ? wheelTarget_ : hoverPanel_;
                panel.Create(Handle(), c.id, place, target ? kGreen : Api(::GetSysColor(COLOR_BTNFACE)),
                             defaultFont_);
                hw = panel.Handle();
                break;
            }
        }
        if (hw) Api(::SendMessageA(hw, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE));
        controls_[i] = hw;
    }
}

void MainWindow::Close() {
    closing_ = true;
    subclass_.SetWheelSubclass(Handle(), false);
    recording_.Close();
    frame_.Stop();
    messageLog_.Close();
}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // Any message but the wheel may move windows: the window under a point
    // is asked again.
    if (msg != WM_MOUSEHWHEEL) recording_.ForgetWindowUnderPoint();
    switch (msg) {
        case WM_COMMAND:
            if (lp != 0) {
                OnCommand(LOWORD(wp), HIWORD(wp));
                return 0;
            }
            break;
        case WM_VSCROLL:
            if (lp != 0 && reinterpret_cast<HWND>(lp) == wheelScrollBar_.Handle()) {
                if (wheelScrollBar_.OnScroll(LOWORD(wp))) Stale(kScrollBarView);
                return 0;
            }
            break;
        case WM_SYSCOMMAND:
            if (OnSystemCommand(static_cast<UINT>(wp & 0xFFF0))) return 0;
            break;
        case WM_SETTINGCHANGE:
            // The wheel's steps may have changed; the message goes on as before.
            recording_.ReadSteps();
            break;
        case WM_CLOSE:
            Close();
            Api(::DestroyWindow(Handle()));
            return 0;
        case WM_DESTROY:
            NL_API_VOID(::PostQuitMessage(0));
            return 0;
        default:
            break;
    }
    return Default(msg, wp, lp);
}

// ---- frame ----------------------------------------------------------------

void MainWindow::OnFrame() {
    const unsigned views = std::exchange(staleViews_, 0u);
    if (views & kLogView) messageLog_.Paint();
    if (views & kScrollBarView) wheelScrollBar_.Redraw();
    if (views & kWheelTargetView) {
        std::string text;
        if (wheelInfo_.TakeShown(text)) wheelTarget_.SetText(text);
        wheelTarget_.Redraw();
    }
    if (views & kHoverPanelView) hoverPanel_.Redraw();
}

void MainWindow::AfterFrame() {
    // The log's notices first, then the wheel CSV file's.
    messageLog_.TellNotices(Handle());
    const std::wstring csvProblem = recording_.TakeCsvProblem();
    if (!csvProblem.empty()) MessageBoxNotice(Handle(), csvProblem);
}

void MainWindow::ReportLogFailure(const Error* error) noexcept {
    ReportFailure(Handle(), error,
                  "The message list takes no more lines. Messages still reach the window, but from now on lines "
                  "that cannot be added are lost; Clear makes room again.");
}

}  // namespace nl
