#include <gtest/gtest.h>

#include "common/wheel_test/image_shift.h"

namespace nl {
namespace {

constexpr std::uint32_t kPaper = 0xFFFFFF, kInk = 0x000000;
constexpr std::int32_t kLineHeight = 16, kGlyphRows = 11;

std::uint32_t Noise(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    return h ^ (h >> 13);
}

// A page of text lines as a list draws them: glyph rows of ink and paper
// up to a width that differs from line to line, then a gap of plain paper.
// With `repeated`, every line shows the same text.
std::uint32_t PagePixel(std::int32_t x, std::int32_t y, bool repeated) {
    const auto line = static_cast<std::uint32_t>(repeated ? 7 : y / kLineHeight);
    const std::int32_t row = y % kLineHeight;
    const auto textWidth = static_cast<std::int32_t>(60 + Noise(line, 0, 0) % 300);
    if (row >= kGlyphRows || x < 4 || x >= textWidth) return kPaper;
    return Noise(line, static_cast<std::uint32_t>(row), static_cast<std::uint32_t>(x / 2)) % 3 == 0 ? kInk : kPaper;
}

// A width x height capture of the page whose top-left corner shows page
// pixel (left, top).
PixelImage Capture(std::int32_t left, std::int32_t top, std::int32_t width = 400, std::int32_t height = 300,
                   bool repeated = false) {
    PixelImage image{width, height, {}};
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) image.pixels.push_back(PagePixel(left + x, top + y, repeated));
    return image;
}

TEST(UpwardShift, Rows) {
    const struct {
        const char* what;
        std::int32_t fromTop, toTop;
        std::optional<std::int32_t> shift;
        bool repeated = false;
    } rows[] = {
        {"no movement", 500, 500, 0},
        {"one pixel", 500, 501, 1},
        {"one line", 500, 516, 16},
        {"three lines", 500, 548, 48},
        {"back up three lines", 548, 500, -48},
        {"a third of the rows still overlap", 500, 700, 200},
        {"up by a third overlapping", 700, 500, -200},
        {"one row short of a third", 500, 701, std::nullopt},
        {"near the client's height", 500, 780, std::nullopt},
        {"near the height, up", 780, 500, std::nullopt},
        {"a whole page", 500, 800, std::nullopt},
        {"repeated lines, one line", 500, 516, std::nullopt, true},
        {"repeated lines, still", 500, 500, std::nullopt, true},
        {"repeated lines, half a line", 500, 508, std::nullopt, true},
    };
    for (const auto& r : rows) {
        const auto got = UpwardShift(Capture(0, r.fromTop, 400, 300, r.repeated), Capture(0, r.toTop, 400, 300, r.repeated));
        EXPECT_EQ(got, r.shift) << r.what;
    }
}

TEST(LeftwardShift, Columns) {
    const struct {
        std::int32_t fromLeft, toLeft;
        std::optional<std::int32_t> shift;
    } rows[] = {
        {0, 0, 0}, {0, 24, 24}, {24, 0, -24}, {40, 41, 1}, {0, 266, 266}, {0, 268, std::nullopt}, {300, 0, std::nullopt},
    };
    for (const auto& r : rows) {
        // Columns of text far from the left edge, on lines wide enough to fill the capture.
        const auto got = LeftwardShift(Capture(r.fromLeft, 160, 400, 300), Capture(r.toLeft, 160, 400, 300));
        EXPECT_EQ(got, r.shift) << r.fromLeft << " to " << r.toLeft;
    }
}

TEST(UpwardShift, CapturesThatTellNothing) {
    const PixelImage blank{400, 300, std::vector<std::uint32_t>(400 * 300, kPaper)};
    const struct {
        const char* what;
        PixelImage before, after;
    } rows[] = {
        {"both blank", blank, blank},
        {"the text scrolled out of sight", Capture(0, 500), blank},
        {"different sizes", Capture(0, 500, 400, 300), Capture(0, 516, 400, 299)},
        {"different widths", Capture(0, 500, 400, 300), Capture(0, 500, 399, 300)},
        {"empty", PixelImage{}, PixelImage{}},
    };
    for (const auto& r : rows) EXPECT_EQ(UpwardShift(r.before, r.after), std::nullopt) << r.what;
}

// What else changes on screen while the content scrolls: a caret that
// blinked between the two captures does not hide the shift; a window that
// repainted everything else does not make one up.
TEST(UpwardShift, OtherChanges) {
    auto withBlock = [](PixelImage image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::uint32_t c) {
        for (std::int32_t row = y; row < y + h; ++row)
            for (std::int32_t col = x; col < x + w; ++col) image.pixels[static_cast<std::size_t>(row * image.width + col)] = c;
        return image;
    };
    const PixelImage caret = withBlock(Capture(0, 548), 200, 100, 2, 16, 0x0000FF);
    EXPECT_EQ(UpwardShift(Capture(0, 500), caret), 48);
    const PixelImage repainted = withBlock(Capture(0, 548), 0, 0, 400, 200, 0x00FF00);
    EXPECT_EQ(UpwardShift(Capture(0, 500), repainted), std::nullopt);
}

TEST(SameLines, Captures) {
    EXPECT_TRUE(SameLines(RowsOf(Capture(0, 500)), RowsOf(Capture(0, 500))));
    EXPECT_FALSE(SameLines(RowsOf(Capture(0, 500)), RowsOf(Capture(0, 501))));
    EXPECT_FALSE(SameLines(RowsOf(Capture(0, 500, 400, 300)), RowsOf(Capture(0, 500, 300, 300))));
}

}  // namespace
}  // namespace nl
