#include <gtest/gtest.h>

#include <limits>

#include "common/base/error.h"
#include "common/panels/panel_texts.h"

namespace nl {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(RectText, ExamplesAndOverflow) {
    const struct { WindowRect r; const char* text; } rows[] = {
        {{100, 50, 740, 530}, "(100, 50)-(740, 530) 640x480"},
        {{-8, -8, 808, 608}, "(-8, -8)-(808, 608) 816x616"},
        {{0, 0, 0, 0}, "(0, 0)-(0, 0) 0x0"},
        {{10, 10, 5, 0}, "(10, 10)-(5, 0) -5x-10"},
        {{kMin, 0, -1, kMax}, "(-2147483648, 0)-(-1, 2147483647) 2147483647x2147483647"},
    };
    for (const auto& r : rows) EXPECT_EQ(RectText(r.r), r.text);
    for (const WindowRect& r : {WindowRect{kMin, 0, 0, 0}, WindowRect{-1, 0, kMax, 0}, WindowRect{0, -2, 0, kMax}}) {
        try {
            (void)RectText(r);
            ADD_FAILURE() << "no overflow for " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), 6);
        }
    }
}

TEST(PanelTexts, WheelInfoSevenLines) {
    WheelInfo w{{9, 15, 2}, 1, 8, 300, 200, 655432, 655432, "NotchlogPictureBox", "(100, 50)-(740, 530) 640x480", 3};
    EXPECT_EQ(BuildWheelInfoText(w),
              "09:15:02\r\nDelta = 1, Shift = 8\r\nX/Y = 300/200\r\nWindowFromPoint = 655432 (green: 655432)\r\n"
              "Class = NotchlogPictureBox\r\nRect = (100, 50)-(740, 530) 640x480\r\nnumWheelScrollLines = 3");
    WheelInfo none{{0, 0, 0}, -273, 0, -5, -32768, 0, -2, "", "(0, 0)-(0, 0) 0x0", -1};
    EXPECT_EQ(BuildWheelInfoText(none),
              "00:00:00\r\nDelta = -273, Shift = 0\r\nX/Y = -5/-32768\r\nWindowFromPoint = 0 (green: -2)\r\n"
              "Class = \r\nRect = (0, 0)-(0, 0) 0x0\r\nnumWheelScrollLines = -1");
}

// What the handler leaves for the frame: the panel shows the last message's
// text only when that message got as far as showing it; Copy takes the last
// complete description either way.
TEST(PanelTexts, TheGreenAreaShowsAtTheFrameWhatItWouldHaveShownAfterEachMessage) {
    WheelInfo a{{1, 2, 3}, 1, 0, 1, 1, 7, 7, "A", "r", 3}, b = a;
    b.className = "B";
    const struct {
        const char* steps;  // per message: d = described, s = shown, e = colour changed (text erased)
        const char* shown;  // the class the panel shows after the frame; "-": unchanged; "": none
        const char* copied;
    } cases[] = {
        {"", "-", ""}, {"eds", "A", "A"}, {"eds eds", "B", "B"}, {"eds ed", "-", "B"},
        {"eds e", "-", "A"}, {"e", "-", ""},
    };
    for (const auto& c : cases) {
        WheelPanelText panel;
        int message = 0;
        for (const char* p = c.steps; *p; ++p) {
            if (*p == ' ') ++message;
            if (*p == 'd') panel.Describe(message == 0 ? a : b);
            if (*p == 's') panel.Show();
            if (*p == 'e') panel.Erase();
        }
        std::string text;
        const bool set = panel.TakeShown(text);
        EXPECT_EQ(set ? text.substr(text.find("Class = ") + 8, 1) : "-", c.shown) << c.steps;
        EXPECT_FALSE(panel.TakeShown(text)) << c.steps;
        const std::string copy = panel.CopyText();
        EXPECT_EQ(copy.empty() ? "" : copy.substr(copy.find("Class = ") + 8, 1), c.copied) << c.steps;
    }
}

TEST(PanelTexts, HoverInfoSixLines) {
    HoverInfo h{{23, 5, 9}, 640, -12, 131204, "Button", "(100, 50)-(740, 530) 640x480", "Copy"};
    EXPECT_EQ(BuildHoverInfoText(h),
              "23:05:09\r\nMouse.X/Y = 640/-12\r\nhWnd = 131204\r\nClass = Button\r\n"
              "Rect = (100, 50)-(740, 530) 640x480\r\nText = Copy");
    h.handle = kMin;
    h.title = "";
    const std::string t = BuildHoverInfoText(h);
    EXPECT_NE(t.find("\r\nhWnd = -2147483648\r\n"), std::string::npos);
    EXPECT_EQ(t.substr(t.size() - 9), "\r\nText = ");  // never ends with a line break of its own
}

TEST(PanelTexts, SplitIntoPanelLines) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitCrLf(""), Lines{""});
    EXPECT_EQ(SplitCrLf("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitCrLf("a\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(SplitCrLf("lone\rCR\nLF"), Lines{"lone\rCR\nLF"});
}

}  // namespace
}  // namespace nl
