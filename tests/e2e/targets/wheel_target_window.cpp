// notchlog_wheel_target.exe KIND [--at X Y] [--hang-after N] [--close-after N] [--at-end]
//
// One window of a known kind for the wheel test to grade, in a process of
// its own (so everything the test reads, it reads across processes). Each
// kind is a top-level window titled "Wheel target: KIND" whose client area
// is 400 x 300:
//   accumulating        adds up deltas and scrolls L lines per 120 (sound)
//   truncating          divides each delta by 120 first
//   every-message       scrolls L lines for every message, whatever its delta
//   fixed-four          a list box that scrolls 4 items per 120, whatever L says
//   reversed-horizontal sound, but scrolls left on the wheel's right turn
//   ignores-horizontal  sound, has a horizontal scroll bar, ignores the horizontal wheel
//   slow                sound, but takes 35 ms over every wheel message
//   list                a standard list box of 200 items
//   pixels              sound, drawn text only: no scroll bar, nothing to ask; 20 ms
//                       over every wheel message, so that a burst reaches the screen
//                       as it goes (this platform shows a busy window's picture
//                       about every 50 ms)
//   short-list          a standard list box whose top item can go no further than 12
// and, readable by their pixels only (scroll bars of their own, no scroll
// bar controls), for the picture reader, each 20 ms over every wheel
// message as `pixels` is, but paints-once:
//   blocks-reversed     cells of colour; sound, but scrolls left on the wheel's right turn
//   blocks-ignores-horizontal  the same cells; ignores the horizontal wheel
//   repeated-text       lines repeating the same words sideways; ignores the horizontal wheel
//   paints-once         like pixels, but paints only once the wheel has rested for 30 ms
// and zooming ones, pixel-only and paced like `pixels`, whose text lines are
// drawn at their zoom (16 px at 100%; a step is x1.25 or /1.25, kept between
// 25% and 400%; the first line stays in place), started at line 100:
//   zooms               zooms on a wheel message with MK_CONTROL, a step per 120 of delta
//   zooms-by-keyboard   zooms only while GetKeyState says Ctrl is down (MK_CONTROL alone scrolls)
//   zooms-per-message   zooms a step for every message with MK_CONTROL, whatever its delta
//   zooms-wrong-way     like zooms, but a positive delta zooms out
//   no-zoom             scrolls whatever the keys
//   rich-edit           a RichEdit20W full of lines (also at line 100), zooming as that control does
// The custom kinds draw numbered text lines (16 px each, 8 px per column),
// keep their own scroll bars (SetScrollInfo) and, since those cannot be read
// from another process everywhere, a scroll bar control along the left
// (vertical) and top (horizontal) edges in step with them; `pixels` and
// `paints-once` have none. The cells are a line tall and a column wide, each
// its own colour; the repeated words start at another offset on each line.
// The scroll bars take their room from the client area, except on the
// pixel-only kinds, whose client area stays 400 x 300 beside them.
// L and C (lines and characters per notch) are read once at start, as real
// handlers do. kAskPosition answers the window's own position (its first
// line or item shown), kAskZoom its zoom in percent; --hang-after N stops
// answering after the Nth wheel message (0: at once), --close-after N
// closes the window after the Nth; --at-end starts it scrolled to the end
// of its range.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

constexpr UINT kAskPosition = WM_APP + 2;
constexpr UINT kHangNow = WM_APP + 3;
constexpr UINT kAskZoom = WM_APP + 4;
constexpr UINT_PTR kPaintTimer = 1;
constexpr int kLineHeight = 16, kColumnWidth = 8, kLines = 1000, kColumns = 200, kBarSize = 16;
constexpr int kClientWidth = 400, kClientHeight = 300;

// BySetting: the list scrolls by the stored setting (re-read when told it
// changed); BySettingKept: by the stored setting read at start only.
enum class Step { Accumulate, Truncate, EveryMessage, FourPerNotch, BySetting, BySettingKept };
enum class Sideways { None, Reversed, Ignored };
enum class Bars { None, OwnAndControls, Own };
enum class Look { Text, Blocks, Repeated };
enum class Zoom { None, ByMessage, ByKey, PerMessage, WrongWay, Never, RichEdit };

