#include "tested_window/picture_reader.h"

#include <algorithm>
#include <utility>

namespace nl {

namespace {

bool IsScrollBarControl(HWND w) {
    wchar_t name[16];
    if (::GetClassNameW(w, name, 16) <= 0 || ::lstrcmpiW(name, L"ScrollBar") != 0) return false;
    return (::GetWindowLongPtrW(w, GWL_STYLE) & (SBS_SIZEBOX | SBS_SIZEGRIP)) == 0;
}

// How far the visible scroll-bar children lying along an edge of w's
// client area reach in from it (left, top, right, bottom): they do not
// move with the content.
RECT CoveredEdges(HWND w) {
    RECT client{}, covered{};
    ::GetClientRect(w, &client);
    for (HWND child = ::GetWindow(w, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child) || !IsScrollBarControl(child)) continue;
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
        if (::GetWindowLongPtrW(child, GWL_STYLE) & SBS_VERT) {
            if (r.left <= client.left) covered.left = std::max(covered.left, r.right);
            else if (r.right >= client.right) covered.right = std::max(covered.right, client.right - r.left);
        } else {
            if (r.top <= client.top) covered.top = std::max(covered.top, r.bottom);
            else if (r.bottom >= client.bottom) covered.bottom = std::max(covered.bottom, client.bottom - r.top);
        }
    }
    return covered;
}

// Where w's own scroll bar along the axis lies on the screen, given its
// client area there: beside it, as wide as the system's scroll bars (the
// bar itself cannot be asked from another process everywhere). Empty when
// w has none.
RECT OwnBarStrip(HWND w, bool horizontal, const RECT& client) {
    const LONG_PTR style = ::GetWindowLongPtrW(w, GWL_STYLE);
    RECT strip{};
    if (horizontal && (style & WS_HSCROLL)) {
        strip = RECT{client.left, client.bottom, client.right, client.bottom + ::GetSystemMetrics(SM_CYHSCROLL)};
    } else if (!horizontal && (style & WS_VSCROLL)) {
        const int width = ::GetSystemMetrics(SM_CXVSCROLL);
        strip = (::GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) ? RECT{client.left - width, client.top, client.left, client.bottom}
                                                                           : RECT{client.right, client.top, client.right + width, client.bottom};
    }
    RECT window{};
    ::GetWindowRect(w, &window);
    if (!::IntersectRect(&strip, &strip, &window)) return RECT{};
    return strip;
}

}  // namespace

bool PictureReader::Capture(ImageLines& lines) {
    if (!::IsWindowVisible(measured_) || ::IsIconic(measured_)) return false;
    RECT client{};
    POINT origin{};
    if (!::GetClientRect(measured_, &client) || !::ClientToScreen(measured_, &origin)) return false;
    ::OffsetRect(&client, origin.x, origin.y);
    const RECT picture{client.left + covered_.left, client.top + covered_.top, client.right - covered_.right,
                       client.bottom - covered_.bottom};
    if (::IsRectEmpty(&picture)) return false;
    const RECT strip = OwnBarStrip(measured_, horizontal_, client);
    RECT both{};
    ::UnionRect(&both, &picture, &strip);
    if (!screen_.Grab(both)) return false;
    PixelImage image, thumb;
    screen_.Cut(picture, image);
    screen_.Cut(strip, thumb);
    if (image.pixels.empty()) return false;
    lines = horizontal_ ? ColumnsOf(image, std::move(thumb)) : RowsOf(std::move(image), std::move(thumb));
    return true;
}

PictureReader::Read PictureReader::Start() noexcept {
    Read read;
    try {
        last_.reset();
        follower_.reset();
        covered_ = CoveredEdges(measured_);
        ImageLines base;
        if (!Capture(base)) return read;
        follower_.emplace(base);
        last_ = std::move(base);
        read.taken = true;
        read.position = 0;
    } catch (...) {  // out of memory: no reading
        read = Read{};
    }
    return read;
}

PictureReader::Read PictureReader::Next() noexcept {
    Read read;
    try {
        ImageLines now;
        if (!Capture(now)) return read;
        read.taken = true;
        read.sameAsLast = last_ && SameLines(*last_, now);
        PictureShift position{std::nullopt, PictureProblem::NothingMatches};
        if (follower_) {
            follower_->Follow(now);
            position = follower_->Position();
        }
        last_ = std::move(now);
        read.position = position.shift;
        read.problem = position.problem;
        read.period = position.period;
    } catch (...) {
        read = Read{};
    }
    return read;
}

}  // namespace nl
