#include <gtest/gtest.h>

#include "controls/picture_text.h"

namespace nl {
namespace {

TEST(PictureText, PrintSplitsAtCrLfOnly) {
    PictureText t;
    t.Print("a\r\nb\r\n\r\nc");
    EXPECT_EQ(t.Lines(), (std::vector<std::string>{"a", "b", "", "c"}));
    t.Print("lone\rcr and\nlf");
    EXPECT_EQ(t.Lines().back(), "lone\rcr and\nlf");
    t.Clear();
    EXPECT_TRUE(t.Lines().empty());
    t.Print("");
    EXPECT_EQ(t.Lines(), (std::vector<std::string>{""}));
}

TEST(PictureText, TrailingBreakStartsAnEmptyLine) {
    EXPECT_EQ(SplitCrLf("x\r\n"), (std::vector<std::string>{"x", ""}));
}

}  // namespace
}  // namespace nl
