// How much a window's content grew or shrank between two captures of its
// client area. Text lines, rows of cells and the like lie further apart at
// a larger size wherever the zoom keeps its fixed point (the top-left, the
// centre, the pointer), so the scale is told by the spacing of the
// picture's structure: the period of its changes from row to row (the line
// pitch) and from column to column. Pure: the captures come in as pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/wheel_test/image_shift.h"

namespace nl {

// A change in size of less than this many percent counts as none.
inline constexpr std::int32_t kLeastZoomPercent = 5;

enum class ZoomChange {
    Unchanged,   // the same picture (a blinking caret aside)
    Moved,       // the content moved (scrolled) or was redrawn, at the same size
    Zoomed,      // the content grew or shrank by kLeastZoomPercent or more
    Unmeasured,  // nothing to tell it by: see the reason
};

struct ZoomRead {
    ZoomChange change = ZoomChange::Unmeasured;
    // The content's size after against before in whole percent (125: grew
    // by a quarter; 80: shrank); 100 when unchanged or moved; nullopt when
    // unmeasured.
    std::optional<std::int32_t> percent;
    std::string reason;  // why unmeasured, in the report's words
};

// Reads the change from `before` to `after`, two captures of the same
// window. Unchanged or Moved where MatchShift finds them the same picture
// or the same picture shifted along one axis; else the ratio of the two
// pictures' periods: the rows' where they have one (a text's line pitch),
// else the columns'; where both have one they agree within 10%. An axis
// counts only where the second picture's correlations match the first's
// stretched by its scale. Unmeasured, never a guess, when the two differ
// in size, the picture has no structure to tell a scale by (blank, one
// colour, noise), its structure is lost after, the rows and the columns
// disagree, or the picture changed in more than its size.
ZoomRead ReadZoom(const PixelImage& before, const PixelImage& after);

// How the zoom is read: a rich edit's own zoom ratio or the picture.
enum class ZoomMethod { EditZoom, Image };
// "EM_GETZOOM %", "image %".
const char* ZoomMethodText(ZoomMethod method);

// A rich edit's zoom (EM_GETZOOM's numerator and denominator; 0/0, or any
// part not positive, is 100%) against its zoom at the base, in whole percent.
std::int32_t ZoomRatioPercent(std::int32_t numerator, std::int32_t denominator, std::int32_t baseNumerator,
                              std::int32_t baseDenominator);

}  // namespace nl