struct Kind {
    const wchar_t* name;
    bool list;  // a list box filling the client area, else the custom window
    Step step;
    Sideways sideways;
    int sleepMs;
    Bars bars;  // custom
    Look look = Look::Text;
    bool paintsOnce = false;
    Zoom zoom = Zoom::None;
};

constexpr Kind kKinds[] = {
    {L"accumulating", false, Step::Accumulate, Sideways::None, 0, Bars::OwnAndControls},
    {L"truncating", false, Step::Truncate, Sideways::None, 0, Bars::OwnAndControls},
    {L"every-message", false, Step::EveryMessage, Sideways::None, 0, Bars::OwnAndControls},
    {L"fixed-four", true, Step::FourPerNotch, Sideways::None, 0, Bars::None},
    {L"reversed-horizontal", false, Step::Accumulate, Sideways::Reversed, 0, Bars::OwnAndControls},
    {L"ignores-horizontal", false, Step::Accumulate, Sideways::Ignored, 0, Bars::OwnAndControls},
    {L"slow", false, Step::Accumulate, Sideways::None, 35, Bars::OwnAndControls},
    {L"list", true, Step::Accumulate, Sideways::None, 0, Bars::None},
    {L"pixels", false, Step::Accumulate, Sideways::None, 20, Bars::None},
    {L"short-list", true, Step::Accumulate, Sideways::None, 0, Bars::None},
    {L"blocks-reversed", false, Step::Accumulate, Sideways::Reversed, 20, Bars::Own, Look::Blocks},
    {L"blocks-ignores-horizontal", false, Step::Accumulate, Sideways::Ignored, 20, Bars::Own, Look::Blocks},
    {L"repeated-text", false, Step::Accumulate, Sideways::Ignored, 20, Bars::Own, Look::Repeated},
    {L"paints-once", false, Step::Accumulate, Sideways::None, 0, Bars::None, Look::Text, true},
    {L"zooms", false, Step::Accumulate, Sideways::None, 20, Bars::None, Look::Text, false, Zoom::ByMessage},
    {L"zooms-by-keyboard", false, Step::Accumulate, Sideways::None, 20, Bars::None, Look::Text, false, Zoom::ByKey},
    {L"zooms-per-message", false, Step::Accumulate, Sideways::None, 20, Bars::None, Look::Text, false, Zoom::PerMessage},
    {L"zooms-wrong-way", false, Step::Accumulate, Sideways::None, 20, Bars::None, Look::Text, false, Zoom::WrongWay},
    {L"no-zoom", false, Step::Accumulate, Sideways::None, 20, Bars::None, Look::Text, false, Zoom::Never},
    {L"rich-edit", false, Step::Accumulate, Sideways::None, 0, Bars::None, Look::Text, false, Zoom::RichEdit},
    {L"list-rereads-setting", true, Step::BySetting, Sideways::None, 0, Bars::None},
    {L"list-keeps-setting", true, Step::BySettingKept, Sideways::None, 0, Bars::None},
};

struct State {
    const Kind* kind = nullptr;
    int linesPerNotch = 3, charsPerNotch = 3;
    int line = 0, column = 0;          // the first line and column shown
    int lineRest = 0, columnRest = 0;  // deltas x L (or C) not yet scrolled, in 120ths
    double zoom = 1;
    int zoomRest = 0;  // delta not yet zoomed
    int wheelMessages = 0, hangAfter = -1, closeAfter = -1;
    HWND vbar = nullptr, hbar = nullptr, edit = nullptr;
    WNDPROC listProc = nullptr;
} g;

int VisibleLines() { return kClientHeight / kLineHeight; }
int VisibleColumns() { return kClientWidth / kColumnWidth; }

