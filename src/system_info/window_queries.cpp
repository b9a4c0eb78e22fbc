#include "system_info/window_queries.h"

#include <algorithm>

#include "common/panels/window_rect.h"
#include "win32/api.h"

namespace nl {

namespace {
constexpr int kTextBuffer = 260;

WindowRect QueryRect(HWND hWnd) {
    RECT rc{0, 0, 0, 0};
    Api(::GetWindowRect(hWnd, &rc));  // a failed query leaves the zeros
    return WindowRect{rc.left, rc.top, rc.right, rc.bottom};
}

// n is the count of bytes the platform wrote, never more than the buffer
// holds before its terminating NUL.
std::string BufferText(const char* buffer, int n) {
    if (n <= 0) return std::string();
    if (n > kTextBuffer - 1) n = kTextBuffer - 1;
    return std::string(buffer, static_cast<std::size_t>(n));
}
}  // namespace

bool IsPointInWindow(HWND hWnd, std::int32_t x, std::int32_t y) { return PointInRect(QueryRect(hWnd), x, y); }

std::string WindowClassName(HWND hWnd) {
    char buffer[kTextBuffer];
    std::fill(buffer, buffer + kTextBuffer, ' ');
    const int n = Api(::GetClassNameA(hWnd, buffer, kTextBuffer));
    return BufferText(buffer, n);
}

std::string WindowText(HWND hWnd) {
    char buffer[kTextBuffer];
    std::fill(buffer, buffer + kTextBuffer, ' ');
    const int n = Api(::GetWindowTextA(hWnd, buffer, kTextBuffer));
    return BufferText(buffer, n);
}

std::string WindowRectText(HWND hWnd) { return RectText(QueryRect(hWnd)); }

HWND WindowAt(std::int32_t x, std::int32_t y) {
    POINT pt{x, y};
    return Api(::WindowFromPoint(pt));
}

}  // namespace nl
