#include "main_window/frm_main.h"

#include "common/api.h"
#include "common/module1.h"
#include "common/clipboard.h"
#include "common/error_report.h"
#include "common/globals.h"
#include "common/version_resource.h"
#include "hook/mod_hook_wheel.h"
#include "main_window/layout.h"
#include "main_window/log_line.h"
#include "main_window/scroll_emulation.h"
#include "main_window/window_queries.h"
#include "system_info/system_info.h"

namespace nl {

namespace {
const char* const kMainClass = "NotchlogMain";
constexpr COLORREF kGreen = 0x0080FF80;

constexpr COLORREF kMagenta = 0x00FF80FF;

// Input, posted or sent messages are waiting in this thread's queue.
bool MessagesWaiting() {
    return HIWORD(Api(::GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_HOTKEY | QS_SENDMESSAGE))) != 0;
}

LogTime Now() {
    SYSTEMTIME st{};
    NL_API_VOID(::GetLocalTime(&st));
    return LogTime{st.wHour, st.wMinute, st.wSecond};
}

bool IsSameOrChild(HWND parent, HWND w) {
    return w && (w == parent || Api(::IsChild(parent, w)));
}
}  // namespace


FrmMain& FrmMain::Instance() {
    static FrmMain form;
    return form;
}

bool FrmMain::Load(HINSTANCE instance, int showCommand) {
    instance_ = instance;
    const VersionResource version = ReadOwnVersionResource();
    auto title = version.strings.find("ProductName");
    if (title != version.strings.end()) SetAppTitle(title->second);

    WNDCLASSA wc{};
    wc.lpfnWndProc = &FrmMain::WndProc;
    wc.hInstance = instance;
    wc.hIcon = Api(::LoadIconA(instance, MAKEINTRESOURCEA(1)));
    wc.hCursor = Api(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainClass;
    if (!Api(::RegisterClassA(&wc))) return false;
    PictureBox::RegisterClass(instance);

    {
        WindowDc screen(nullptr);
        dpi_ = ::GetDeviceCaps(screen.Get(), LOGPIXELSX);
        if (dpi_ <= 0) dpi_ = 96;
    }
    RECT rc{0, 0, TwipsToPixels(kClientWidthTwips, dpi_), TwipsToPixels(kClientHeightTwips, dpi_)};
    Api(::AdjustWindowRectEx(&rc, WS_OVERLAPPEDWINDOW, FALSE, 0));
    hWnd_ = Api(::CreateWindowExA(0, kMainClass, kMainCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, CW_USEDEFAULT, rc.right - rc.left, rc.bottom - rc.top,
                                  nullptr, nullptr, instance, nullptr));
    if (!hWnd_) return false;
    SetOwnerWindow(hWnd_);
    CreateControls();
    // The lines logged while the window is made, shown and first painted
    // are painted once, when the message loop first finds nothing to do.
    loading_ = true;
    DeferPaint();
    StartUp();
    Api(::ShowWindow(hWnd_, showCommand));
    Api(::SetFocus(picture1_.Handle()));  // tab index 0
    Api(::UpdateWindow(hWnd_));
    loading_ = false;
    return true;
}

void FrmMain::CreateControls() {
    fontDefault_ = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    // 8.25 pt at the screen's resolution.
    const int fontHeight = -::MulDiv(825, dpi_, 7200);
    fontLog_ = GdiObject(::CreateFontA(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       FIXED_PITCH | FF_MODERN, "Courier New"));
    fontBold_ = GdiObject(::CreateFontA(fontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                        DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));

    for (int i = 0; i < kControlCount; ++i) {
        const ControlSpec& c = kControls[i];
        const int x = TwipsToPixels(c.left, dpi_), y = TwipsToPixels(c.top, dpi_);
        const int w = TwipsToPixels(c.width, dpi_), h = TwipsToPixels(c.height, dpi_);
        HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id));
        HFONT font = fontDefault_;
        HWND hw = nullptr;
        switch (c.kind) {
            case ControlKind::Button:
                hw = Api(::CreateWindowExA(0, "BUTTON", c.caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                           x, y, w, h, hWnd_, id, instance_, nullptr));
                break;
            case ControlKind::Label:
                hw = Api(::CreateWindowExA(0, "STATIC", c.caption, WS_CHILD | WS_VISIBLE | SS_LEFT, x, y, w, h,
                                           hWnd_, id, instance_, nullptr));
                if (c.id == kLabel1) font = static_cast<HFONT>(fontBold_.Get());
                break;
            case ControlKind::ListBox:
                hw = Api(::CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_USETABSTOPS |
                                               LBS_NOINTEGRALHEIGHT,
                                           x, y, w, h, hWnd_, id, instance_, nullptr));
                if (c.id == kLstMessage) {
                    font = static_cast<HFONT>(fontLog_.Get());
                    lstMessage_ = ListBox(hw);
                } else {
                    list1_ = ListBox(hw);
                }
                break;
            case ControlKind::VScroll:
                hw = Api(::CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_VERT, x, y, w,
                                           h, hWnd_, id, instance_, nullptr));
                Api(::SetScrollRange(hw, SB_CTL, 0, 1000, FALSE));
                Api(::SetScrollPos(hw, SB_CTL, 0, TRUE));
                vScroll1_ = ScrollBar(hw, 10, 1);
                break;
            case ControlKind::Picture: {
                PictureBox& box = c.id == kPicture1 ? picture1_ : picHover_;
                box.Create(hWnd_, c.id, x, y, w, h, c.id == kPicture1 ? kGreen : Api(::GetSysColor(COLOR_BTNFACE)),
                           fontDefault_);
                hw = box.Handle();
                break;
            }
        }
        if (hw) Api(::SendMessageA(hw, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE));
        controls_[i] = hw;
    }
}

