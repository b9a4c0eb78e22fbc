#include "tested_window/screen_capture.h"

#include <algorithm>

#include "win32/drawing.h"

namespace nl {

namespace {

// GetDC(NULL) and its ReleaseDC; not the Api wrapper's WindowDc, since this
// runs on the sender's thread.
class ScreenDc {
public:
    ScreenDc() : dc_(::GetDC(nullptr)) {}
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    ~ScreenDc() {
        if (dc_) ::ReleaseDC(nullptr, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

RECT VirtualScreen() {
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN), top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace

// A top-down 32-bit DIB section of the size asked, kept for the next reads.
bool ScreenCapture::Fit(HDC screen, LONG width, LONG height) {
    if (bits_ && width == width_ && height == height_) return true;
    bitmap_.Reset();
    bits_ = nullptr;
    if (!dc_) dc_ = MemoryDc(::CreateCompatibleDC(screen));
    if (!dc_) return false;
    BITMAPINFO info = TopDown32BitInfo(width, height);
    void* bits = nullptr;
    bitmap_ = GdiObject(::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) return false;
    bits_ = static_cast<const std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
    return true;
}

bool ScreenCapture::Grab(const RECT& area) {
    grabbed_ = RECT{};
    const RECT screenRect = VirtualScreen();
    RECT shown{};
    if (!::IntersectRect(&shown, &area, &screenRect)) return false;
    const LONG width = shown.right - shown.left, height = shown.bottom - shown.top;
    ScreenDc screen;
    if (!screen.Get() || !Fit(screen.Get(), width, height)) return false;
    SelectScope selected(dc_.Get(), bitmap_.Get());
    if (!::BitBlt(dc_.Get(), 0, 0, width, height, screen.Get(), shown.left, shown.top, SRCCOPY)) return false;
    ::GdiFlush();
    grabbed_ = shown;
    return true;
}

void ScreenCapture::Cut(const RECT& area, PixelImage& image) const {
    RECT kept{};
    if (!bits_ || !::IntersectRect(&kept, &area, &grabbed_)) {
        image = PixelImage{};
        return;
    }
    image.width = kept.right - kept.left;
    image.height = kept.bottom - kept.top;
    image.pixels.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    auto out = image.pixels.begin();
    for (LONG y = kept.top; y < kept.bottom; ++y) {
        const std::uint32_t* row = bits_ + static_cast<std::size_t>(y - grabbed_.top) * static_cast<std::size_t>(width_) +
                                   static_cast<std::size_t>(kept.left - grabbed_.left);
        // The fourth byte of each pixel is whatever the driver left there.
        out = std::transform(row, row + image.width, out, [](std::uint32_t p) { return p & 0xFFFFFFu; });
    }
}

bool ScreenCapture::Take(HWND w, PixelImage& image) {
    RECT area{};
    if (!::GetClientRect(w, &area)) return false;
    ::MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&area), 2);
    if (!Grab(area)) return false;
    Cut(area, image);
    return true;
}

}  // namespace nl
