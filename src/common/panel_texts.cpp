#include "common/panel_texts.h"

#include "common/checked.h"

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

std::string BuildWheelInfoText(const WheelInfo& w) {
    std::string s;
    AppendTimeStamp(s, w.time);
    s += "\r\nDelta = ";
    AppendDec(s, w.notches);
    s += ", Shift = ";
    AppendDec(s, w.keyState);
    s += "\r\nX/Y = ";
    AppendDec(s, w.x);
    s += "/";
    AppendDec(s, w.y);
    s += "\r\nWindowFromPoint = ";
    AppendDec(s, w.under);
    s += " (green: ";
    AppendDec(s, w.green);
    s += ")\r\nClass = ";
    s += w.className;
    s += "\r\nRect = ";
    s += w.rectText;
    s += "\r\nnumWheelScrollLines = ";
    AppendDec(s, w.wheelScrollLines);
    return s;
}

std::string BuildHoverInfoText(const HoverInfo& h) {
    std::string s;
    AppendTimeStamp(s, h.time);
    s += "\r\nMouse.X/Y = ";
    AppendDec(s, h.x);
    s += "/";
    AppendDec(s, h.y);
    s += "\r\nhWnd = ";
    AppendDec(s, h.handle);
    s += "\r\nClass = ";
    s += h.className;
    s += "\r\nRect = ";
    s += h.rectText;
    s += "\r\nText = ";
    s += h.title;
    return s;
}

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(kCrLf, start);
        if (at == std::string::npos) {
            out.push_back(text.substr(start));
            return out;
        }
        out.push_back(text.substr(start, at - start));
        start = at + 2;
    }
}

}  // namespace nl
