// Questions about any window, given by its handle: 0 and handles that name
// no window included. Failed queries give zeros and empty texts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace nl {

// Whether (x, y) lies inside the window's rectangle, edges included.
bool IsPointInWindow(HWND hWnd, std::int32_t x, std::int32_t y);
std::string WindowClassName(HWND hWnd);
// The title as the platform gives it, cut at 259 characters.
std::string WindowText(HWND hWnd);
std::string WindowRectText(HWND hWnd);

// The window at a screen point, 0 where there is none.
HWND WindowAt(std::int32_t x, std::int32_t y);

}  // namespace nl