void FrmMain::StartUp() {
    WindowsVersionName = GetWindowsVersionName();
    WheelScrollLines = GetWheelScrollLines();
    SetWheelHook(*this, true);
    // From here on every message to the window is logged.
    for (int i = 0; i <= 20; ++i) list1_.AddItem(DecText(i) + ". Wheel me!");
}

void FrmMain::Unload() {
    StopLogging = true;
    SetWheelHook(*this, false);
}

LRESULT CALLBACK FrmMain::WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    FrmMain& form = Instance();
    try {
        return form.OnMessage(h, msg, wp, lp);
    } catch (const Error& e) {
        form.ReportError(&e);
    } catch (...) {
        form.ReportError(nullptr);
    }
    return 0;
}

LRESULT FrmMain::OnMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (lp != 0) {
                OnCommand(LOWORD(wp), HIWORD(wp));
                return 0;
            }
            break;
        case WM_VSCROLL:
            if (reinterpret_cast<HWND>(lp) == vScroll1_.Handle() && lp != 0) {
                vScroll1_.OnScroll(LOWORD(wp));
                return 0;
            }
            break;
        case WM_CLOSE:
            Unload();
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

void FrmMain::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    switch (id) {
        case kCommand1: Command1Click(); break;
        case kCommand2: Command2Click(); break;
        case kCommand3: Command3Click(); break;
        case kCommand4: Command4Click(); break;
        default: break;
    }
}

void FrmMain::LogMessage(std::int32_t hWnd, std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam) {
    if (IsFilteredMessage(uMsg)) return;
    // The list copies the text before it can send anything back to this
    // window, so one buffer serves every call, nested ones included.
    FormatLogLine(lineBuffer_, Now(), hWnd, uMsg, wParam, lParam);
    DeferPaint();
    const std::int32_t newIndex = lstMessage_.AddItem(lineBuffer_);
    lstMessage_.Select(newIndex);
    lstMessage_.SetTopIndex(newIndex);
    // The message loop paints when it finds its queue empty; a line logged
    // anywhere else (a message sent from another thread, one dispatched by
    // a modal loop) is shown at once unless more messages are waiting.
    if (!PaintWaitsForLoop() && !MessagesWaiting()) FlushPaint();
}

bool FrmMain::HandleWheel(std::int32_t notches, std::int32_t keyState, std::int32_t x, std::int32_t y) {
    bool result = false;
    int line = 0;  // the numbered step an error arises in
    // Colour, scroll bar and text are painted with the log line that follows.
    DeferPaint();
    try {
        line = 10;
        const bool inside = IsPointInWindow(picture1_.Handle(), x, y);
        picture1_.SetBackColor(inside ? kGreen : kMagenta);

        line = 20;
        const HWND under = WindowAt(x, y);

        line = 30;
        WheelInfo info{};
        info.time = Now();
        info.green = HandleLong(picture1_.Handle());
        info.className = WindowClassName(under);
        info.rectText = WindowRectText(under);
        info.notches = notches;
        info.keyState = keyState;
        info.x = x;
        info.y = y;
        info.under = HandleLong(under);
        info.wheelScrollLines = WheelScrollLines;
        wheelInfoText_ = BuildWheelInfoText(info);  // replaced only once complete

        line = 40;
        ScrollByWheel(vScroll1_, notches);
        result = true;

        line = 50;
        picture1_.Clear();
        picture1_.Print(wheelInfoText_);
    } catch (const Error& e) {
        ShowErrorReport(e, "Load@" + DecText(line));
    } catch (const std::bad_alloc&) {
        ShowErrorReport(Error(kErrOutOfMemory, "Out of memory", AppTitle(), LastSystemError()),
                        "Load@" + DecText(line));
    }
    return result;
}

