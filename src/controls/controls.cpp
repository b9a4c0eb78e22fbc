#include "controls/controls.h"

#include <vector>

#include "common/api.h"
#include "common/error.h"
#include "common/raii.h"

namespace nl {

// ---- list box -------------------------------------------------------------

std::int32_t ListBox::AddItem(const std::string& text) {
    const LRESULT r = Api(::SendMessageA(h_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    if (r == LB_ERRSPACE) Raise(kErrOutOfMemory, "Out of memory");
    if (r < 0) Raise(kErrInvalidCall, "Invalid procedure call or argument");
    return static_cast<std::int32_t>(r);
}

std::int32_t ListBox::Count() const {
    const LRESULT r = Api(::SendMessageA(h_, LB_GETCOUNT, 0, 0));
    return r < 0 ? 0 : static_cast<std::int32_t>(r);
}

std::string ListBox::ItemText(std::int32_t index) const {
    const LRESULT len = Api(::SendMessageA(h_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0));
    if (len < 0) Raise(kErrInvalidCall, "Invalid procedure call or argument");
    std::string s(static_cast<std::size_t>(len) + 1, '\0');
    const LRESULT got =
        Api(::SendMessageA(h_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&s[0])));
    if (got < 0) Raise(kErrInvalidCall, "Invalid procedure call or argument");
    s.resize(static_cast<std::size_t>(got) <= static_cast<std::size_t>(len) ? static_cast<std::size_t>(got)
                                                                            : static_cast<std::size_t>(len));
    return s;
}

void ListBox::Clear() { Api(::SendMessageA(h_, LB_RESETCONTENT, 0, 0)); }

void ListBox::Select(std::int32_t index) {
    Api(::SendMessageA(h_, LB_SETCURSEL, static_cast<WPARAM>(index), 0));
}

void ListBox::SetTopIndex(std::int32_t index) {
    Api(::SendMessageA(h_, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0));
}

void ListBox::SuspendPainting() {
    if (suspended_) return;
    suspended_ = true;
    Api(::SendMessageA(h_, WM_SETREDRAW, FALSE, 0));
}

void ListBox::ResumePainting() {
    if (!suspended_) return;
    suspended_ = false;
    Api(::SendMessageA(h_, WM_SETREDRAW, TRUE, 0));
    Api(::RedrawWindow(h_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN));
}

// ---- scroll bar -----------------------------------------------------------

bool ScrollBar::Visible() const { return Api(::IsWindowVisible(h_)) != FALSE; }

std::int16_t ScrollBar::Min() const {
    int lo = 0, hi = 0;
    Api(::GetScrollRange(h_, SB_CTL, &lo, &hi));
    return static_cast<std::int16_t>(lo);
}

std::int16_t ScrollBar::Max() const {
    int lo = 0, hi = 0;
    Api(::GetScrollRange(h_, SB_CTL, &lo, &hi));
    return static_cast<std::int16_t>(hi);
}

std::int16_t ScrollBar::Value() const { return static_cast<std::int16_t>(Api(::GetScrollPos(h_, SB_CTL))); }

void ScrollBar::SetValue(std::int16_t v) {
    if (!deferred_) {
        Api(::SetScrollPos(h_, SB_CTL, v, TRUE));
        return;
    }
    Api(::SetScrollPos(h_, SB_CTL, v, FALSE));
    dirty_ = true;
}

void ScrollBar::DeferPainting(bool on) {
    deferred_ = on;
    if (on || !dirty_) return;
    dirty_ = false;
    Api(::InvalidateRect(h_, nullptr, FALSE));
}

void ScrollBar::OnScroll(int code) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    Api(::GetScrollInfo(h_, SB_CTL, &si));
    int v = si.nPos;
    switch (code) {
        case SB_LINEUP: v -= smallChange_; break;
        case SB_LINEDOWN: v += smallChange_; break;
        case SB_PAGEUP: v -= largeChange_; break;
        case SB_PAGEDOWN: v += largeChange_; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: v = si.nTrackPos; break;
        case SB_TOP: v = si.nMin; break;
        case SB_BOTTOM: v = si.nMax; break;
        default: return;
    }
    if (v < si.nMin) v = si.nMin;
    if (v > si.nMax) v = si.nMax;
    if (v != si.nPos) SetValue(static_cast<std::int16_t>(v));
}

// ---- picture box ----------------------------------------------------------

const char* PictureBox::ClassName() { return "NotchlogPictureBox"; }

void PictureBox::RegisterClass(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &PictureBox::WndProc;
    wc.hInstance = instance;
    wc.hCursor = Api(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    wc.lpszClassName = ClassName();
    Api(::RegisterClassA(&wc));
}

void PictureBox::Create(HWND parent, int id, int x, int y, int w, int h, COLORREF back, HFONT font) {
    back_ = back;
    font_ = font;
    h_ = Api(::CreateWindowExA(WS_EX_CLIENTEDGE, ClassName(), "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y, w, h,
                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               reinterpret_cast<HINSTANCE>(Api(::GetWindowLongPtrA(parent, GWLP_HINSTANCE))),
                               this));
}

void PictureBox::Invalidate() {
    // Deferred: the next WM_PAINT draws colour and text in one go.
    if (deferred_) {
        dirty_ = true;
        return;
    }
    if (h_) Api(::InvalidateRect(h_, nullptr, FALSE));
}

void PictureBox::DeferPainting(bool on) {
    deferred_ = on;
    if (on || !dirty_) return;
    dirty_ = false;
    Invalidate();
}

void PictureBox::SetBackColor(COLORREF c) {
    back_ = c;
    text_.Clear();
    Invalidate();
}

void PictureBox::Clear() {
    text_.Clear();
    Invalidate();
}

void PictureBox::Print(const std::string& text) {
    text_.Print(text);
    Invalidate();
}

void PictureBox::Paint(HDC dc) const {
    RECT rc{};
    Api(::GetClientRect(h_, &rc));
    GdiObject brush(::CreateSolidBrush(back_));
    Api(::FillRect(dc, &rc, static_cast<HBRUSH>(brush.Get())));
    if (text_.Lines().empty()) return;
    SelectScope font(dc, font_);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    int y = 0;
    for (const auto& line : text_.Lines()) {
        if (y >= rc.bottom) break;
        ::TextOutA(dc, 0, y, line.data(), static_cast<int>(line.size()));
        y += tm.tmHeight;
    }
}

LRESULT CALLBACK PictureBox::WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
            static_cast<PictureBox*>(cs->lpCreateParams)->h_ = h;
            Api(::SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams)));
        }
        auto* self = reinterpret_cast<PictureBox*>(Api(::GetWindowLongPtrA(h, GWLP_USERDATA)));
        if (self) {
            switch (msg) {
                case WM_ERASEBKGND:
                    return 1;  // WM_PAINT paints the background together with the text
                case WM_PAINT: {
                    PaintScope ps(h);
                    self->Paint(ps.Dc());
                    return 0;
                }
                case WM_PRINTCLIENT:
                    self->Paint(reinterpret_cast<HDC>(wp));
                    return 0;
                case WM_LBUTTONDOWN:
                    Api(::SetFocus(h));
                    return 0;
                case WM_NCDESTROY:
                    Api(::SetWindowLongPtrA(h, GWLP_USERDATA, 0));
                    self->h_ = nullptr;
                    break;
                default:
                    break;
            }
        }
    } catch (...) {
        // Painting has nothing worth reporting; the next WM_PAINT tries again.
    }
    return Api(::DefWindowProcA(h, msg, wp, lp));
}

