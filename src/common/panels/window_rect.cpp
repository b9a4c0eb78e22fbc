#include "common/panels/window_rect.h"

#include <algorithm>

#include "common/base/checked.h"
#include "common/base/number_text.h"

namespace nl {

bool PointInRect(const WindowRect& r, std::int32_t x, std::int32_t y) {
    if (x < r.left) return false;
    if (x > r.right) return false;
    if (y < r.top) return false;
    if (y > r.bottom) return false;
    return true;
}

std::string RectText(const WindowRect& r) {
    const std::int32_t width = CheckedSub(r.right, r.left);
    const std::int32_t height = CheckedSub(r.bottom, r.top);
    std::string s = "(";
    AppendDec(s, r.left);
    s += ", ";
    AppendDec(s, r.top);
    s += ")-(";
    AppendDec(s, r.right);
    s += ", ";
    AppendDec(s, r.bottom);
    s += ") ";
    AppendDec(s, width);
    s += "x";
    AppendDec(s, height);
    return s;
}

OutlineFrame OutlineOf(const WindowRect& window, const WindowRect& screen, std::int32_t thickness) {
    OutlineFrame f;
    const WindowRect cut{std::max(window.left, screen.left), std::max(window.top, screen.top),
                         std::min(window.right, screen.right), std::min(window.bottom, screen.bottom)};
    if (cut.right <= cut.left || cut.bottom <= cut.top) return f;
    f.outer = cut;
    // In 64 bits: a rectangle near the ends of the range cannot overflow.
    const std::int64_t t = thickness;
    if (cut.right - std::int64_t{cut.left} > 2 * t && cut.bottom - std::int64_t{cut.top} > 2 * t)
        f.inner = WindowRect{static_cast<std::int32_t>(cut.left + t), static_cast<std::int32_t>(cut.top + t),
                             static_cast<std::int32_t>(cut.right - t), static_cast<std::int32_t>(cut.bottom - t)};
    return f;
}

}  // namespace nl
