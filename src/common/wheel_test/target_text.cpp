#include "common/wheel_test/target_text.h"

#include <cctype>
#include <cstdio>

namespace nl {

namespace {

bool SameClass(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

bool StartsLike(const std::string& name, const char* prefix) {
    const std::size_t n = std::char_traits<char>::length(prefix);
    return name.size() >= n && SameClass(name.substr(0, n), prefix);
}

// "EM_GETFIRSTVISIBLELINE (lines)", "from the screen (px)".
std::string ReadingText(ReadMethod method) {
    const std::string unit = " (" + MethodUnit(method) + ")";
    if (method == ReadMethod::Image) return "from the screen" + unit;
    const std::string text = MethodText(method);
    return text.substr(0, text.find(' ')) + unit;
}

}  // namespace

std::string QuotedTitle(const std::string& title) {
    std::string out = "\"";
    for (const char c : title) {
        if (c == '"') out += "\"\"";
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) out += ' ';
        else out += c;
    }
    return out + "\"";
}

std::string TargetText(const WindowFacts& w) {
    char handle[16];
    std::snprintf(handle, sizeof handle, "%08X", static_cast<unsigned>(w.handle));
    std::string out = std::string(handle) + " " + w.className;
    if (!w.title.empty()) out += " " + QuotedTitle(w.title);
    if (!w.topLevel) out += " in " + (w.topTitle.empty() ? w.topClass : QuotedTitle(w.topTitle));
    out += " (";
    if (!w.program.empty()) out += w.program + ", ";
    return out + "process " + std::to_string(w.processId) + ")";
}

std::string MeasuredText(const MeasuredFacts& m) {
    std::string out = "Measured: ";
    if (m.handle != 0) {
        char handle[16];
        std::snprintf(handle, sizeof handle, "%08X", static_cast<unsigned>(m.handle));
        out += std::string(handle) + " " + m.className + "; ";
    }
    if (!m.problem.empty()) return out + "not known: " + m.problem;
    return out + "down: " + ReadingText(m.down) + "; sideways: " + ReadingText(m.sideways);
}

bool ReadFromScreen(const ScrollFacts& w) {
    for (const char* readable : {"ListBox", "SysListView32", "SysTreeView32", "Edit", "ScrollBar"})
        if (SameClass(w.className, readable)) return false;
    if (StartsLike(w.className, "RichEdit")) return false;  // RichEdit, RichEdit20A/W, RICHEDIT50W
    if (w.style & (kVerticalBarStyle | kHorizontalBarStyle)) return false;
    for (const auto& child : w.children)
        if (child.visible && SameClass(child.className, "ScrollBar") && !(child.style & kSizeBoxStyles)) return false;
    return true;
}

std::string FinderLineText(const std::optional<ScrollFacts>& target) {
    if (!target) return kFinderInvitation;
    return ReadFromScreen(*target) ? kReadFromScreenWarning : "";
}

}  // namespace nl
