#include "controls/controls.h"

#include "common/panels/panel_texts.h"
#include "win32/api.h"
#include "win32/raii.h"

namespace nl {

namespace {
// Paints what was invalidated, before returning.
void RedrawNow(HWND h, UINT extra = 0) {
    if (h) Api(::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | extra));
}
}  // namespace

// ---- list box -------------------------------------------------------------

LRESULT ListBox::Append(const std::string& text) {
    return Api(::SendMessageA(h_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

std::int32_t ListBox::AddItem(const std::string& text) {
    const LRESULT r = Append(text);
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
    s.resize(static_cast<std::size_t>(got < len ? got : len));
    return s;
}

void ListBox::Reserve(std::int32_t items, std::size_t bytes) {
    if (items > 0) Api(::SendMessageA(h_, LB_INITSTORAGE, static_cast<WPARAM>(items), static_cast<LPARAM>(bytes)));
}

void ListBox::Delete(std::int32_t index) {
    Api(::SendMessageA(h_, LB_DELETESTRING, static_cast<WPARAM>(index), 0));
}

void ListBox::Clear() { Api(::SendMessageA(h_, LB_RESETCONTENT, 0, 0)); }

void ListBox::Select(std::int32_t index) { Api(::SendMessageA(h_, LB_SETCURSEL, static_cast<WPARAM>(index), 0)); }

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
    // Turning drawing back on makes the list bring its own scroll bar up to
    // date; the items are drawn here. (Drawing the frame again as well
    // would draw that scroll bar twice, which is dear under Wine.)
    Api(::SendMessageA(h_, WM_SETREDRAW, TRUE, 0));
    RedrawNow(h_, RDW_ERASE);
}

// ---- scroll bar -----------------------------------------------------------

bool ScrollBar::Visible() const { return Api(::IsWindowVisible(h_)) != FALSE; }

ScrollBarState ScrollBar::State() const {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_POS;
    Api(::GetScrollInfo(h_, SB_CTL, &si));
    return ScrollBarState{static_cast<std::int16_t>(si.nMin), static_cast<std::int16_t>(si.nMax),
                          static_cast<std::int16_t>(si.nPos), largeChange_};
}

bool ScrollBar::SetValue(std::int16_t v) { return Api(::SetScrollPos(h_, SB_CTL, v, FALSE)) != v; }

void ScrollBar::Redraw() { RedrawNow(h_); }

bool ScrollBar::OnScroll(int code) {
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
        default: return false;
    }
    v = v < si.nMin ? si.nMin : (v > si.nMax ? si.nMax : v);
    return SetValue(static_cast<std::int16_t>(v));
}

// ---- text panel -----------------------------------------------------------

const char* TextPanel::ClassName() { return "NotchlogPictureBox"; }

void TextPanel::Create(HWND parent, int id, const RECT& place, COLORREF back, HFONT font) {
    back_ = back;
    font_ = font;
    const auto instance = reinterpret_cast<HINSTANCE>(Api(::GetWindowLongPtrA(parent, GWLP_HINSTANCE)));
    static const bool registered = [instance] {
        WNDCLASSA wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        return RegisterWindowClass(instance, ClassName(), wc);
    }();
    (void)registered;
    CreateAs(WS_EX_CLIENTEDGE, ClassName(), "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, place, parent,
             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance);
}

void TextPanel::SetBackColor(COLORREF c) {
    back_ = c;
    lines_.clear();
}

void TextPanel::SetText(const std::string& text) { lines_ = SplitCrLf(text); }

void TextPanel::Redraw() { RedrawNow(Handle()); }

void TextPanel::Paint(HDC dc) const {
    RECT rc{};
    Api(::GetClientRect(Handle(), &rc));
    GdiObject brush(::CreateSolidBrush(back_));
    Api(::FillRect(dc, &rc, static_cast<HBRUSH>(brush.Get())));
    if (lines_.empty()) return;
    SelectScope font(dc, font_);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    int y = 0;
    for (const auto& line : lines_) {
        if (y >= rc.bottom) break;
        ::TextOutA(dc, 0, y, line.data(), static_cast<int>(line.size()));
        y += tm.tmHeight;
    }
}

LRESULT TextPanel::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT paints the background together with the text
        case WM_PAINT: {
            PaintScope ps(Handle());
            Paint(ps.Dc());
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wp));
            return 0;
        case WM_LBUTTONDOWN:
            Api(::SetFocus(Handle()));
            return 0;
        default:
            return Default(msg, wp, lp);
    }
}

}  // namespace nl
