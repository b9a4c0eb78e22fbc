#include <gtest/gtest.h>

#include <functional>

#include "common/wheel_test/image_shift.h"
#include "synthetic_page.h"

namespace nl {
namespace {

using P = PictureProblem;
using test::Noise;
using test::Page;
using test::kInk;
using test::kPaper;

// Text lines 16 px apart: glyph rows of ink and paper up to a width that
// differs from line to line, then plain paper.
std::uint32_t Text(std::int32_t x, std::int32_t y) { return test::InkText(x, y, 60, 300); }
// Cells of colour 8 px wide and 16 px tall, each row of cells unlike the next.
std::uint32_t Blocks(std::int32_t x, std::int32_t y) {
    return Noise(static_cast<std::uint32_t>(y / 16), static_cast<std::uint32_t>(x / 8), 1) & 0xFFFFFF;
}
// Each line the same words over and over sideways (every 56 px), each at
// its own offset, so that lines differ.
constexpr std::int32_t kPeriod = 56;
std::uint32_t Repeated(std::int32_t x, std::int32_t y) { return Text((x + y / 16 * 9) % kPeriod + 4, y % 16 + 16 * 7); }
// Paper with one short text line in it.
std::uint32_t OneLine(std::int32_t x, std::int32_t y) { return y >= 100 && y < 116 && x < 30 ? Text(x, y) : kPaper; }

// A width x height capture of the page whose top-left corner shows (left, top).
PixelImage Shot(const Page& page, std::int32_t left, std::int32_t top, std::int32_t width = 400, std::int32_t height = 300) {
    PixelImage image{width, height, {}};
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) image.pixels.push_back(page(left + x, top + y));
    return image;
}

// `image` with a w x h block of colour c at (x, y): a caret, a window painting.
PixelImage With(PixelImage image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::uint32_t c) {
    for (std::int32_t row = y; row < y + h; ++row)
        for (std::int32_t col = x; col < x + w; ++col) image.pixels[static_cast<std::size_t>(row * image.width + col)] = c;
    return image;
}

// The top `rows` rows of `now` over the rest of `then`: a capture taken mid-paint.
PixelImage HalfPainted(const PixelImage& then, const PixelImage& now, std::int32_t rows) {
    PixelImage image = then;
    std::copy(now.pixels.begin(), now.pixels.begin() + rows * now.width, image.pixels.begin());
    return image;
}

struct Expected {
    std::optional<std::int32_t> shift;
    P problem = P::None;
    std::int32_t period = 0;
};
Expected Unmeasured(P problem, std::int32_t period = 0) { return {std::nullopt, problem, period}; }

void ExpectRead(const PictureShift& got, const Expected& want, const std::string& what) {
    EXPECT_EQ(got.shift, want.shift) << what;
    EXPECT_EQ(got.problem, want.problem) << what;
    EXPECT_EQ(got.period, want.period) << what;
}

TEST(UpwardShift, Rows) {
    const PixelImage blank{400, 300, std::vector<std::uint32_t>(400 * 300, kPaper)};
    const struct {
        const char* what;
        PixelImage before, after;
        Expected read;
    } rows[] = {
        {"still text", Shot(Text, 0, 500), Shot(Text, 0, 500), {0}},
        {"one pixel", Shot(Text, 0, 500), Shot(Text, 0, 501), {1}},
        {"a notch down", Shot(Text, 0, 500), Shot(Text, 0, 548), {48}},
        {"a notch up", Shot(Text, 0, 548), Shot(Text, 0, 500), {-48}},
        {"a third still overlaps", Shot(Text, 0, 500), Shot(Text, 0, 700), {200}},
        {"a third still overlaps, up", Shot(Text, 0, 700), Shot(Text, 0, 500), {-200}},
        {"one row beyond reach", Shot(Text, 0, 500), Shot(Text, 0, 701), Unmeasured(P::NothingMatches)},
        {"one row beyond reach, up", Shot(Text, 0, 701), Shot(Text, 0, 500), Unmeasured(P::NothingMatches)},
        {"twenty notches at once", Shot(Text, 0, 500), Shot(Text, 0, 1460), Unmeasured(P::NothingMatches)},
        {"a caret blinked", Shot(Text, 0, 500), With(Shot(Text, 0, 548), 200, 100, 2, 16, 0x0000FF), {48}},
        {"1% of what overlaps changed", Shot(Text, 0, 500), With(Shot(Text, 0, 548), 300, 100, 16, 63, 0x0000FF), {48}},
        {"a pixel more", Shot(Text, 0, 500), With(With(Shot(Text, 0, 548), 300, 100, 16, 63, 0x0000FF), 0, 0, 1, 1, 0x0000FF),
         Unmeasured(P::NothingMatches)},
        {"repainted in green", Shot(Text, 0, 500), With(Shot(Text, 0, 548), 0, 0, 400, 150, 0x00FF00),
         Unmeasured(P::NothingMatches)},
        {"blocks, still", Shot(Blocks, 0, 320), Shot(Blocks, 0, 320), {0}},
        {"blocks, one pixel", Shot(Blocks, 0, 320), Shot(Blocks, 0, 321), {1}},
        {"blocks, a notch down", Shot(Blocks, 0, 320), Shot(Blocks, 0, 368), {48}},
        {"blocks, two cells up", Shot(Blocks, 0, 320), Shot(Blocks, 0, 288), {-32}},
        {"one line on paper, still", Shot(OneLine, 0, 0), Shot(OneLine, 0, 0), Unmeasured(P::TooLittle)},
        {"one line on paper, moved", Shot(OneLine, 0, 0), Shot(OneLine, 0, 16), Unmeasured(P::TooLittle)},
        {"blank", blank, blank, Unmeasured(P::TooLittle)},
        {"text scrolled out of sight", Shot(Text, 0, 500), blank, Unmeasured(P::NothingMatches)},
        {"another height", Shot(Text, 0, 500), Shot(Text, 0, 516, 400, 299), Unmeasured(P::NothingMatches)},
        {"another width", Shot(Text, 0, 500), Shot(Text, 0, 500, 399, 300), Unmeasured(P::NothingMatches)},
        {"empty", PixelImage{}, PixelImage{}, Unmeasured(P::NothingMatches)},
    };
    for (const auto& r : rows) ExpectRead(MatchShift(RowsOf(r.before), RowsOf(r.after)), r.read, r.what);
}

TEST(LeftwardShift, Columns) {
    const PixelImage thumb = Shot(Blocks, 0, 0, 380, 16), moved = Shot(Blocks, 8, 0, 380, 16);
    const struct {
        const char* what;
        PixelImage before, after;
        Expected read;
        PixelImage thumbBefore = {}, thumbAfter = {};
    } rows[] = {
        {"blocks, still", Shot(Blocks, 160, 0), Shot(Blocks, 160, 0), {0}},
        {"blocks, a notch right", Shot(Blocks, 160, 0), Shot(Blocks, 184, 0), {24}},
        {"blocks, a notch left", Shot(Blocks, 160, 0), Shot(Blocks, 136, 0), {-24}},
        {"blocks, a notch left, same thumb", Shot(Blocks, 160, 0), Shot(Blocks, 136, 0), {-24}, thumb, thumb},
        {"blocks, one pixel", Shot(Blocks, 160, 0), Shot(Blocks, 161, 0), {1}},
        {"blocks, a third overlaps", Shot(Blocks, 160, 0), Shot(Blocks, 426, 0), {266}},
        {"blocks, beyond reach", Shot(Blocks, 160, 0), Shot(Blocks, 427, 0), Unmeasured(P::NothingMatches)},
        {"text, a notch right", Shot(Text, 0, 160), Shot(Text, 24, 160), {24}},
        {"repeated, still", Shot(Repeated, 160, 0), Shot(Repeated, 160, 0), Unmeasured(P::Repeats, kPeriod)},
        {"repeated, still, same thumb", Shot(Repeated, 160, 0), Shot(Repeated, 160, 0), {0}, thumb, thumb},
        {"repeated, by its period", Shot(Repeated, 160, 0), Shot(Repeated, 160 + kPeriod, 0),
         Unmeasured(P::Repeats, kPeriod), thumb, moved},
        {"repeated, a notch", Shot(Repeated, 160, 0), Shot(Repeated, 184, 0), Unmeasured(P::Repeats, kPeriod), thumb, moved},
    };
    for (const auto& r : rows)
        ExpectRead(MatchShift(ColumnsOf(r.before, r.thumbBefore), ColumnsOf(r.after, r.thumbAfter)), r.read, r.what);
}

TEST(PictureFollower, Captures) {
    auto at = [](std::int32_t top) { return Shot(Text, 0, top); };
    const struct {
        const char* what;
        std::vector<PixelImage> captures;  // the base first
        Expected position;
    } rows[] = {
        {"still", {at(500), at(500), at(500)}, {0}},
        {"notch by notch", {at(500), at(548), at(596), at(644)}, {144}},
        {"twenty notches as painted", {at(500), at(500), at(644), at(836), at(1028), at(1220), at(1412), at(1460)}, {960}},
        {"a half-painted capture skipped", {at(500), at(548), HalfPainted(at(548), at(596), 150), at(596)}, {96}},
        {"then back up", {at(500), at(644), at(500)}, {0}},
        {"half painted at the end", {at(500), at(548), HalfPainted(at(548), at(596), 150)}, Unmeasured(P::NothingMatches)},
        {"twenty notches in one paint", {at(500), at(500), at(1460)}, Unmeasured(P::NothingMatches)},
    };
    for (const auto& r : rows) {
        PictureFollower follower(RowsOf(r.captures[0]));
        for (std::size_t i = 1; i < r.captures.size(); ++i) follower.Follow(RowsOf(r.captures[i]));
        ExpectRead(follower.Position(), r.position, r.what);
    }
}

TEST(PictureProblemText, Words) {
    EXPECT_EQ(PictureProblemText(P::Repeats, 56), "the picture repeats every 56 px");
    EXPECT_EQ(PictureProblemText(P::NotAtRest), "the picture did not come to rest within a second");
}

}  // namespace
}  // namespace nl
