// Putting a text on the clipboard.
#pragma once

#include <windows.h>

#include <string>

namespace nl {

// Empties the clipboard, then puts the text (ANSI code page) on it as
// Unicode text, so the system can offer every text format from it. Opening
// the clipboard retries for about half a second, since another program (or
// the system's own clipboard synchronisation) may hold it a moment; if it
// stays locked, raises the clipboard-busy error.
void CopyToClipboard(HWND owner, const std::string& text);

}  // namespace nl
