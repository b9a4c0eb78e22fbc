// How far a window's content moved between two captures of its client
// area: the rows (or columns) of the second are matched against those of
// the first, pixel by pixel. Pure: the captures come in as plain pixel values.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nl {

// A capture: `width` x `height` pixel values (0xRRGGBB), row after row, top
// row first. Only equality of values matters.
struct PixelImage {
    std::int32_t width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

bool operator==(const PixelImage& a, const PixelImage& b);

// Why a picture gives no movement; PictureProblemText says it in words.
enum class PictureProblem {
    None,
    Repeats,         // more than one shift matches, each apart from the next
    TooLittle,       // neighbouring shifts match: almost nothing differs
    NothingMatches,  // no shift within reach matches, or the captures differ in size
    NotAtRest,       // the picture kept changing (the caller's verdict, not the match's)
};

// The report's words: "the picture repeats every P px" (P = `period`),
// "the picture has too little in it to tell", "nothing in the picture
// matches (it may have moved more than two thirds of the window between two
// readings)", "the picture did not come to rest within a second"; empty
// for None.
std::string PictureProblemText(PictureProblem problem, std::int32_t period = 0);

// One capture made ready for matching along one axis. The lines to match
// are kept as rows: a capture matched by its columns is kept turned (its
// column x is row x here). Each line has a hash (lines of two captures with
// the same hash are compared once, not at every shift) and a count of its
// pixels by rough colour (two lines differ in at least half the difference
// of their counts).
// `thumb` is the strip of the window's own scroll bar along the axis, as
// captured with the picture; empty where the window has none.
struct ImageLines {
    static constexpr int kColourClasses = 8;
    PixelImage lines;
    PixelImage thumb;
    std::vector<std::uint32_t> hash;
    std::vector<std::array<std::int32_t, kColourClasses>> colours;
};

ImageLines RowsOf(PixelImage picture, PixelImage thumb = {});
ImageLines ColumnsOf(const PixelImage& picture, PixelImage thumb = {});

// Whether two captures are the same pixel for pixel, thumbs included.
bool SameLines(const ImageLines& a, const ImageLines& b);

// A movement read from captures, or why there is none.
struct PictureShift {
    // Pixels the content moved towards the first line (up for rows, left
    // for columns: the window scrolled down or right); nullopt: unmeasured.
    std::optional<std::int32_t> shift;
    PictureProblem problem = PictureProblem::None;
    std::int32_t period = 0;  // with Repeats: the smallest distance between matching shifts
};

// Line i of `after` showing line i + s of `before` is shift s. A shift
// matches when at most 1% of the pixels the two captures then share differ
// (a blinking caret is far below that). Shifts within reach leave at least
// a third of the lines overlapping; the reading is the one among them that
// matches. Two or more matching: unmeasured, Repeats or (when two
// neighbouring shifts match) TooLittle; none: NothingMatches. Two captures
// the same pixel for pixel read 0 by the same rule, and also where the
// picture repeats when both have a thumb and it is unchanged.
PictureShift MatchShift(const ImageLines& before, const ImageLines& after);

inline std::optional<std::int32_t> LineShift(const ImageLines& before, const ImageLines& after) {
    return MatchShift(before, after).shift;
}

// A movement beyond one capture's reach, followed over captures taken one
// after another while the window catches up: each is matched against the
// last capture that matched (the anchor, at first the base) and the shifts
// add up. A capture that matches nothing (half painted, or moved beyond
// reach) leaves the anchor as it was; a later one may still match it.
class PictureFollower {
public:
    explicit PictureFollower(ImageLines base) : anchor_(std::move(base)) {}

    // This capture's own match against the anchor; a match becomes the anchor.
    PictureShift Follow(const ImageLines& capture);
    // The movement since the base: the shifts added up while the last
    // capture matched, else unmeasured with that capture's reason.
    PictureShift Position() const;

private:
    ImageLines anchor_;
    std::int32_t moved_ = 0;
    PictureShift last_{0};
};

}  // namespace nl
