#include "common/panels/layout.h"

namespace nl {

const ControlSpec kControls[kControlCount] = {
    {kCopyHoverInfoButton, ControlKind::Button, "Copy", 9930, 2700, 795, 315, 12},
    {kHoverPanel, ControlKind::TextPanel, "", 4890, 1080, 5835, 1575, 11},
    {kWheelScrollBar, ControlKind::ScrollBar, "", 180, 300, 315, 5745, 9},
    {kCopyWheelInfoButton, ControlKind::Button, "Copy", 4020, 2700, 795, 315, 8},
    {kWheelHitArea, ControlKind::TextPanel, "", 660, 1080, 4125, 1575, 0},
    {kCopyLogButton, ControlKind::Button, "Copy", 9300, 3120, 1155, 315, 6},
    {kClearLogButton, ControlKind::Button, "Clear", 9300, 3510, 1155, 315, 5},
    {kMessageLog, ControlKind::ListBox, "", 660, 3150, 8505, 2790, 4},
    {kSampleList, ControlKind::ListBox, "", 9300, 5100, 1425, 840, 1},
    {kHoverLabel, ControlKind::Label, "Hold CTRL to retrieve the handle of the currently hovered window:", 4920, 570,
     3855, 435, 10},
    {kInstructionsLabel, ControlKind::Label,
     "Move mouse over green area and scroll using mouse wheel or touchpad. Then check out the "
     "messages, and watch the scrollbar on the left.",
     660, 330, 4125, 675, 7},
    {kSampleListLabel, ControlKind::Label, "Standard ListBox", 9330, 4830, 1395, 255, 3},
    {kMessagesLabel, ControlKind::Label, "Messages", 660, 2910, 2685, 225, 2},
};

int TwipsToPixels(int twips, int dpi) {
    const long long num = static_cast<long long>(twips) * dpi;
    return static_cast<int>(num >= 0 ? (num + 720) / 1440 : -((-num + 720) / 1440));
}

int NextTabStop(int fromTabIndex, bool backwards) {
    // Walk tab indexes cyclically from the current one until a control that
    // can take the focus turns up.
    for (int step = 1; step <= kControlCount; ++step) {
        const int want = backwards ? (fromTabIndex - step + 2 * kControlCount) % kControlCount
                                   : (fromTabIndex + step) % kControlCount;
        for (int i = 0; i < kControlCount; ++i) {
            if (kControls[i].tabIndex == want && kControls[i].kind != ControlKind::Label) return i;
        }
    }
    return -1;
}

}  // namespace nl
