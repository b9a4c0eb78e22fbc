// How far the measured window's content moved along one axis, read from
// what the screen shows of it where the window cannot be asked: captures
// taken one after another are matched and the movement followed from one to
// the next (common/wheel_test/image_shift.h has the rule). Runs on the
// sender's thread: nothing here throws.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "common/wheel_test/image_shift.h"
#include "tested_window/screen_capture.h"

namespace nl {

class PictureReader {
public:
    // What is captured: `measured`'s client area without the scroll-bar
    // children along its edges, and where it has a scroll bar of its own
    // along the axis (WS_HSCROLL with `horizontal`, else WS_VSCROLL), that
    // bar's strip beside the client area.
    PictureReader(HWND measured, bool horizontal) : measured_(measured), horizontal_(horizontal) {}
    PictureReader(const PictureReader&) = delete;
    PictureReader& operator=(const PictureReader&) = delete;

    struct Read {
        bool taken = false;       // false: the screen could not be read (the window is off screen, hidden, ...)
        bool sameAsLast = false;  // pixel for pixel the previous Read's capture, thumb included
        // Pixels the content moved since Start, positive when the window
        // scrolled down (right); nullopt: unmeasured, for `problem`
        // (`period` with Repeats).
        std::optional<std::int32_t> position;
        PictureProblem problem = PictureProblem::None;
        std::int32_t period = 0;
    };

    // Takes the base capture: position 0 where taken. Also finds the
    // scroll-bar children to leave out, so call it again after the window
    // changes its children or size.
    Read Start() noexcept;
    // Takes a capture and follows the movement from the last one that
    // matched. Before a base was taken: unmeasured, NothingMatches.
    Read Next() noexcept;

    // The picture the last Start or Next took, as captured (the scroll-bar
    // children left out); a vertical reader's only, since a horizontal one
    // keeps it turned. Null before one was taken.
    const PixelImage* Picture() const { return last_ && !horizontal_ ? &last_->lines : nullptr; }

private:
    bool Capture(ImageLines& lines);

    HWND measured_;
    bool horizontal_;
    RECT covered_{};  // how far scroll-bar children reach in from each edge of the client area
    ScreenCapture screen_;
    std::optional<ImageLines> last_;
    std::optional<PictureFollower> follower_;
};

}  // namespace nl