void FrmMain::DeferPaint() {
    if (paintDeferred_) return;
    paintDeferred_ = true;
    lstMessage_.SuspendPainting();
    vScroll1_.DeferPainting(true);
    picture1_.DeferPainting(true);
}

void FrmMain::FlushPaint() {
    if (!paintDeferred_) return;
    paintDeferred_ = false;
    lstMessage_.ResumePainting();
    vScroll1_.DeferPainting(false);
    picture1_.DeferPainting(false);
}

void FrmMain::ScrollByWheel(ScrollBar& bar, std::int32_t notches) {
    if (!bar.Visible()) return;
    ScrollBarState state{};
    state.largeChange = bar.LargeChange();
    state.value = bar.Value();
    state.min = bar.Min();
    state.max = bar.Max();
    bar.SetValue(ScrolledValue(state, WheelScrollLines, notches));
}

bool FrmMain::PreTranslate(const MSG& msg) {
    if (!hWnd_ || !IsSameOrChild(hWnd_, msg.hwnd)) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        int shift = 0;
        if (Api(::GetKeyState(VK_SHIFT)) < 0) shift |= 1;
        if (Api(::GetKeyState(VK_CONTROL)) < 0) shift |= 2;
        if (Api(::GetKeyState(VK_MENU)) < 0) shift |= 4;
        try {
            OnKeyDown(static_cast<int>(msg.wParam), shift);
        } catch (const Error& e) {
            ReportError(&e);  // the key still goes on to the focused control
        } catch (...) {
            ReportError(nullptr);
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && !(shift & (2 | 4))) {
            const HWND focus = Api(::GetFocus());
            int from = -1;
            for (int i = 0; i < kControlCount; ++i)
                if (controls_[i] == focus) from = kControls[i].tabIndex;
            const int next = NextTabStop(from < 0 ? kControlCount - 1 : from, (shift & 1) != 0);
            if (next >= 0) Api(::SetFocus(controls_[next]));
            return true;
        }
    }
    return false;
}

void FrmMain::OnKeyDown(int keyCode, int shift) {
    (void)shift;  // Ctrl acts alone, whatever else is held
    if (keyCode != VK_CONTROL) return;
    POINT pt{0, 0};
    Api(::GetCursorPos(&pt));
    const HWND handle = WindowAt(pt.x, pt.y);
    HoverInfo info{};
    info.time = Now();
    info.className = WindowClassName(handle);
    info.rectText = WindowRectText(handle);
    info.title = WindowText(handle);
    info.x = pt.x;
    info.y = pt.y;
    info.handle = HandleLong(handle);
    hoverInfoText_ = BuildHoverInfoText(info);
    picHover_.Clear();
    picHover_.Print(hoverInfoText_);
}

void FrmMain::Command1Click() { lstMessage_.Clear(); }

void FrmMain::Command2Click() {
    const std::int32_t count = lstMessage_.Count();
    std::string joined;
    for (std::int32_t i = 0; i < count; ++i) {
        if (i > 0) joined += kCrLf;
        joined += lstMessage_.ItemText(i);
    }
    CopyToClipboard(joined);
}

void FrmMain::Command3Click() { CopyToClipboard(wheelInfoText_); }
void FrmMain::Command4Click() { CopyToClipboard(hoverInfoText_); }

void FrmMain::ReportLogFailure(const Error* error) noexcept {
    ShowNotice(error, "The message list takes no more lines. Messages still reach the window, but from now "
                      "on lines that cannot be added are lost; Clear makes room again.");
}

void FrmMain::ReportError(const Error* error) noexcept {
    ShowNotice(error, AppTitle() + " could not finish handling a message and goes on running.");
}

void FrmMain::ShowNotice(const Error* error, const std::string& lead) noexcept {
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
        MessageBoxNotice(hWnd_, text, MB_ICONEXCLAMATION);
    } catch (...) {
    }
    reportingError_ = false;
}

}  // namespace nl
