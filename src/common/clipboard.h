// Copying a text to the clipboard, and reading the program's own resources.
#pragma once

#include <windows.h>

#include <string>

#include "common/version_resource.h"

namespace nl {

// The main window: it owns what the program puts on the clipboard and the
// message boxes it shows.
void SetOwnerWindow(HWND owner);
HWND OwnerWindow();

// Empties the clipboard, then puts the text on it. Raises the clipboard-busy
// error when another program keeps the clipboard open.
void CopyToClipboard(const std::string& text);

// The executable's own version resource.
VersionResource ReadOwnVersionResource();

}  // namespace nl
