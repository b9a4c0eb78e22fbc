// A window's rectangle in screen coordinates: the point test, the text
// the panels print for it and the frame the finder outlines it with.
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

// The finder's outline of a window: a frame `thickness` pixels wide along
// the inside of the window's rectangle, cut to the screen so that a
// maximised window's frame shows too. `inner` is the hole, empty (the frame
// solid) when the window is too small for one; `outer` is empty when no
// part of the window is on the screen.
struct OutlineFrame {
    WindowRect outer, inner;
    bool Shown() const { return outer.right > outer.left && outer.bottom > outer.top; }
    bool Hollow() const { return inner.right > inner.left && inner.bottom > inner.top; }
};
OutlineFrame OutlineOf(const WindowRect& window, const WindowRect& screen, std::int32_t thickness);

}  // namespace nl