// ---- clipboard ------------------------------------------------------------

ClipboardScope::ClipboardScope(HWND owner) {
    // About half a second in all: enough for a clipboard manager's or the
    // system's brief hold, short enough not to freeze the window.
    for (int attempt = 0; attempt < 25; ++attempt) {
        if (Api(::OpenClipboard(owner))) return;
        ::Sleep(20);
    }
    Raise(kErrClipboardBusy, "Can't open Clipboard");
}

ClipboardScope::~ClipboardScope() { Api(::CloseClipboard()); }

void ClipboardScope::Clear() { Api(::EmptyClipboard()); }

void ClipboardScope::SetText(const std::string& text) {
    const int srcLen = static_cast<int>(text.size());
    const int wideLen =
        srcLen == 0 ? 0 : Api(::MultiByteToWideChar(CP_ACP, 0, text.data(), srcLen, nullptr, 0));
    HGLOBAL mem = Api(::GlobalAlloc(GMEM_MOVEABLE, (static_cast<SIZE_T>(wideLen) + 1) * sizeof(wchar_t)));
    if (!mem) Raise(kErrOutOfMemory, "Out of memory");
    auto* dst = static_cast<wchar_t*>(Api(::GlobalLock(mem)));
    if (!dst) {
        Api(::GlobalFree(mem));
        Raise(kErrOutOfMemory, "Out of memory");
    }
    if (wideLen > 0) Api(::MultiByteToWideChar(CP_ACP, 0, text.data(), srcLen, dst, wideLen));
    dst[wideLen] = L'\0';
    Api(::GlobalUnlock(mem));
    if (!Api(::SetClipboardData(CF_UNICODETEXT, mem))) {
        Api(::GlobalFree(mem));
        Raise(kErrClipboardBusy, "Can't open Clipboard");
    }
    // The clipboard owns mem now.
}

// ---- message box ----------------------------------------------------------

int MessageBoxOkCancel(HWND owner, const std::string& text) {
    return Api(::MessageBoxA(owner, text.c_str(), AppTitle().c_str(), MB_OKCANCEL | MB_ICONERROR));
}

void MessageBoxNotice(HWND owner, const std::string& text, UINT icon) {
    Api(::MessageBoxA(owner, text.c_str(), AppTitle().c_str(), MB_OK | icon));
}

}  // namespace nl