void SyncBar(HWND bar, int kindOfBar, int max, int page, int pos, HWND owner) {
    SCROLLINFO si{sizeof si, SIF_ALL | SIF_DISABLENOSCROLL, 0, max, static_cast<UINT>(page), pos, 0};
    if (bar) ::SetScrollInfo(bar, SB_CTL, &si, TRUE);
    if (owner) ::SetScrollInfo(owner, kindOfBar, &si, TRUE);
}

void ShowPosition(HWND w) {
    if (g.kind->bars != Bars::None) {
        SyncBar(g.vbar, SB_VERT, kLines - 1, VisibleLines(), g.line, w);
        if (g.kind->sideways != Sideways::None) SyncBar(g.hbar, SB_HORZ, kColumns - 1, VisibleColumns(), g.column, w);
    }
    if (g.kind->paintsOnce) {
        ::SetTimer(w, kPaintTimer, 30, nullptr);  // again at each message: it fires once they stop
        return;
    }
    ::InvalidateRect(w, nullptr, FALSE);
    ::UpdateWindow(w);
}

// Whole units for `delta` at `perNotch` units per 120, towards the end
// (down, right) for a positive result, by the window's way of stepping.
int Units(Step step, int delta, int perNotch, int& rest) {
    if (perNotch < 0) perNotch = VisibleLines();  // a page per notch
    switch (step) {
        case Step::Truncate: return -(delta / 120) * perNotch;
        case Step::EveryMessage: return delta < 0 ? perNotch : delta > 0 ? -perNotch : 0;
        case Step::FourPerNotch: perNotch = 4; break;
        case Step::Accumulate:
        case Step::BySetting:
        case Step::BySettingKept: break;
    }
    rest -= delta * perNotch;
    const int units = rest / 120;
    rest -= units * 120;
    return units;
}

// The lines per notch as the system stores them (the control panel's text),
// as a program that reads the setting itself would; 3 where there is none.
int StoredLinesPerNotch() {
    wchar_t text[32] = {};
    DWORD size = sizeof text;
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"WheelScrollLines", RRF_RT_REG_SZ, nullptr, text,
                       &size) != ERROR_SUCCESS)
        return 3;
    return _wtoi(text);
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// Whether a wheel message zooms the zooming kinds.
bool Zooms(WPARAM wp) {
    switch (g.kind->zoom) {
        case Zoom::ByMessage: case Zoom::PerMessage: case Zoom::WrongWay: return GET_KEYSTATE_WPARAM(wp) & MK_CONTROL;
        case Zoom::ByKey: return ::GetKeyState(VK_CONTROL) < 0;
        default: return false;
    }
}

void ZoomBy(int delta) {
    int steps = (delta > 0) - (delta < 0);
    if (g.kind->zoom != Zoom::PerMessage) {
        g.zoomRest += delta;
        steps = g.zoomRest / 120;
        g.zoomRest -= steps * 120;
    }
    if (g.kind->zoom == Zoom::WrongWay) steps = -steps;
    for (; steps > 0; --steps) g.zoom = std::min(4.0, g.zoom * 1.25);
    for (; steps < 0; ++steps) g.zoom = std::max(0.25, g.zoom / 1.25);
}

int ZoomPercent() {
    INT numerator = 0, denominator = 0;
    if (!g.edit) return static_cast<int>(std::lround(g.zoom * 100));
    ::SendMessageW(g.edit, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator), reinterpret_cast<LPARAM>(&denominator));
    return numerator > 0 && denominator > 0 ? ::MulDiv(100, numerator, denominator) : 100;
}

