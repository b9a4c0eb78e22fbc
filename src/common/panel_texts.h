// Texts the two panels show: the wheel event's description and the hovered
// window's description.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/number_text.h"
#include "common/window_rect.h"

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

// The lines a panel shows for a text: each CR LF starts a new line; a lone
// CR or LF stays inside its line.
std::vector<std::string> SplitCrLf(const std::string& text);

}  // namespace nl
