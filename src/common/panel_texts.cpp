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

namespace {
std::string Stamp(const ClockTime& t) {
    std::string s;
    AppendTimeStamp(s, t);
    return s;
}
}  // namespace

std::string JoinCrLf(std::initializer_list<std::string> lines) {
    std::string s;
    for (const std::string& line : lines) {
        if (&line != lines.begin()) s += kCrLf;
        s += line;
    }
    return s;
}

std::string BuildWheelInfoText(const WheelInfo& w) {
    return JoinCrLf({Stamp(w.time), "Delta = " + DecText(w.notches) + ", Shift = " + DecText(w.keyState),
                     "X/Y = " + DecText(w.x) + "/" + DecText(w.y),
                     "WindowFromPoint = " + DecText(w.under) + " (green: " + DecText(w.green) + ")",
                     "Class = " + w.className, "Rect = " + w.rectText,
                     "numWheelScrollLines = " + DecText(w.wheelScrollLines)});
}

std::string BuildHoverInfoText(const HoverInfo& h) {
    return JoinCrLf({Stamp(h.time), "Mouse.X/Y = " + DecText(h.x) + "/" + DecText(h.y), "hWnd = " + DecText(h.handle),
                     "Class = " + h.className, "Rect = " + h.rectText, "Text = " + h.title});
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
