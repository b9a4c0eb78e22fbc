// The main window's controls: kind, caption, place in twips and tab order.
#pragma once

#include <cstdint>

namespace nl {

enum class ControlKind { Button, Picture, VScroll, ListBox, Label };

enum ControlId : int {
    kCommand4 = 101,
    kPicHover,
    kVScroll1,
    kCommand3,
    kPicture1,
    kCommand2,
    kCommand1,
    kLstMessage,
    kList1,
    kLblWindow,
    kLabel1,
    kLabel3,
    kLabel2,
};

struct ControlSpec {
    ControlId id;
    const char* name;
    ControlKind kind;
    const char* caption;
    int left, top, width, height;  // twips, relative to the client area
    int tabIndex;
};

// In creation order.
extern const ControlSpec kControls[13];
constexpr int kControlCount = 13;

constexpr int kClientWidthTwips = 10935;
constexpr int kClientHeightTwips = 6150;

// 1440 twips to the inch, rounded to the nearest pixel (halves up).
int TwipsToPixels(int twips, int dpi);

// The caption of the main window.
extern const char* const kMainCaption;

// The tab stop that follows (or, backwards, precedes) the one with tab
// index `from`, skipping labels, which cannot take the focus. Returns the
// position in kControls.
int NextTabStop(int fromTabIndex, bool backwards);

}  // namespace nl
