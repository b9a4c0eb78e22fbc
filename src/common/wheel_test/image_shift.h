// How far a window's content moved between two captures of its client area:
// the rows (or columns) of the second are matched against those of the
// first. Pure: the captures come in as plain pixel values.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace nl {

// A capture: `width` x `height` pixel values, row after row, top row first.
// Only equality of values matters.
struct PixelImage {
    std::int32_t width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

// One fingerprint per row or per column of a capture: a hash of its pixels
// and whether they are all of one colour (such a line says nothing about
// where it came from when its neighbour is alike).
struct ImageLines {
    std::int32_t lineLength = 0;  // pixels per line: captures of other sizes never match
    std::vector<std::uint64_t> hash;
    std::vector<bool> plain;
};

ImageLines RowsOf(const PixelImage& image);
ImageLines ColumnsOf(const PixelImage& image);

// Whether two captures show the same pixels (as far as their lines tell).
bool SameLines(const ImageLines& a, const ImageLines& b);

// The content's movement towards the first line (up for rows, left for
// columns): line i of `after` shows line i + shift of `before`; negative
// when it moved the other way. Only shifts that leave at least a third of
// the lines overlapping are tried, and the best must fit nearly every line
// while every other shift fits clearly worse; otherwise (repeating content,
// a shift near the whole height, nothing but plain lines, different sizes)
// nullopt: no number is better than a wrong one.
std::optional<std::int32_t> LineShift(const ImageLines& before, const ImageLines& after);

inline std::optional<std::int32_t> UpwardShift(const PixelImage& before, const PixelImage& after) {
    return LineShift(RowsOf(before), RowsOf(after));
}
inline std::optional<std::int32_t> LeftwardShift(const PixelImage& before, const PixelImage& after) {
    return LineShift(ColumnsOf(before), ColumnsOf(after));
}

}  // namespace nl
