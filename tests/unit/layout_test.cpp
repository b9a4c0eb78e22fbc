#include <gtest/gtest.h>

#include <cstring>

#include "main_window/layout.h"

namespace nl {
namespace {

struct PixelRow {
    const char* name;
    int left, top, width, height;
};

// The pixel layout at 96 dpi.
const PixelRow kPixels96[] = {
    {"Command4", 662, 180, 53, 21}, {"picHover", 326, 72, 389, 105}, {"VScroll1", 12, 20, 21, 383},
    {"Command3", 268, 180, 53, 21}, {"Picture1", 44, 72, 275, 105},  {"Command2", 620, 208, 77, 21},
    {"Command1", 620, 234, 77, 21}, {"lstMessage", 44, 210, 567, 186}, {"List1", 620, 340, 95, 56},
    {"lblWindow", 328, 38, 257, 29}, {"Label1", 44, 22, 275, 45},   {"Label3", 622, 322, 93, 17},
    {"Label2", 44, 194, 179, 15},
};

TEST(Layout, CreationOrderAndPixelsAt96Dpi) {
    ASSERT_EQ(sizeof kPixels96 / sizeof kPixels96[0], static_cast<std::size_t>(kControlCount));
    for (int i = 0; i < kControlCount; ++i) {
        const ControlSpec& c = kControls[i];
        const PixelRow& p = kPixels96[i];
        EXPECT_STREQ(c.name, p.name);
        EXPECT_EQ(TwipsToPixels(c.left, 96), p.left) << p.name;
        EXPECT_EQ(TwipsToPixels(c.top, 96), p.top) << p.name;
        EXPECT_EQ(TwipsToPixels(c.width, 96), p.width) << p.name;
        EXPECT_EQ(TwipsToPixels(c.height, 96), p.height) << p.name;
    }
    EXPECT_EQ(TwipsToPixels(kClientWidthTwips, 96), 729);
    EXPECT_EQ(TwipsToPixels(kClientHeightTwips, 96), 410);
}

TEST(Layout, ScalesWithTheSystemDpi) {
    for (const auto& c : kControls) {
        EXPECT_NEAR(TwipsToPixels(c.left, 144), 1.5 * TwipsToPixels(c.left, 96), 0.5 + 1e-9) << c.name;
        EXPECT_NEAR(TwipsToPixels(c.width, 144), c.width / 10.0, 0.5 + 1e-9) << c.name;
        EXPECT_EQ(TwipsToPixels(c.height, 192), 2 * TwipsToPixels(c.height, 96)) << c.name;
    }
}

TEST(Layout, NoTwoControlsOverlap) {
    for (int i = 0; i < kControlCount; ++i)
        for (int j = i + 1; j < kControlCount; ++j) {
            const auto& a = kControls[i];
            const auto& b = kControls[j];
            const bool apart = a.left + a.width <= b.left || b.left + b.width <= a.left ||
                               a.top + a.height <= b.top || b.top + b.height <= a.top;
            EXPECT_TRUE(apart) << a.name << " / " << b.name;
        }
}

TEST(Layout, TabOrderSkipsLabelsAndWraps) {
    auto nameAt = [](int i) { return std::string(kControls[i].name); };
    EXPECT_EQ(nameAt(NextTabStop(0, false)), "List1");       // Picture1 -> List1
    EXPECT_EQ(nameAt(NextTabStop(1, false)), "lstMessage");  // skips Label3 (3) and Label2 (2)
    EXPECT_EQ(nameAt(NextTabStop(6, false)), "Command3");    // skips Label1 (7)
    EXPECT_EQ(nameAt(NextTabStop(12, false)), "Picture1");   // wraps around
    EXPECT_EQ(nameAt(NextTabStop(0, true)), "Command4");
    EXPECT_EQ(nameAt(NextTabStop(4, true)), "List1");
    EXPECT_EQ(nameAt(NextTabStop(11, true)), "VScroll1");    // skips lblWindow (10)
}

}  // namespace
}  // namespace nl
