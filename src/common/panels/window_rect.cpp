#include "common/panels/window_rect.h"

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

}  // namespace nl
