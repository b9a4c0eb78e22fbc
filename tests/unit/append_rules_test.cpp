#include <gtest/gtest.h>

#include "common/message_log/append_rules.h"

namespace nl {
namespace {

TEST(AppendRules, WhatGoesBeforeTheFirstLine) {
    const std::optional<std::string> refused, nothing = "", lineBreak = "\r\n", header = "t,delta\r\n";
    const struct { std::uint64_t size; const char* head; char last; const char* header; std::optional<std::string> want; } rows[] = {
        {0, "", '\0', "", nothing}, {0, "", '\0', "t,delta", header},  // a new or empty file
        {12, "09:0", '\n', "", nothing}, {9, "09:0", 'x', "", lineBreak}, {9, "09:0", '\r', "", lineBreak},
        {40, "t,delta\r\n", '\n', "t,delta", nothing}, {40, "t,delta\n1", '7', "t,delta", lineBreak},
        {7, "t,delta", 'a', "t,delta", lineBreak},  // the header alone, unterminated
        {40, "t,delta,x", '\n', "t,delta", refused}, {8, "t,delta\r", '\r', "t,delta", refused},
        {40, "t,delt\r\n", '\n', "t,delta", refused}, {4, "t,de", 'e', "t,delta", refused},
    };
    for (const auto& r : rows)
        EXPECT_EQ(TextBeforeFirstLine(FileEnds{r.size, r.head, r.last}, r.header), r.want) << r.head << " / " << r.header;
}

}  // namespace
}  // namespace nl
