#include "main_window/main_window.h"

#include <utility>

#include "common/app_info.h"
#include "common/log_line.h"
#include "common/number_text.h"
#include "common/panel_texts.h"
#include "win32/api.h"
#include "win32/clipboard.h"
#include "win32/message_boxes.h"
#include "hook/subclass.h"
#include "system_info/system_info.h"
#include "system_info/window_queries.h"

namespace nl {

namespace {
const char* const kMainClass = "NotchlogMain";
const char* const kRefreshClass = "NotchlogRefresh";
constexpr UINT kRefreshNow = WM_APP;
constexpr UINT_PTR kRefreshTimer = 1;
// System menu commands: the system keeps the low four bits for itself.
constexpr UINT kAlwaysOnTopCommand = 0x0100;
constexpr UINT kPauseLoggingCommand = 0x0110;
constexpr UINT kSaveLogCommand = 0x0120;
const char* const kPausedCaption = NL_MAIN_CAPTION " (logging paused)";
constexpr COLORREF kGreen = 0x0080FF80;
constexpr COLORREF kMagenta = 0x00FF80FF;

// Input, posted or sent messages are waiting in this thread's queue.
bool MessagesWaiting() {
    return HIWORD(Api(::GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_HOTKEY | QS_SENDMESSAGE))) != 0;
}

std::int64_t NowUs() {
    static const double usPerTick = [] {
        LARGE_INTEGER f{};
        Api(::QueryPerformanceFrequency(&f));
        return f.QuadPart > 0 ? 1e6 / static_cast<double>(f.QuadPart) : 1.0;
    }();
    LARGE_INTEGER c{};
    Api(::QueryPerformanceCounter(&c));
    return static_cast<std::int64_t>(static_cast<double>(c.QuadPart) * usPerTick);
}

bool IsSameOrChild(HWND parent, HWND w) { return w && (w == parent || Api(::IsChild(parent, w))); }

HWND CreateChild(const char* cls, const char* caption, DWORD style, DWORD exStyle, const RECT& r, HWND parent,
                 int id, HINSTANCE instance) {
    return Api(::CreateWindowExA(exStyle, cls, caption, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr));
}
}  // namespace

MainWindow& MainWindow::Instance() {
    static MainWindow window;
    return window;
}

