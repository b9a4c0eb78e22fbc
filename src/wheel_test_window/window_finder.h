// The finder: an icon the user drags onto any window to choose it. While
// dragging it holds the mouse capture, outlines the window under the
// pointer and reports it; on release it reports the deepest visible window
// there.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "win32/raii.h"
#include "win32/window.h"

namespace nl {

// The frame around the window under the pointer while the finder is
// dragged: a top-most popup of its own, shaped by a region to a hollow
// frame along the inside of that window's rectangle. It never draws on the
// screen itself, so hiding it leaves the windows under it as they were, and
// the system's hit-testing passes through it (layered and transparent, and
// HTTRANSPARENT to its own thread's WindowFromPoint), so it is never the
// window found under the pointer.
class FinderOutline final : public Window {
public:
    static constexpr COLORREF kColour = RGB(255, 0, 200);
    static constexpr int kThickness96 = 3;  // pixels at 96 dpi

    // Made hidden; owned by no window, so the finder destroys it.
    void Create(HINSTANCE instance);
    void Destroy();
    // Frames `w`, or hides the frame for null and for a window wholly off
    // the screen. Only a changed rectangle reshapes it.
    void Frame(HWND w);
    void Hide();

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    GdiObject brush_;
    RECT framed_{};  // the frame's rectangle on the screen while shown
    bool shown_ = false;
};

class WindowFinder final : public Window {
public:
    // `hover` while dragging, each time the window under the pointer
    // changes; `drop` on release; both get the window under the pointer
    // (null over no window at all). `cancel` when the capture is taken away
    // mid-drag: nothing is chosen (the line under the finder can go back to
    // what it said before the drag).
    void Create(HWND parent, int id, HINSTANCE instance, std::function<void(HWND)> hover,
                std::function<void(HWND)> drop, std::function<void()> cancel = {});

    // The deepest visible window at a screen point.
    static HWND DeepestWindowAt(POINT screen);

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void Paint();
    HWND UnderPointer() const;
    void EndDrag();

    std::function<void(HWND)> hover_, drop_;
    std::function<void()> cancel_;
    HICON icon_ = nullptr;
    bool dragging_ = false;
    std::optional<HWND> hovered_;  // the window under the pointer at this drag's last move
    FinderOutline outline_;
};

}  // namespace nl