void Paint(HWND w) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(w, &ps);
    RECT client;
    ::GetClientRect(w, &client);
    HDC mem = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ oldBitmap = ::SelectObject(mem, bitmap);
    // The zooming kinds' font: 11 px at 100%.
    HFONT zoomed = g.kind->zoom == Zoom::None ? nullptr
                   : ::CreateFontW(-static_cast<int>(std::lround(11 * g.zoom)), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    HGDIOBJ oldFont = ::SelectObject(mem, zoomed ? zoomed : ::GetStockObject(DEFAULT_GUI_FONT));
    const int lineHeight = std::max(1, static_cast<int>(std::lround(kLineHeight * g.zoom)));
    ::FillRect(mem, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    SIZE words{};
    ::GetTextExtentPoint32W(mem, L"wide text ", 10, &words);
    for (int row = 0; row * kLineHeight < client.bottom && g.kind->look != Look::Text; ++row) {
        const int n = g.line + row;
        if (g.kind->look == Look::Repeated) {
            std::wstring text;
            for (int i = 0; i < 40; ++i) text += L"wide text ";
            const int offset = words.cx > 0 ? n * (words.cx % 7 ? 7 : 11) % words.cx : 0;
            ::TextOutW(mem, -offset - g.column * kColumnWidth, row * kLineHeight, text.c_str(), static_cast<int>(text.size()));
            continue;
        }
        ::SelectObject(mem, ::GetStockObject(DC_BRUSH));
        for (int column = 0; column * kColumnWidth < client.right; ++column) {
            const auto cell = static_cast<unsigned>(n * 7919 + (g.column + column) * 104729);
            ::SetDCBrushColor(mem, (cell * 2654435761u >> 8) & 0xFFFFFF);
            ::PatBlt(mem, column * kColumnWidth, row * kLineHeight, kColumnWidth, kLineHeight, PATCOPY);
        }
    }
    for (int row = 0; row * lineHeight < client.bottom && g.kind->look == Look::Text; ++row) {
        const int n = g.line + row;
        if (n >= kLines) break;
        // Numbers that differ from line to line and along each line.
        wchar_t text[200];
        int length = 0;
        for (int word = 0; word < 12 + n % 9; ++word)
            length += std::swprintf(text + length, 200 - length, L"%04d%c ", (n * 131 + word * 977) % 10000, L"abcdefgh"[(n + word) % 8]);
        ::TextOutW(mem, kBarSize + 4 - g.column * kColumnWidth, row * lineHeight, text, length);
    }
    ::BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, oldFont);
    if (zoomed) ::DeleteObject(zoomed);
    ::SelectObject(mem, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(mem);
    ::EndPaint(w, &ps);
}

// After each wheel message: the test's ways to make the window misbehave.
void Counted(HWND top) {
    ++g.wheelMessages;
    if (g.hangAfter > 0 && g.wheelMessages >= g.hangAfter) ::Sleep(INFINITE);
    if (g.closeAfter > 0 && g.wheelMessages >= g.closeAfter) ::PostMessageW(top, WM_CLOSE, 0, 0);
}

void OnWheel(HWND w, bool horizontal, WPARAM wp) {
    const int delta = GET_WHEEL_DELTA_WPARAM(wp);
    const DWORD start = ::GetTickCount();
    if (!horizontal && Zooms(wp)) {
        ZoomBy(delta);
    } else if (!horizontal) {
        g.line = Clamp(g.line + Units(g.kind->step, delta, g.linesPerNotch, g.lineRest), 0, kLines - VisibleLines());
    } else if (g.kind->sideways == Sideways::Reversed) {
        const int left = Units(Step::Accumulate, delta, g.charsPerNotch, g.columnRest);
        g.column = Clamp(g.column + left, 0, kColumns - VisibleColumns());
    }
    ShowPosition(w);
    // The slow kind is busy over each message, painting included: its new
    // picture reaches the screen whenever this platform next flushes it. The
    // kinds read from the screen are paced instead, as a program that paints
    // as it goes: a wait for messages hands the platform each new picture at
    // once, where Sleep would leave it for the platform's next flush (every
    // 50 ms or so), two or three notches at a time.
    if (const DWORD spent = ::GetTickCount() - start; spent < static_cast<DWORD>(g.kind->sleepMs)) {
        if (g.kind->bars == Bars::OwnAndControls) ::Sleep(g.kind->sleepMs - spent);
        else ::MsgWaitForMultipleObjects(0, nullptr, FALSE, g.kind->sleepMs - spent, 0);
    }
    Counted(w);
}

// The top-level window: the custom kinds' content, or the list box's frame.
LRESULT CALLBACK TargetProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    const bool custom = !g.kind->list && !g.edit;
    switch (msg) {
        case kAskPosition:
            if (g.edit) return ::SendMessageW(g.edit, EM_GETFIRSTVISIBLELINE, 0, 0);
            return custom ? g.line : ::SendMessageW(::GetWindow(w, GW_CHILD), LB_GETTOPINDEX, 0, 0);
        case kAskZoom: return ZoomPercent();
        case kHangNow: ::Sleep(INFINITE); return 0;
        case WM_SETTINGCHANGE:
            if (g.kind->step == Step::BySetting) g.linesPerNotch = StoredLinesPerNotch();
            break;
        case WM_DESTROY: ::PostQuitMessage(0); return 0;
        case WM_MOUSEWHEEL: case WM_MOUSEHWHEEL:
            if (custom) return OnWheel(w, msg == WM_MOUSEHWHEEL, wp), 0;
            break;
        case WM_PAINT:
            if (custom) return Paint(w), 0;
            break;
        case WM_ERASEBKGND:
            if (custom) return 1;
            break;
        case WM_TIMER:
            if (wp != kPaintTimer) break;
            ::KillTimer(w, kPaintTimer);
            ::InvalidateRect(w, nullptr, FALSE);
            ::UpdateWindow(w);
            return 0;
    }
    return ::DefWindowProcW(w, msg, wp, lp);
}

