#include "common/message_log/log_line.h"

namespace nl {

std::string AlignRight(const std::string& text, std::int32_t width) {
    const auto len = static_cast<std::int64_t>(text.size());
    if (len < width) return std::string(static_cast<std::size_t>(width - len), ' ') + text;
    return text;
}

bool IsFilteredMessage(std::uint32_t uMsg) {
    switch (uMsg) {
        case 0x0020:  // WM_SETCURSOR
        case 0x0084:  // WM_NCHITTEST
        case 0x0134:  // WM_CTLCOLORLISTBOX
        case 0x0135:  // WM_CTLCOLORBTN
        case 0x0137:  // WM_CTLCOLORSCROLLBAR
        case 0x0200:  // WM_MOUSEMOVE
            return true;
        default:
            return false;
    }
}

void FormatLogLine(std::string& out, const ClockTime& t, std::int32_t hWnd, std::uint32_t uMsg,
                   std::int32_t wParam, std::int32_t lParam) {
    out.clear();
    AppendTimeStamp(out, t);
    out += "  hWnd=";
    AppendHex(out, hWnd);
    out += "\tuMsg=";
    // At most 8 digits: both texts stay in the string's small buffer.
    out += AlignRight(HexText(static_cast<std::int32_t>(uMsg)), 4);
    out += " wHi=";
    AppendDec(out, HiWord(wParam));
    out += " wLo=";
    AppendDec(out, LoWord(wParam));
    out += " lHi=";
    AppendDec(out, HiWord(lParam));
    out += " lLo=";
    AppendDec(out, LoWord(lParam));
}

}  // namespace nl
