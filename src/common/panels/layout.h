// The main window's controls: kind, caption, place in twips and tab order.
#pragma once

namespace nl {

enum class ControlKind { Button, TextPanel, ScrollBar, ListBox, Label };

// In creation order; the numbers are the controls' window ids.
enum ControlId : int {
    kCopyHoverInfoButton = 101,
    kHoverPanel,
    kWheelScrollBar,
    kCopyWheelInfoButton,
    kWheelHitArea,  // the green area
    kCopyLogButton,
    kClearLogButton,
    kMessageLog,
    kSampleList,  // the standard list box shown for comparison
    kHoverLabel,
    kInstructionsLabel,
    kSampleListLabel,
    kMessagesLabel,
};

struct ControlSpec {
    ControlId id;
    ControlKind kind;
    const char* caption;
    int left, top, width, height;  // twips, relative to the client area
    int tabIndex;
};

constexpr int kControlCount = 13;
// In creation order; no two overlap.
extern const ControlSpec kControls[kControlCount];

constexpr int kClientWidthTwips = 10935;
constexpr int kClientHeightTwips = 6150;

// 1440 twips to the inch, rounded to the nearest pixel (halves up).
int TwipsToPixels(int twips, int dpi);

// The tab stop that follows (or, backwards, precedes) the one with tab
// index `from`, skipping labels, which cannot take the focus. Returns the
// position in kControls.
int NextTabStop(int fromTabIndex, bool backwards);

}  // namespace nl
