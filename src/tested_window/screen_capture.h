// What the screen shows of a window, read through the screen's DC (another
// process's window DC cannot be read from here).
#pragma once

#include <windows.h>

#include "common/wheel_test/image_shift.h"
#include "win32/raii.h"

namespace nl {

class ScreenCapture {
public:
    ScreenCapture() = default;
    ScreenCapture(const ScreenCapture&) = delete;
    ScreenCapture& operator=(const ScreenCapture&) = delete;

    // The part of w's client area that lies on the screen, into `image`;
    // false when none does or the screen cannot be read.
    bool Take(HWND w, PixelImage& image);

    // Reads `area` (screen coordinates) as the screen shows it now and keeps
    // it for Cut; false when none of it lies on the screen or the screen
    // cannot be read.
    bool Grab(const RECT& area);
    // What the last Grab read of `area` (screen coordinates), into `image`;
    // empty when it read none of it.
    void Cut(const RECT& area, PixelImage& image) const;

private:
    bool Fit(HDC screen, LONG width, LONG height);

    MemoryDc dc_;
    GdiObject bitmap_;
    const std::uint32_t* bits_ = nullptr;
    LONG width_ = 0, height_ = 0;
    RECT grabbed_{};
};

}  // namespace nl
