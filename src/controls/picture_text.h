// What a picture box shows: its background colour and the lines printed
// into it since the last clear. Kept apart from the window so that a repaint
// draws the same text again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nl {

class PictureText {
public:
    // Erases the printed text; the print position goes back to the top-left.
    void Clear() { lines_.clear(); }
    // Prints text at the print position: each CR LF starts a new line at the
    // left edge; afterwards the print position is at the next line's start.
    void Print(const std::string& text);
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// Splits a text at each CR LF. A lone CR or LF stays inside its line.
std::vector<std::string> SplitCrLf(const std::string& text);

}  // namespace nl
