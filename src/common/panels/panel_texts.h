// Texts the two panels show: the wheel event's description and the hovered
// window's description.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/base/number_text.h"
#include "common/panels/window_rect.h"

namespace nl {

struct WheelInfo {
    ClockTime time;
    std::int32_t notches, keyState, x, y;
    std::int32_t under;  // window under the cursor
    std::int32_t green;  // the target area
    std::string className;
    std::string rectText;
    std::int32_t wheelScrollLines;
};

// Seven lines joined by CR LF, none after the last.
std::string BuildWheelInfoText(const WheelInfo& w);

// The green area's text as the wheel handler leaves it: the description
// Copy takes (the last one complete) and the one the panel is to show,
// formatted only at the frame and only when it is shown; a colour change
// erases what the panel showed.
class WheelPanelText {
public:
    // The handler's description, complete.
    void Describe(const WheelInfo& info) {
        described_ = info;
        hasDescription_ = true;
    }
    // The panel is to show the last description.
    void Show() {
        shown_ = described_;
        showPending_ = hasDescription_;
    }
    // The panel's colour changed, which erased its text.
    void Erase() { showPending_ = false; }
    // At the frame: the text the panel is to show now, if it was set since.
    bool TakeShown(std::string& text) {
        if (!showPending_) return false;
        showPending_ = false;
        text = BuildWheelInfoText(shown_);
        return true;
    }
    // What Copy takes: the last description, formatted when asked.
    std::string CopyText() const { return hasDescription_ ? BuildWheelInfoText(described_) : std::string(); }

private:
    WheelInfo described_{};
    WheelInfo shown_{};
    bool hasDescription_ = false;
    bool showPending_ = false;
};

struct HoverInfo {
    ClockTime time;
    std::int32_t x, y;
    std::int32_t handle;
    std::string className;
    std::string rectText;
    std::string title;
};

// Six lines joined by CR LF, none after the last.
std::string BuildHoverInfoText(const HoverInfo& h);

// Lines joined by CR LF, none after the last.
std::string JoinCrLf(std::initializer_list<std::string> lines);
std::string JoinCrLf(const std::vector<std::string>& lines);

// The lines a panel shows for a text: each CR LF starts a new line; a lone
// CR or LF stays inside its line.
std::vector<std::string> SplitCrLf(const std::string& text);

}  // namespace nl
