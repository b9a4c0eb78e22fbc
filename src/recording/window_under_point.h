// The window under a screen point, asked of the system once per point until
// forgotten: the query is dear (under Wine it asks the system's server, and
// over one of the program's own windows it hit-tests that window), and a
// wheel message needs it twice, for its handler and for its recorded
// target. Forgotten at each frame and at any other message, since windows
// may have moved since.
#pragma once

#include <windows.h>

#include <cstdint>

#include "system_info/window_queries.h"

namespace nl {

class WindowUnderPoint {
public:
    HWND At(std::int32_t x, std::int32_t y) {
        if (!known_ || x != x_ || y != y_) {
            known_ = false;  // a failed query leaves nothing behind
            window_ = WindowAt(x, y);
            x_ = x;
            y_ = y;
            known_ = true;
        }
        return window_;
    }
    void Forget() { known_ = false; }

private:
    bool known_ = false;
    std::int32_t x_ = 0, y_ = 0;
    HWND window_ = nullptr;
};

}  // namespace nl
