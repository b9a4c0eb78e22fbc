#include "common/wheel_test/window_form.h"

#include <cctype>
#include <cstdint>

namespace nl {

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    std::size_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= text.size()) return false;
        const auto a = static_cast<unsigned char>(text[i]);
        const auto b = static_cast<unsigned char>(prefix[i]);
        if (std::tolower(a) != std::tolower(b)) return false;
    }
    return true;
}

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

// The digits from `from` on as a number no larger than `limit`; nullopt for
// no digits, another character or a larger number.
std::optional<std::uint64_t> Digits(const std::string& text, std::size_t from, int base, std::uint64_t limit) {
    if (from >= text.size()) return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const int d = DigitValue(text[i], base);
        if (d < 0) return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
        if (value > limit) return std::nullopt;
    }
    return value;
}

// A handle the way the message log (hex) or the hover panel (a signed
// decimal Long) prints it, as the 32-bit value.
std::optional<std::uint32_t> HandleNumber(const std::string& text) {
    if (StartsWithNoCase(text, "0x")) {
        if (const auto v = Digits(text, 2, 16, 0xFFFFFFFFull)) return static_cast<std::uint32_t>(*v);
        return std::nullopt;
    }
    if (!text.empty() && text[0] == '-') {
        if (const auto v = Digits(text, 1, 10, 0x80000000ull)) return static_cast<std::uint32_t>(0x100000000ull - *v);
        return std::nullopt;
    }
    if (const auto v = Digits(text, 0, 10, 0xFFFFFFFFull)) return static_cast<std::uint32_t>(*v);
    return std::nullopt;
}

}  // namespace

std::optional<WindowForm> ParseWindowForm(const std::string& text, std::string& problem) {
    problem.clear();
    WindowForm form;
    form.given = text;
    if (StartsWithNoCase(text, "title:")) {
        form.kind = WindowForm::Kind::Title;
        form.text = text.substr(6);
        return form;
    }
    if (StartsWithNoCase(text, "class:")) {
        form.kind = WindowForm::Kind::Class;
        form.text = text.substr(6);
        return form;
    }
    if (const auto handle = HandleNumber(text)) {
        form.kind = WindowForm::Kind::Handle;
        form.handle = *handle;
        return form;
    }
    problem = "unknown target form: " + text + "; use 0xHEX, a decimal number, title:TEXT or class:NAME";
    return std::nullopt;
}

const char* MethodText(ReadMethod method) {
    switch (method) {
        case ReadMethod::ListBoxTop: return "LB_GETTOPINDEX items";
        case ReadMethod::ListViewTop: return "LVM_GETTOPINDEX rows";
        case ReadMethod::EditFirstLine: return "EM_GETFIRSTVISIBLELINE lines";
        case ReadMethod::ScrollBarControl: return "SBM_GETPOS units";
        case ReadMethod::ScrollInfo: return "GetScrollInfo units";
        case ReadMethod::Image: return "image px";
        case ReadMethod::Clock: return "clock ms";
        case ReadMethod::ImageZoom: return "image %";
        case ReadMethod::RichEditZoom: return "EM_GETZOOM %";
    }
    return "";
}

std::string MethodUnit(ReadMethod method, bool one) {
    const std::string text = MethodText(method);
    std::string unit = text.substr(text.find_last_of(' ') + 1);
    if (one && unit.size() > 2 && unit.back() == 's') unit.pop_back();
    return unit;
}

bool CountsLines(ReadMethod method) {
    return method == ReadMethod::ListBoxTop || method == ReadMethod::ListViewTop || method == ReadMethod::EditFirstLine;
}

}  // namespace nl
