#include <gtest/gtest.h>

#include "common/wheel_test/window_form.h"

namespace nl {
namespace {

constexpr const char* kUnknown = "; use 0xHEX, a decimal number, title:TEXT or class:NAME";

TEST(ParseTargetForm, Forms) {
    using K = WindowForm::Kind;
    struct Row {
        const char* given;
        bool ok;
        K kind;
        std::uint32_t handle;
        const char* text;
    } rows[] = {
        {"0x3C2", true, K::Handle, 0x3C2, ""},
        {"0x3c2", true, K::Handle, 0x3C2, ""},
        {"0X000103C2", true, K::Handle, 0x103C2, ""},
        {"0xFFFFFFFF", true, K::Handle, 0xFFFFFFFFu, ""},
        {"0x100000000", false, K::Handle, 0, ""},
        {"0x", false, K::Handle, 0, ""},
        {"0x3G2", false, K::Handle, 0, ""},
        {"962", true, K::Handle, 962, ""},
        {"0", true, K::Handle, 0, ""},
        {"4294967295", true, K::Handle, 0xFFFFFFFFu, ""},
        {"4294967296", false, K::Handle, 0, ""},
        {"-2", true, K::Handle, 0xFFFFFFFEu, ""},
        {"-2147483648", true, K::Handle, 0x80000000u, ""},
        {"-2147483649", false, K::Handle, 0, ""},
        {"-", false, K::Handle, 0, ""},
        {" 962", false, K::Handle, 0, ""},
        {"+962", false, K::Handle, 0, ""},
        {"title:Untitled - Notepad", true, K::Title, 0, "Untitled - Notepad"},
        {"title: spaced ", true, K::Title, 0, " spaced "},
        {"Title:class:x", true, K::Title, 0, "class:x"},
        {"title:", true, K::Title, 0, ""},
        {"class:ListBox", true, K::Class, 0, "ListBox"},
        {"CLASS:#32770", true, K::Class, 0, "#32770"},
        {"titles:x", false, K::Handle, 0, ""},
        {"", false, K::Handle, 0, ""},
        {"Notepad", false, K::Handle, 0, ""},
    };
    for (const auto& r : rows) {
        std::string problem = "stale";
        const auto form = ParseWindowForm(r.given, problem);
        ASSERT_EQ(form.has_value(), r.ok) << r.given;
        if (!r.ok) {
            EXPECT_EQ(problem, std::string("unknown target form: ") + r.given + kUnknown);
            continue;
        }
        EXPECT_EQ(problem, "") << r.given;
        EXPECT_EQ(form->kind, r.kind) << r.given;
        EXPECT_EQ(form->handle, r.handle) << r.given;
        EXPECT_EQ(form->text, r.text) << r.given;
        EXPECT_EQ(form->given, r.given);
    }
}

// The methods no end-to-end target kind is read by (the others are in every report there).
TEST(ReadMethod, TextAndUnit) {
    const struct {
        ReadMethod method;
        const char* text;
        bool lines;
    } rows[] = {
        {ReadMethod::ListViewTop, "LVM_GETTOPINDEX rows", true},
        {ReadMethod::EditFirstLine, "EM_GETFIRSTVISIBLELINE lines", true},
        {ReadMethod::ScrollInfo, "GetScrollInfo units", false},
        {ReadMethod::Clock, "clock ms", false},
    };
    for (const auto& r : rows) {
        EXPECT_STREQ(MethodText(r.method), r.text);
        EXPECT_EQ(CountsLines(r.method), r.lines) << r.text;
    }
}

}  // namespace
}  // namespace nl
