// How much the measured window's content grew or shrank since a base: a
// rich edit's own zoom ratio (EM_GETZOOM, asked through a buffer in the
// window's process), else the picture (common/wheel_test/zoom_reading.h
// has the rule). Runs on the sender's thread: nothing here throws.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/wheel_test/zoom_reading.h"
#include "tested_window/tested_window.h"

namespace nl {

class ZoomReader {
public:
    // Chooses the method once: EM_GETZOOM for a window of a rich edit
    // class (RichEdit20A/W, RICHEDIT50W, ...) that answers it, else the
    // picture of the measured window's client area.
    explicit ZoomReader(const TestPlace& place);
    ~ZoomReader();
    ZoomReader(const ZoomReader&) = delete;
    ZoomReader& operator=(const ZoomReader&) = delete;

    ZoomMethod Method() const { return method_; }

    // Takes the base that Settle reads against, once the window has come to
    // rest (the same zoom and first line, or the same picture, for 100 ms
    // with the target idle; at most a second). False when it could not be
    // read or did not come to rest; Settle is then unmeasured.
    bool Mark();

    struct Reading {
        // Zoomed: `percent` is the content's size against the base (125:
        // grew by a quarter); Moved: it scrolled (a rich edit's first line
        // changed, or the picture moved or was redrawn) at the same size;
        // Unchanged; Unmeasured, for `reason`. A change of less than
        // kLeastZoomPercent reads as none: percent 100.
        ZoomChange change = ZoomChange::Unmeasured;
        std::optional<std::int32_t> percent;
        std::string reason;
    };
    // After the last message of a step: two WM_NULL round trips to the
    // target's thread, then reads every 20 ms until it has come to rest as
    // for Mark (at most a second, else unmeasured), and reads the change
    // against the base, which stays.
    Reading Settle();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    ZoomMethod method_ = ZoomMethod::Image;
};

}  // namespace nl
