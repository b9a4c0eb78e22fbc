#include <gtest/gtest.h>

#include <limits>

#include "common/error.h"
#include "main_window/window_texts.h"

namespace nl {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(RectText, Examples) {
    struct Row {
        WindowRect r;
        const char* text;
    } rows[] = {
        {{100, 50, 740, 530}, "(100, 50)-(740, 530) 640x480"},
        {{-8, -8, 808, 608}, "(-8, -8)-(808, 608) 816x616"},
        {{0, 0, 0, 0}, "(0, 0)-(0, 0) 0x0"},
        {{-1300, -20, -10, -5}, "(-1300, -20)-(-10, -5) 1290x15"},
        {{10, 10, 5, 0}, "(10, 10)-(5, 0) -5x-10"},
        {{kMin, 0, -1, kMax}, "(-2147483648, 0)-(-1, 2147483647) 2147483647x2147483647"},
    };
    for (const auto& r : rows) EXPECT_EQ(RectText(r.r), r.text);
}

TEST(RectText, WidthOrHeightOverflowRaises) {
    const WindowRect rows[] = {{kMin, 0, 0, 0}, {-1, 0, kMax, 0}, {0, kMin, 0, 1}, {0, -2, 0, kMax}};
    for (const auto& r : rows) {
        try {
            (void)RectText(r);
            ADD_FAILURE() << "no overflow for " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), 6);
            EXPECT_EQ(e.Description(), "Overflow");
        }
    }
}

TEST(PointInRect, InclusiveOnAllEdges) {
    const WindowRect r{10, 20, 110, 70};
    struct Row {
        std::int32_t x, y;
        bool inside;
    } rows[] = {
        {10, 20, true},  {110, 20, true}, {10, 70, true},  {110, 70, true}, {60, 45, true},
        {9, 45, false},  {111, 45, false}, {60, 19, false}, {60, 71, false}, {kMin, kMin, false},
    };
    for (const auto& row : rows) EXPECT_EQ(PointInRect(r, row.x, row.y), row.inside) << row.x << "," << row.y;
    // A failed query leaves the zero rectangle: only (0, 0) is inside.
    EXPECT_TRUE(PointInRect(WindowRect{}, 0, 0));
    EXPECT_FALSE(PointInRect(WindowRect{}, 1, 0));
    EXPECT_FALSE(PointInRect(WindowRect{}, 0, -1));
}

TEST(WheelInfoText, SevenLinesByteForByte) {
    WheelInfo w{};
    w.time = {9, 15, 2};
    w.notches = 1;
    w.keyState = 8;
    w.x = 300;
    w.y = 200;
    w.under = 655432;
    w.green = 655432;
    w.className = "NotchlogPictureBox";
    w.rectText = "(100, 50)-(740, 530) 640x480";
    w.wheelScrollLines = 3;
    EXPECT_EQ(BuildWheelInfoText(w),
              "09:15:02\r\nDelta = 1, Shift = 8\r\nX/Y = 300/200\r\nWindowFromPoint = 655432 (green: 655432)\r\n"
              "Class = NotchlogPictureBox\r\nRect = (100, 50)-(740, 530) 640x480\r\nnumWheelScrollLines = 3");
    WheelInfo none{};
    none.time = {0, 0, 0};
    none.notches = -273;
    none.x = -5;
    none.y = -32768;
    none.green = -2;
    none.rectText = "(0, 0)-(0, 0) 0x0";
    none.wheelScrollLines = -1;
    EXPECT_EQ(BuildWheelInfoText(none),
              "00:00:00\r\nDelta = -273, Shift = 0\r\nX/Y = -5/-32768\r\nWindowFromPoint = 0 (green: -2)\r\n"
              "Class = \r\nRect = (0, 0)-(0, 0) 0x0\r\nnumWheelScrollLines = -1");
}

TEST(HoverInfoText, SixLinesByteForByte) {
    HoverInfo h{};
    h.time = {23, 5, 9};
    h.x = 640;
    h.y = -12;
    h.handle = 131204;
    h.className = "Button";
    h.rectText = "(100, 50)-(740, 530) 640x480";
    h.title = "Copy";
    EXPECT_EQ(BuildHoverInfoText(h),
              "23:05:09\r\nMouse.X/Y = 640/-12\r\nhWnd = 131204\r\nClass = Button\r\n"
              "Rect = (100, 50)-(740, 530) 640x480\r\nText = Copy");
    h.title = "";
    EXPECT_EQ(BuildHoverInfoText(h).substr(BuildHoverInfoText(h).size() - 9), "\r\nText = ");
    h.title = "two\r\nlines";
    const std::string t = BuildHoverInfoText(h);
    EXPECT_EQ(t.substr(t.size() - 19), "\r\nText = two\r\nlines");
    h.handle = -2147483647 - 1;
    h.title = std::string(259, '\xE9');
    const std::string big = BuildHoverInfoText(h);
    EXPECT_NE(big.find("\r\nhWnd = -2147483648\r\n"), std::string::npos);
    EXPECT_EQ(big.substr(big.size() - 259), std::string(259, '\xE9'));
}

}  // namespace
}  // namespace nl
