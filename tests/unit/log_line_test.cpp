#include <gtest/gtest.h>

#include "common/message_log/log_line.h"

namespace nl {
namespace {

// Each line is formatted into a buffer that still holds a longer text.
TEST(LogLine, ByteForByte) {
    const struct { ClockTime t; std::uint32_t hWnd, uMsg, wParam, lParam; const char* line; } rows[] = {
        // WM_MOUSEWHEEL to 0x3C2, one notch back at (512, 385).
        {{14, 3, 27}, 0x3C2, 0x020A, 0xFF880000u, (385u << 16) | 512u,
         "14:03:27  hWnd=3C2\tuMsg= 20A wHi=-120 wLo=0 lHi=385 lLo=512"},
        {{1, 2, 3}, 0, 0x0010, 0, 0, "01:02:03  hWnd=0\tuMsg=  10 wHi=0 wLo=0 lHi=0 lLo=0"},
        {{23, 59, 59}, 0x80001234u, 0xC123, 0x80007FFFu, 0xFFFFFFFFu,
         "23:59:59  hWnd=80001234\tuMsg=C123 wHi=-32768 wLo=32767 lHi=-1 lLo=-1"},
        {{0, 0, 9}, 1, 0x12345, 0, 0, "00:00:09  hWnd=1\tuMsg=12345 wHi=0 wLo=0 lHi=0 lLo=0"},
        {{12, 0, 0}, 1, 0xFFFFFFFFu, 0, 0, "12:00:00  hWnd=1\tuMsg=FFFFFFFF wHi=0 wLo=0 lHi=0 lLo=0"},
    };
    for (const auto& r : rows) {
        std::string buffer(200, 'x');
        FormatLogLine(buffer, r.t, static_cast<std::int32_t>(r.hWnd), r.uMsg, static_cast<std::int32_t>(r.wParam),
                      static_cast<std::int32_t>(r.lParam));
        EXPECT_EQ(buffer, r.line);
    }
}

}  // namespace
}  // namespace nl
