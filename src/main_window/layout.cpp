#include "main_window/layout.h"

namespace nl {

const char* const kMainCaption = "Notchlog - 20080523";

const ControlSpec kControls[13] = {
    {kCommand4, "Command4", ControlKind::Button, "Copy", 9930, 2700, 795, 315, 12},
    {kPicHover, "picHover", ControlKind::Picture, "", 4890, 1080, 5835, 1575, 11},
    {kVScroll1, "VScroll1", ControlKind::VScroll, "", 180, 300, 315, 5745, 9},
    {kCommand3, "Command3", ControlKind::Button, "Copy", 4020, 2700, 795, 315, 8},
    {kPicture1, "Picture1", ControlKind::Picture, "", 660, 1080, 4125, 1575, 0},
    {kCommand2, "Command2", ControlKind::Button, "Copy", 9300, 3120, 1155, 315, 6},
    {kCommand1, "Command1", ControlKind::Button, "Clear", 9300, 3510, 1155, 315, 5},
    {kLstMessage, "lstMessage", ControlKind::ListBox, "", 660, 3150, 8505, 2790, 4},
    {kList1, "List1", ControlKind::ListBox, "", 9300, 5100, 1425, 840, 1},
    {kLblWindow, "lblWindow", ControlKind::Label,
     "Hold CTRL to retrieve the handle of the currently hovered window:", 4920, 570, 3855, 435, 10},
    {kLabel1, "Label1", ControlKind::Label,
     "Move mouse over green area and scroll using mouse wheel or touchpad. Then check out the "
     "messages, and watch the scrollbar on the left.",
     660, 330, 4125, 675, 7},
    {kLabel3, "Label3", ControlKind::Label, "Standard ListBox", 9330, 4830, 1395, 255, 3},
    {kLabel2, "Label2", ControlKind::Label, "Messages", 660, 2910, 2685, 225, 2},
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