bool MainWindow::Create(HINSTANCE instance, int showCommand, const Options& options) {
    creating_ = true;
    struct Created {
        bool& flag;
        ~Created() { flag = false; }
    } created{creating_};
    instance_ = instance;
    WNDCLASSA wc{};
    wc.lpfnWndProc = &MainWindow::WndProc;
    wc.hInstance = instance;
    wc.hIcon = Api(::LoadIconA(instance, MAKEINTRESOURCEA(1)));
    wc.hCursor = Api(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainClass;
    if (!Api(::RegisterClassA(&wc))) return false;
    TextPanel::RegisterClass(instance);
    WNDCLASSA refresh{};
    refresh.lpfnWndProc = &MainWindow::RefreshWndProc;
    refresh.hInstance = instance;
    refresh.lpszClassName = kRefreshClass;
    Api(::RegisterClassA(&refresh));
    refreshWindow_ = Api(::CreateWindowExA(0, kRefreshClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                                           nullptr));

    {
        WindowDc screen(nullptr);
        dpi_ = ::GetDeviceCaps(screen.Get(), LOGPIXELSX);
        if (dpi_ <= 0) dpi_ = 96;
    }
    RECT rc{0, 0, TwipsToPixels(kClientWidthTwips, dpi_), TwipsToPixels(kClientHeightTwips, dpi_)};
    Api(::AdjustWindowRectEx(&rc, WS_OVERLAPPEDWINDOW, FALSE, 0));
    hWnd_ = Api(::CreateWindowExA(0, kMainClass, NL_MAIN_CAPTION, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, CW_USEDEFAULT, rc.right - rc.left, rc.bottom - rc.top, nullptr,
                                  nullptr, instance, nullptr));
    if (!hWnd_) return false;
    CreateControls();
    AddSystemMenuItems();

    // Start-up: the system settings first, then the replacement procedure;
    // from there on every message to the window is logged, the filling of
    // the sample list and the showing of the window included.
    windowsVersionName_ = GetWindowsVersionName();
    wheelScrollLines_ = GetWheelScrollLines();
    std::wstring logFileReason;  // told once the window is up
    if (!options.logPath.empty()) logFile_.Open(options.logPath, logFileReason);
    SetWheelHook(hWnd_, this, true);
    for (int i = 0; i <= 20; ++i) sampleList_.AddItem(DecText(i) + ". Wheel me!");
    Api(::ShowWindow(hWnd_, showCommand));
    Api(::SetFocus(wheelTarget_.Handle()));  // tab index 0
    Api(::UpdateWindow(hWnd_));
    if (!options.problem.empty()) MessageBoxNotice(hWnd_, OptionsHelp(options.problem));
    if (!logFileReason.empty())
        MessageBoxNotice(hWnd_, L"The log file " + options.logPath + L" cannot be opened:\n" + logFileReason +
                                    L"\n\nNotchlog runs without it.");
    return true;
}

void MainWindow::AddSystemMenuItems() {
    HMENU menu = Api(::GetSystemMenu(hWnd_, FALSE));
    Api(::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr));
    Api(::AppendMenuW(menu, MF_STRING, kAlwaysOnTopCommand, L"Always on top"));
    Api(::AppendMenuW(menu, MF_STRING, kPauseLoggingCommand, L"Pause logging"));
    Api(::AppendMenuW(menu, MF_STRING, kSaveLogCommand, L"Save log as\u2026"));
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
                hw = CreateChild("BUTTON", c.caption, WS_TABSTOP | BS_PUSHBUTTON, 0, place, hWnd_, c.id, instance_);
                break;
            case ControlKind::Label:
                hw = CreateChild("STATIC", c.caption, SS_LEFT, 0, place, hWnd_, c.id, instance_);
                if (c.id == kInstructionsLabel) font = static_cast<HFONT>(instructionsFont_.Get());
                break;
            case ControlKind::ListBox:
                // No integral height, so the list is exactly as tall as laid
                // out; tab stops, so the TAB in a log line shows as a gap.
                hw = CreateChild("LISTBOX", "",
                                 WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT,
                                 WS_EX_CLIENTEDGE, place, hWnd_, c.id, instance_);
                if (c.id == kMessageLog) {
                    font = static_cast<HFONT>(logFont_.Get());
                    messageLog_ = ListBox(hw);
                } else {
                    sampleList_ = ListBox(hw);
                }
                break;
            case ControlKind::ScrollBar:
                hw = CreateChild("SCROLLBAR", "", WS_TABSTOP | SBS_VERT, 0, place, hWnd_, c.id, instance_);
                Api(::SetScrollRange(hw, SB_CTL, 0, 1000, FALSE));
                Api(::SetScrollPos(hw, SB_CTL, 0, TRUE));
                wheelScrollBar_ = ScrollBar(hw, 10, 1);
                break;
            case ControlKind::TextPanel: {
                const bool target = c.id == kWheelTarget;
                TextPanel& panel = target ? wheelTarget_ : hoverPanel_;
                panel.Create(hWnd_, c.id, place, target ? kGreen : Api(::GetSysColor(COLOR_BTNFACE)), defaultFont_);
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
    SetWheelHook(hWnd_, this, false);
    std::wstring reason;
    logFile_.Flush(reason);  // the last lines; nobody is left to tell
    if (timerArmed_) Api(::KillTimer(refreshWindow_, kRefreshTimer));
    timerArmed_ = false;
}

LRESULT CALLBACK MainWindow::WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    MainWindow& window = Instance();
    try {
        return window.OnMessage(h, msg, wp, lp);
    } catch (const Error& e) {
        window.ReportError(&e);
    } catch (...) {
        window.ReportError(nullptr);
    }
    return 0;
}

LRESULT MainWindow::OnMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (lp != 0) {
                OnCommand(LOWORD(wp), HIWORD(wp));
                return 0;
            }
            break;
        case WM_VSCROLL:
            if (lp != 0 && reinterpret_cast<HWND>(lp) == wheelScrollBar_.Handle()) {
                if (wheelScrollBar_.OnScroll(LOWORD(wp))) {
                    MarkStale(kScrollBarView);
                    ScheduleRefresh();
                }
                return 0;
            }
            break;
        case WM_SYSCOMMAND:
            if (OnSystemCommand(static_cast<UINT>(wp & 0xFFF0))) return 0;
            break;
        case WM_CLOSE:
            Close();
            Api(::DestroyWindow(h));
            return 0;
        case WM_DESTROY:
            NL_API_VOID(::PostQuitMessage(0));
            return 0;
        default:
            break;
    }
    return Api(::DefWindowProcA(h, msg, wp, lp));
}

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

void MainWindow::LogMessage(std::int32_t hWnd, std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam) {
    if (IsFilteredMessage(uMsg)) return;
    // The list copies the text before it can send anything back to this
    // window, so one buffer serves every call, nested ones included.
    FormatLogLine(lineBuffer_, LocalClockTime(), hWnd, uMsg, wParam, lParam);
    logFile_.Append(lineBuffer_);  // written at the next refresh
    // The line is in the list at once; selecting it and painting wait for
    // the refresh, which serves a whole burst of lines in one go.
    messageLog_.SuspendPainting();
    messageLog_.AddItem(lineBuffer_);
    MarkStale(kLogView);
    ScheduleRefresh();
}