bool BySetting() { return g.kind->step == Step::BySetting || g.kind->step == Step::BySettingKept; }

// The list box's handler, counting wheel messages; `fixed-four` scrolls
// 4 items per 120 in place of the list box's own way, the by-setting kinds
// by the setting they read (a page per notch: the items in view).
LRESULT CALLBACK ListProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (msg == WM_MOUSEWHEEL && (g.kind->step == Step::FourPerNotch || BySetting())) {
        const auto top = static_cast<int>(::SendMessageW(w, LB_GETTOPINDEX, 0, 0));
        int perNotch = g.linesPerNotch;
        if (perNotch == -1) {
            RECT client{};
            ::GetClientRect(w, &client);
            perNotch = client.bottom / std::max(1, static_cast<int>(::SendMessageW(w, LB_GETITEMHEIGHT, 0, 0)));
        }
        const int down = Units(g.kind->step, GET_WHEEL_DELTA_WPARAM(wp), perNotch, g.lineRest);
        ::SendMessageW(w, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, top + down)), 0);
    } else {
        r = ::CallWindowProcW(g.listProc, w, msg, wp, lp);
    }
    if (msg == WM_MOUSEWHEEL || msg == WM_MOUSEHWHEEL) Counted(::GetParent(w));
    return r;
}

