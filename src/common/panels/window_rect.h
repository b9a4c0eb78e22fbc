// A window's rectangle in screen coordinates: the point test and the text
// the panels print for it.
#pragma once

#include <cstdint>
#include <string>

namespace nl {

struct WindowRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Inclusive on all four edges: right and bottom count as inside.
bool PointInRect(const WindowRect& r, std::int32_t x, std::int32_t y);

// "(left, top)-(right, bottom) WxH"; width and height are checked
// subtractions and raise the overflow error when they do not fit.
std::string RectText(const WindowRect& r);

}  // namespace nl
