#include <gtest/gtest.h>

#include "common/append_rules.h"

namespace nl {
namespace {

TEST(AppendRules, WhatGoesBeforeTheFirstLine) {
    const std::optional<std::string> none, nothing = "", lineBreak = "\r\n", headerLine = "t,delta\r\n";
    const struct { std::uint64_t size; const char* head; char last; const char* header; std::optional<std::string> want; } rows[] = {
        {0, "", '\0', "", nothing},              // a new or empty file
        {0, "", '\0', "t,delta", headerLine},
        {12, "09:0", '\n', "", nothing},         // ends with a whole line
        {9, "09:0", 'x', "", lineBreak},         // its last line has no line break
        {9, "09:0", '\r', "", lineBreak},
        {40, "t,delta\r\n", '\n', "t,delta", nothing},
        {40, "t,delta\n1", '7', "t,delta", lineBreak},
        {7, "t,delta", 'a', "t,delta", lineBreak},  // only the header, unterminated
        {40, "t,delta,x", '\n', "t,delta", none},  // a longer first line
        {8, "t,delta\r", '\r', "t,delta", none},
        {40, "t,delt\r\n", '\n', "t,delta", none},
        {4, "t,de", 'e', "t,delta", none},
        {40, "\r\nt,delta", '\n', "t,delta", none},
    };
    for (const auto& r : rows)
        EXPECT_EQ(TextBeforeFirstLine(FileEnds{r.size, r.head, r.last}, r.header), r.want) << r.head << " / " << r.header;
}

TEST(AppendRules, CutBackToTheLastWholeLine) {
    const struct { const char* written; std::size_t keep; } rows[] = {
        {"", 0}, {"09:21:03  hWnd=29", 0}, {"\r\n", 2}, {"a\r\nb\r\n", 6}, {"a\r\nb\r\n09:21", 6}, {"a\r\nb\r", 3},
    };
    for (const auto& r : rows) EXPECT_EQ(WholeLinesLength(r.written), r.keep) << r.written;
}

}  // namespace
}  // namespace nl
