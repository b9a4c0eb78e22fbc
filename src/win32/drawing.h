// Small drawing helpers shared by the windows that paint and the pictures
// the program takes or saves.
#pragma once

#include <windows.h>

#include "win32/api.h"
#include "win32/raii.h"

namespace nl {

// A DIB of 32-bit pixels with its rows top down (blue, green, red, and a
// byte GDI leaves at 0): what screen captures and GDI+ both work with.
inline BITMAPINFO TopDown32BitInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// Handles WM_PAINT by drawing the whole client area off screen first with
// `draw(dc, area)`, then showing it at once, so nothing flickers.
template <typename Draw>
void PaintOffScreen(HWND w, Draw draw) {
    PaintScope paint(w);
    RECT area{};
    Api(::GetClientRect(w, &area));
    MemoryDc memory(Api(::CreateCompatibleDC(paint.Dc())));
    GdiObject bitmap(Api(::CreateCompatibleBitmap(paint.Dc(), area.right, area.bottom)));
    SelectScope drawOn(memory.Get(), bitmap.Get());
    draw(memory.Get(), area);
    Api(::BitBlt(paint.Dc(), 0, 0, area.right, area.bottom, memory.Get(), 0, 0, SRCCOPY));
}

}  // namespace nl
