#include <gtest/gtest.h>

#include "common/layout.h"

namespace nl {
namespace {

TEST(Layout, TwipsToPixelsRoundsHalvesUp) {
    const int rows[][3] = {{15, 96, 1}, {4890, 96, 326}, {5745, 96, 383}, {7, 96, 0}, {8, 96, 1},
                           {10935, 144, 1094}, {6150, 144, 615}, {5, 144, 1}, {-15, 96, -1}};
    for (const auto& r : rows) EXPECT_EQ(TwipsToPixels(r[0], r[1]), r[2]) << r[0] << " at " << r[1];
}

TEST(Layout, NoTwoControlsOverlap) {
    for (int i = 0; i < kControlCount; ++i)
        for (int j = i + 1; j < kControlCount; ++j) {
            const auto& a = kControls[i];
            const auto& b = kControls[j];
            EXPECT_TRUE(a.left + a.width <= b.left || b.left + b.width <= a.left || a.top + a.height <= b.top ||
                        b.top + b.height <= a.top)
                << a.id << " / " << b.id;
        }
}

TEST(Layout, TabOrderSkipsLabelsAndWraps) {
    struct Row {
        int from;
        bool backwards;
        ControlId to;
    } rows[] = {
        {0, false, kSampleList},           // the green area, then the sample list
        {1, false, kMessageLog},           // skips two labels
        {6, false, kCopyWheelInfoButton},  // skips the instructions
        {12, false, kWheelTarget},         // wraps around
        {0, true, kCopyHoverInfoButton},   {4, true, kSampleList}, {11, true, kWheelScrollBar},
    };
    for (const auto& r : rows) EXPECT_EQ(kControls[NextTabStop(r.from, r.backwards)].id, r.to) << r.from;
}

}  // namespace
}  // namespace nl
