#include <gtest/gtest.h>

#include "common/panels/layout.h"

namespace nl {
namespace {

TEST(Layout, TabOrderSkipsLabelsAndWraps) {
    struct Row {
        int from;
        bool backwards;
        ControlId to;
    } rows[] = {
        {0, false, kSampleList},           // the green area, then the sample list
        {1, false, kMessageLog},           // skips two labels
        {6, false, kCopyWheelInfoButton},  // skips the instructions
        {12, false, kWheelHitArea},         // wraps around
        {0, true, kCopyHoverInfoButton},   {4, true, kSampleList}, {11, true, kWheelScrollBar},
    };
    for (const auto& r : rows) EXPECT_EQ(kControls[NextTabStop(r.from, r.backwards)].id, r.to) << r.from;
}

}  // namespace
}  // namespace nl