void MainWindow::HandleWheel(const WheelEvent& e) {
    int line = 0;  // the numbered step an error arises in
    auto report = [&](const Error& error) {
        ScheduleRefresh();  // what changed before the error shows while the report is open
        ShowErrorReport(hWnd_, error, "Load@" + DecText(line), windowsVersionName_);
    };
    try {
        line = 10;
        const bool inside = IsPointInWindow(wheelTarget_.Handle(), e.x, e.y);
        wheelTarget_.SetBackColor(inside ? kGreen : kMagenta);
        MarkStale(kWheelTargetView);

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
    } catch (const Error& error) {
        report(error);
    } catch (const std::bad_alloc&) {
        report(ProgramError(kErrOutOfMemory, "Out of memory"));
    }
    ScheduleRefresh();
}

void MainWindow::ScrollByWheel(ScrollBar& bar, std::int32_t notches) {
    if (!bar.Visible()) return;
    // The value is set on every event; the bar is drawn again only when it
    // moved, since drawing a scroll bar is dear under Wine.
    if (bar.SetValue(ScrolledValue(bar.State(), wheelScrollLines_, notches))) MarkStale(kScrollBarView);
}

bool MainWindow::PreTranslate(const MSG& msg) {
    if (!hWnd_ || !IsSameOrChild(hWnd_, msg.hwnd)) return false;
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    try {
        OnKeyDown(static_cast<int>(msg.wParam));
    } catch (const Error& e) {
        ReportError(&e);  // the key still goes on to the focused control
    } catch (...) {
        ReportError(nullptr);
    }
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
    MarkStale(kHoverPanelView);
    ScheduleRefresh();
}

void MainWindow::OnClearLog() {
    messageLog_.Clear();
    MarkStale(kLogView);
    ScheduleRefresh();
}

std::string MainWindow::LogText() const {
    const std::int32_t count = messageLog_.Count();
    std::string joined;
    for (std::int32_t i = 0; i < count; ++i) {
        if (i > 0) joined += kCrLf;
        joined += messageLog_.ItemText(i);
    }
    return joined;
}

void MainWindow::OnCopyLog() { CopyToClipboard(hWnd_, LogText()); }

void MainWindow::OnCopyWheelInfo() { CopyToClipboard(hWnd_, wheelInfoText_); }
void MainWindow::OnCopyHoverInfo() { CopyToClipboard(hWnd_, hoverInfoText_); }

// ---- system menu ----------------------------------------------------------

bool MainWindow::OnSystemCommand(UINT command) {
    switch (command) {
        case kAlwaysOnTopCommand: OnAlwaysOnTop(); return true;
        case kPauseLoggingCommand: OnPauseLogging(); return true;
        case kSaveLogCommand: OnSaveLog(); return true;
        default: return false;
    }
}

