// A picture drawn with GDI and saved as a PNG file by the system's own image
// encoder: GDI+, loaded from the system folder when a picture is saved, so
// that the program neither needs it to start nor carries an encoder of its
// own.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace nl {

// Draws a `width` x `height` picture with `draw`, which gets a DC holding a
// white 32-bit bitmap of that size and the bitmap's rectangle, and writes
// it to `path` as a PNG: to a temporary file beside it first, which then
// replaces it (as SaveTextFile does). Returns the reason it could not be
// written (the system's, or the encoder's), empty on success.
std::wstring SavePngPicture(const std::wstring& path, int width, int height,
                            const std::function<void(HDC, const RECT&)>& draw);

}  // namespace nl
