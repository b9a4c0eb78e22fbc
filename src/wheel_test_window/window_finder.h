// The finder: an icon the user drags onto any window to choose it. While
// dragging it holds the mouse capture and reports the window under the
// pointer; on release it reports the deepest visible window there.
#pragma once

#include <windows.h>

#include <functional>

#include "win32/window.h"

namespace nl {

class WindowFinder final : public Window {
public:
    // `hover` while dragging, `drop` on release; both get the window under
    // the pointer (null over no window at all).
    void Create(HWND parent, int id, HINSTANCE instance, std::function<void(HWND)> hover,
                std::function<void(HWND)> drop);

    // The deepest visible window at a screen point.
    static HWND DeepestWindowAt(POINT screen);

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void Paint();
    HWND UnderPointer() const;

    std::function<void(HWND)> hover_, drop_;
    HICON icon_ = nullptr;
    bool dragging_ = false;
};

}  // namespace nl