void MainWindow::OnAlwaysOnTop() {
    const bool on = !(Api(::GetWindowLongPtrA(hWnd_, GWL_EXSTYLE)) & WS_EX_TOPMOST);
    Api(::SetWindowPos(hWnd_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    // The check follows what the window is, not what was asked.
    const bool topmost = Api(::GetWindowLongPtrA(hWnd_, GWL_EXSTYLE)) & WS_EX_TOPMOST;
    Api(::CheckMenuItem(Api(::GetSystemMenu(hWnd_, FALSE)), kAlwaysOnTopCommand,
                        MF_BYCOMMAND | (topmost ? MF_CHECKED : MF_UNCHECKED)));
}

void MainWindow::OnPauseLogging() {
    const bool pause = !paused_;
    // The caption changes while logging is off, so neither change is
    // logged; the click that resumes is, as the first line after the pause.
    paused_ = true;
    Api(::SetWindowTextA(hWnd_, pause ? kPausedCaption : NL_MAIN_CAPTION));
    Api(::CheckMenuItem(Api(::GetSystemMenu(hWnd_, FALSE)), kPauseLoggingCommand,
                        MF_BYCOMMAND | (pause ? MF_CHECKED : MF_UNCHECKED)));
    paused_ = pause;
}

void MainWindow::OnSaveLog() {
    const std::wstring path = AskSaveLogPath(hWnd_);
    if (path.empty()) return;
    std::string text = LogText();
    if (!text.empty()) text += kCrLf;
    const std::wstring reason = SaveTextFile(path, text);
    if (!reason.empty())
        MessageBoxNotice(hWnd_, L"The log could not be saved to " + path + L":\n" + reason +
                                    L"\n\nNothing was written; a file of that name is as it was.");
}

// ---- refresh --------------------------------------------------------------

void MainWindow::MarkStale(unsigned views) {
    staleViews_ |= views;
    if (!schedule_.Stale()) schedule_.MarkStale(NowUs());
}

void MainWindow::ScheduleRefresh() {
    if (refreshing_ || !schedule_.Stale()) return;
    const std::int64_t now = NowUs();
    // Already due later: every message of a burst costs only this test.
    if (timerArmed_ && now < timerDueUs_) return;
    const std::int64_t wait = schedule_.WaitBeforeRefresh(now, MessagesWaiting());
    if (wait == 0) {
        // A sender in another thread waits for this message's answer: it
        // gets it first, and the refresh follows right after. While the
        // window is being made and shown, the refresh waits for the message
        // loop: painting the half-made window would be wasted.
        if (!creating_ && !Api(::InSendMessage())) {
            RefreshAndReschedule();
        } else if (!refreshPosted_) {
            refreshPosted_ = Api(::PostMessageA(refreshWindow_, kRefreshNow, 0, 0)) != FALSE;
        }
        return;
    }
    const auto ms = static_cast<UINT>((wait + 999) / 1000);
    timerArmed_ = Api(::SetTimer(refreshWindow_, kRefreshTimer, ms, nullptr)) != 0;
    timerDueUs_ = now + wait;
}

void MainWindow::Refresh() {
    if (refreshing_ || !schedule_.Stale()) return;
    refreshing_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{refreshing_};
    if (timerArmed_) Api(::KillTimer(refreshWindow_, kRefreshTimer));
    timerArmed_ = false;
    const unsigned views = std::exchange(staleViews_, 0u);
    schedule_.RefreshStarted(NowUs());
    if (views & kLogView) {
        // The newest line selected and scrolled into view.
        const std::int32_t newest = messageLog_.Count() - 1;
        if (newest >= 0) {
            messageLog_.Select(newest);
            messageLog_.SetTopIndex(newest);
        }
        messageLog_.ResumePainting();
        std::wstring reason;
        if (!logFile_.Flush(reason)) logFileProblem_ = reason;
    }
    if (views & kScrollBarView) wheelScrollBar_.Redraw();
    if (views & kWheelTargetView) wheelTarget_.Redraw();
    if (views & kHoverPanelView) hoverPanel_.Redraw();
    schedule_.RefreshEnded(NowUs());
}

void MainWindow::RefreshAndReschedule() {
    Refresh();
    if (!logFileProblem_.empty())
        MessageBoxNotice(hWnd_, L"Writing to the log file failed: " + std::exchange(logFileProblem_, L"") +
                                    L"\nFrom now on lines go to the message list only.");
    // Lines logged while the refresh painted wait for the next one.
    ScheduleRefresh();
}

LRESULT CALLBACK MainWindow::RefreshWndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    MainWindow& window = Instance();
    // For measuring from outside: what the last refresh took, in
    // microseconds (the window is the message-only one of class
    // "NotchlogRefresh"; nothing sent to it is logged).
    static const UINT costQuery = Api(::RegisterWindowMessageA("NotchlogRefreshCost"));
    if (msg == costQuery && costQuery != 0) return static_cast<LRESULT>(window.schedule_.LastCostUs());
    if (msg == WM_TIMER && wp == kRefreshTimer) {
        Api(::KillTimer(h, kRefreshTimer));
        window.timerArmed_ = false;
    } else if (msg == kRefreshNow) {
        window.refreshPosted_ = false;
    } else {
        return Api(::DefWindowProcA(h, msg, wp, lp));
    }
    try {
        window.RefreshAndReschedule();
    } catch (const Error& e) {
        window.ReportError(&e);
    } catch (...) {
        window.ReportError(nullptr);
    }
    return 0;
}

// ---- reporting ------------------------------------------------------------

void MainWindow::ReportLogFailure(const Error* error) noexcept {
    ShowNotice(error, "The message list takes no more lines. Messages still reach the window, but from now "
                      "on lines that cannot be added are lost; Clear makes room again.");
}

void MainWindow::ReportError(const Error* error) noexcept {
    ShowNotice(error, NL_APP_TITLE " could not finish handling a message and goes on running.");
}

void MainWindow::ShowNotice(const Error* error, const std::string& lead) noexcept {
    if (reportingError_) return;  // one box at a time
    reportingError_ = true;
    try {
        std::string text;
        if (error && error->Number() == kErrClipboardBusy) {
            text = "The clipboard is busy: another program has it open.\nNothing was copied.";
        } else {
            text = lead + "\n\n";
            text += error ? "Error " + DecText(error->Number()) + ": " + error->Description()
                          : std::string("An unexpected error occurred.");
        }
        MessageBoxNotice(hWnd_, text);
    } catch (...) {
    }
    reportingError_ = false;
}

}  // namespace nl