void FillList(HWND list, bool shortList) {
    int count = 200;
    if (shortList) {
        const auto itemHeight = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        RECT r;
        ::GetClientRect(list, &r);
        count = r.bottom / (itemHeight > 0 ? itemHeight : 1) + 12;
    }
    for (int i = 1; i <= count; ++i) {
        wchar_t text[64];
        std::swprintf(text, 64, L"Item %03d %.*s", i, i % 23, L"abcdefghijklmnopqrstuvwxyz");
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

HWND MakeWindow(const Kind& kind, int x, int y) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &TargetProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kind.list || kind.zoom == Zoom::RichEdit ? L"NotchlogWheelTargetFrame" : L"NotchlogWheelTarget";
    ::RegisterClassW(&wc);
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    if (kind.bars != Bars::None) style |= WS_VSCROLL | (kind.sideways != Sideways::None ? WS_HSCROLL : 0);
    RECT r{0, 0, kClientWidth, kClientHeight};
    ::AdjustWindowRect(&r, style, FALSE);
    if (kind.bars == Bars::Own) {
        r.right += ::GetSystemMetrics(SM_CXVSCROLL);
        if (style & WS_HSCROLL) r.bottom += ::GetSystemMetrics(SM_CYHSCROLL);
    }
    const std::wstring title = std::wstring(L"Wheel target: ") + kind.name;
    HWND w = ::CreateWindowExW(0, wc.lpszClassName, title.c_str(), style, x, y, r.right - r.left, r.bottom - r.top,
                               nullptr, nullptr, instance, nullptr);
    if (kind.list) {
        HWND list = ::CreateWindowExW(0, L"ListBox", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0,
                                      kClientWidth, kClientHeight, w, nullptr, instance, nullptr);
        FillList(list, std::wcscmp(kind.name, L"short-list") == 0);
        g.listProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListProc)));
    } else if (kind.zoom == Zoom::RichEdit && ::LoadLibraryW(L"riched20.dll")) {
        g.edit = ::CreateWindowExW(0, L"RichEdit20W", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 0, 0,
                                   kClientWidth, kClientHeight, w, nullptr, instance, nullptr);
        std::wstring text;
        for (int i = 1; i <= 200; ++i) text += L"Line " + std::to_wstring(i) + L" of the rich edit, zoomed as it zooms\r\n";
        ::SetWindowTextW(g.edit, text.c_str());
        ::SendMessageW(g.edit, EM_LINESCROLL, 0, 100);
    } else if (kind.bars == Bars::OwnAndControls) {
        g.vbar = ::CreateWindowExW(0, L"ScrollBar", L"", WS_CHILD | WS_VISIBLE | SBS_VERT, 0, kBarSize, kBarSize,
                                   kClientHeight - kBarSize, w, nullptr, instance, nullptr);
        if (kind.sideways != Sideways::None)
            g.hbar = ::CreateWindowExW(0, L"ScrollBar", L"", WS_CHILD | WS_VISIBLE | SBS_HORZ, kBarSize, 0,
                                       kClientWidth - kBarSize, kBarSize, w, nullptr, instance, nullptr);
    }
    ShowPosition(w);
    return w;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const Kind* kind = nullptr;
    for (const Kind& k : kKinds)
        if (argc > 1 && std::wcscmp(argv[1], k.name) == 0) kind = &k;
    if (!kind) {
        std::fwprintf(stderr, L"usage: notchlog_wheel_target KIND [--at X Y] [--hang-after N] [--close-after N]\n");
        return 2;
    }
    g.kind = kind;
    // Room to scroll both ways where the horizontal wheel does something.
    g.column = kind->sideways == Sideways::None ? 0 : 20;
    if (kind->zoom != Zoom::None && kind->zoom != Zoom::RichEdit) g.line = 100;
    int x = 820, y = 40;
    bool atEnd = false;
    for (int i = 2; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--at-end") == 0) {
            atEnd = true;
            continue;
        }
        if (i + 1 >= argc) break;
        if (std::wcscmp(argv[i], L"--at") == 0 && i + 2 < argc) x = _wtoi(argv[++i]), y = _wtoi(argv[++i]);
        else if (std::wcscmp(argv[i], L"--hang-after") == 0) g.hangAfter = _wtoi(argv[++i]);
        else if (std::wcscmp(argv[i], L"--close-after") == 0) g.closeAfter = _wtoi(argv[++i]);
    }
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &g.linesPerNotch, 0);
    if (BySetting()) g.linesPerNotch = StoredLinesPerNotch();
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLCHARS, 0, &g.charsPerNotch, 0);
    if (g.linesPerNotch == static_cast<int>(WHEEL_PAGESCROLL)) g.linesPerNotch = -1;
    HWND w = MakeWindow(*kind, x, y);
    if (atEnd && kind->list) {
        HWND list = ::GetWindow(w, GW_CHILD);
        ::SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(::SendMessageW(list, LB_GETCOUNT, 0, 0) - 1), 0);
    } else if (atEnd) {
        g.line = kLines - VisibleLines();
        ShowPosition(w);
    }
    ::ShowWindow(w, SW_SHOW);
    ::UpdateWindow(w);
    if (g.hangAfter == 0) ::PostMessageW(w, kHangNow, 0, 0);
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
    return 0;
}
