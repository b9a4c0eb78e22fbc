#include "common/panels/panel_texts.h"

namespace nl {

namespace {
std::string Stamp(const ClockTime& t) {
    std::string s;
    AppendTimeStamp(s, t);
    return s;
}
}  // namespace

std::string JoinCrLf(const std::vector<std::string>& lines) {
    std::string s;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) s += kCrLf;
        s += lines[i];
    }
    return s;
}

std::string JoinCrLf(std::initializer_list<std::string> lines) { return JoinCrLf(std::vector<std::string>(lines)); }

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
