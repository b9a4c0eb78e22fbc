// The message log's line layout and the numbers it leaves out.
#pragma once

#include <cstdint>
#include <string>

#include "common/base/number_text.h"

namespace nl {

// (width - length) blanks, then the text; a longer text is never cut.
std::string AlignRight(const std::string& text, std::int32_t width);

// WM_SETCURSOR, WM_NCHITTEST, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN,
// WM_CTLCOLORSCROLLBAR and WM_MOUSEMOVE are too frequent to log.
bool IsFilteredMessage(std::uint32_t uMsg);

// "hh:nn:ss  hWnd=<hex>\tuMsg=<hex, right-aligned to 4> wHi=<n> wLo=<n> lHi=<n> lLo=<n>"
// Writes into out (cleared first) so a caller can reuse one buffer.
void FormatLogLine(std::string& out, const ClockTime& t, std::int32_t hWnd, std::uint32_t uMsg,
                   std::int32_t wParam, std::int32_t lParam);

}  // namespace nl
