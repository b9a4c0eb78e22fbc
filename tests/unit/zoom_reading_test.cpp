#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "common/wheel_test/zoom_reading.h"
#include "synthetic_page.h"

namespace nl {
namespace {

using C = ZoomChange;
using test::Noise;
using test::Page;
using test::kInk;
using test::kPaper;

// Text lines 16 px apart, glyph rows of ink and paper up to a width that
// differs from line to line.
std::uint32_t Text(std::int32_t x, std::int32_t y) { return test::InkText(x, y, 200, 400); }
// The text in a table: a grey rule under every line and every 40 px along it.
std::uint32_t Table(std::int32_t x, std::int32_t y) { return x % 40 == 0 || y % 16 == 15 ? 0xC0C0C0 : Text(x, y); }
std::uint32_t Static(std::int32_t x, std::int32_t y) {
    return Noise(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 2) & 0xFFFFFF;
}
std::uint32_t Blank(std::int32_t, std::int32_t) { return kPaper; }
// Ruled paper: a line every 20 px.
std::uint32_t Ruled(std::int32_t, std::int32_t y) { return y % 20 ? kPaper : kInk; }

// A 400 x 300 capture of `page` at `scale` (`tall` more along y), the
// window's top-left corner showing content point (left, top) at 100%, and
// the zoom keeping the window's point (fx, fy) in place.
PixelImage Shot(const Page& page, std::int32_t left, std::int32_t top, double scale = 1, double fx = 0, double fy = 0,
                double tall = 1, std::int32_t width = 400) {
    PixelImage image{width, 300, {}};
    for (std::int32_t y = 0; y < image.height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            image.pixels.push_back(page(left + static_cast<std::int32_t>(std::floor(fx + (x - fx) / scale)),
                                        top + static_cast<std::int32_t>(std::floor(fy + (y - fy) / (scale * tall)))));
    return image;
}

PixelImage With(PixelImage image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::uint32_t c) {
    for (std::int32_t row = y; row < y + h; ++row)
        for (std::int32_t col = x; col < x + w; ++col) image.pixels[static_cast<std::size_t>(row * image.width + col)] = c;
    return image;
}

TEST(ReadZoom, Pictures) {
    const PixelImage text = Shot(Text, 0, 800);
    const char* const none = "the picture has no structure to tell a scale by";
    const struct {
        const char* what;
        PixelImage before, after;
        C change;
        std::optional<std::int32_t> percent;
        std::string reason = {};
    } rows[] = {
        {"text, 125% from the top-left", text, Shot(Text, 0, 800, 1.25), C::Zoomed, 125},
        {"text, 125% from the centre", text, Shot(Text, 0, 800, 1.25, 200, 150), C::Zoomed, 125},
        {"text, 150% from the centre", text, Shot(Text, 0, 800, 1.5, 200, 150), C::Zoomed, 150},
        {"text, 80% from the top-left", text, Shot(Text, 0, 800, 0.8), C::Zoomed, 80},
        {"text, 80% from the pointer", text, Shot(Text, 0, 800, 0.8, 90, 260), C::Zoomed, 80},
        {"text, 200% from the centre", text, Shot(Text, 0, 800, 2, 200, 150), C::Zoomed, 200},
        {"text, 400%", text, Shot(Text, 0, 800, 4), C::Zoomed, 400},
        {"text, 25%", Shot(Text, 0, 800, 4), text, C::Zoomed, 25},
        {"text, back from 125%", Shot(Text, 0, 800, 1.25, 200, 150), text, C::Zoomed, 80},
        {"table, 125%", Shot(Table, 0, 320), Shot(Table, 0, 320, 1.25, 200, 150), C::Zoomed, 125},
        {"text, 104%: none", text, Shot(Text, 0, 800, 1.04), C::Moved, 100},
        {"text, a notch down", text, Shot(Text, 0, 848), C::Moved, 100},
        {"text, sideways", text, Shot(Text, 24, 800), C::Moved, 100},
        {"text, a page and more down", text, Shot(Text, 0, 1200), C::Moved, 100},
        {"text, unchanged", text, text, C::Unchanged, 100},
        {"text, a caret blinked", text, With(text, 200, 100, 2, 16, 0x0000FF), C::Unchanged, 100},
        {"table, only taller", Shot(Table, 0, 320), Shot(Table, 0, 320, 1, 0, 0, 1.25), C::Unmeasured, std::nullopt,
         "the rows and the columns tell different scales (125% and 100%)"},
        {"text, then ruled paper", text, Shot(Ruled, 0, 0), C::Unmeasured, std::nullopt,
         "the picture changed in more than its size"},
        {"blank", Shot(Blank, 0, 0), Shot(Blank, 0, 0), C::Unmeasured, std::nullopt, none},
        {"noise", Shot(Static, 0, 0), Shot(Static, 0, 0, 1.25), C::Unmeasured, std::nullopt, none},
        {"text, then blank", text, Shot(Blank, 0, 0), C::Unmeasured, std::nullopt,
         "the picture lost the structure to tell a scale by"},
        {"text, then noise", text, Shot(Static, 0, 0), C::Unmeasured, std::nullopt,
         "the picture lost the structure to tell a scale by"},
        {"another width", text, Shot(Text, 0, 800, 1.25, 0, 0, 1, 399), C::Unmeasured, std::nullopt,
         "the two pictures differ in size"},
    };
    for (const auto& r : rows) {
        const ZoomRead read = ReadZoom(r.before, r.after);
        EXPECT_EQ(read.change, r.change) << r.what;
        EXPECT_EQ(read.percent, r.percent) << r.what;
        EXPECT_EQ(read.reason, r.reason) << r.what;
    }
}

TEST(ZoomRatioPercent, Ratios) {
    EXPECT_EQ(ZoomRatioPercent(0, 0, 0, 0), 100);
    EXPECT_EQ(ZoomRatioPercent(110, 100, 0, 0), 110);
    EXPECT_EQ(ZoomRatioPercent(0, 0, 5, 4), 80);
    EXPECT_EQ(ZoomRatioPercent(3, 2, 6, 5), 125);
}

}  // namespace
}  // namespace nl
