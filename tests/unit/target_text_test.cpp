#include <gtest/gtest.h>

#include "common/panels/window_rect.h"
#include "common/wheel_test/target_text.h"

namespace nl {
namespace {

TEST(TargetText, NamesTheWindowItsTopLevelWindowAndTheProgram) {
    const struct {
        WindowFacts w;
        const char* text;
    } rows[] = {
        {{0x200A8, "Edit", "", false, "long.txt - Notepad", "Notepad", "notepad.exe", 272},
         "000200A8 Edit in \"long.txt - Notepad\" (notepad.exe, process 272)"},
        {{0x200A8, "Button", "OK", false, "Save As", "#32770", "notepad.exe", 272},
         "000200A8 Button \"OK\" in \"Save As\" (notepad.exe, process 272)"},
        {{0x1005E, "Notepad", "long.txt - Notepad", true, "", "", "notepad.exe", 272},
         "0001005E Notepad \"long.txt - Notepad\" (notepad.exe, process 272)"},
        {{0x1005E, "Notepad", "", true, "", "", "notepad.exe", 272}, "0001005E Notepad (notepad.exe, process 272)"},
        {{0x200A8, "Edit", "", false, "", "Notepad", "notepad.exe", 272},
         "000200A8 Edit in Notepad (notepad.exe, process 272)"},
        {{0x200A8, "Edit", "", false, "long.txt - Notepad", "Notepad", "", 272},
         "000200A8 Edit in \"long.txt - Notepad\" (process 272)"},
        {{0xFFFFFFFEu, "Static", "Say \"hi\"", false, "\"Quoted\" - App", "App", "app.exe", 4294967295u},
         "FFFFFFFE Static \"Say \"\"hi\"\"\" in \"\"\"Quoted\"\" - App\" (app.exe, process 4294967295)"},
        {{0x10, "Edit", "two\r\nlines\tand \x7F", true, "", "", "a.exe", 1},
         "00000010 Edit \"two  lines and  \" (a.exe, process 1)"},
    };
    for (const auto& r : rows) EXPECT_EQ(TargetText(r.w), r.text);
}

TEST(MeasuredText, TheWindowAndEachAxisReading) {
    using M = ReadMethod;
    const struct {
        MeasuredFacts m;
        const char* text;
    } rows[] = {
        {{0x200A8, "Edit", M::EditFirstLine, M::Image, ""},
         "Measured: 000200A8 Edit; down: EM_GETFIRSTVISIBLELINE (lines); sideways: from the screen (px)"},
        {{0x3C2, "ListBox", M::ListBoxTop, M::ScrollBarControl, ""},
         "Measured: 000003C2 ListBox; down: LB_GETTOPINDEX (items); sideways: SBM_GETPOS (units)"},
        {{0x3C2, "SysListView32", M::ListViewTop, M::ScrollInfo, ""},
         "Measured: 000003C2 SysListView32; down: LVM_GETTOPINDEX (rows); sideways: GetScrollInfo (units)"},
        {{0x3C2, "Edit", M::Image, M::Image, "the target does not answer"},
         "Measured: 000003C2 Edit; not known: the target does not answer"},
        {{0, "", M::Image, M::Image, "the target was hidden or minimised"},
         "Measured: not known: the target was hidden or minimised"},
    };
    for (const auto& r : rows) EXPECT_EQ(MeasuredText(r.m), r.text);
}

TEST(FinderLine, WarnsWhenTheWindowCanOnlyBeReadFromTheScreen) {
    using C = ScrollFacts::Child;
    constexpr std::uint32_t kVertSb = 0x1, kSizeGrip = 0x10;
    const struct {
        ScrollFacts w;
        bool warned;
    } rows[] = {
        {{"NotchlogWheelTarget", 0, {}}, true},
        {{"listbox", 0, {}}, false},
        {{"SysListView32", 0, {}}, false},
        {{"SysTreeView32", 0, {}}, false},
        {{"EDIT", 0, {}}, false},
        {{"RichEdit20W", 0, {}}, false},
        {{"RICHEDIT50W", 0, {}}, false},
        {{"ScrollBar", 0, {}}, false},
        {{"Rich", 0, {}}, true},
        {{"EditPlus", 0, {}}, true},
        {{"Canvas", kVerticalBarStyle, {}}, false},
        {{"Canvas", kHorizontalBarStyle, {}}, false},
        {{"Canvas", 0, {C{"Static", 0, true}, C{"scrollbar", kVertSb, true}}}, false},
        {{"Canvas", 0, {C{"ScrollBar", kVertSb, false}}}, true},
        {{"Canvas", 0, {C{"ScrollBar", kSizeGrip, true}}}, true},
    };
    for (const auto& r : rows)
        EXPECT_EQ(FinderLineText(r.w), r.warned ? kReadFromScreenWarning : "") << r.w.className;
    EXPECT_EQ(FinderLineText(std::nullopt), "Drag the finder onto the window you want to test.");
}

TEST(OutlineOf, AFrameInsideTheWindowCutToTheScreen) {
    const WindowRect screen{0, 0, 1280, 1024};
    const struct {
        WindowRect window;
        WindowRect outer, inner;
    } rows[] = {
        {{820, 40, 1220, 340}, {820, 40, 1220, 340}, {823, 43, 1217, 337}},
        {{-8, -8, 1288, 1032}, {0, 0, 1280, 1024}, {3, 3, 1277, 1021}},  // maximised
        {{10, 10, 16, 40}, {10, 10, 16, 40}, {}},                        // too narrow for a hole
        {{10, 10, 17, 40}, {10, 10, 17, 40}, {13, 13, 14, 37}},
        {{1280, 0, 1400, 50}, {}, {}},  // off the screen
        {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {0, 0, 1280, 1024}, {3, 3, 1277, 1021}},
    };
    for (const auto& r : rows) {
        const OutlineFrame f = OutlineOf(r.window, screen, 3);
        EXPECT_EQ((std::vector<int>{f.outer.left, f.outer.top, f.outer.right, f.outer.bottom, f.inner.left,
                                    f.inner.top, f.inner.right, f.inner.bottom}),
                  (std::vector<int>{r.outer.left, r.outer.top, r.outer.right, r.outer.bottom, r.inner.left,
                                    r.inner.top, r.inner.right, r.inner.bottom}))
            << r.window.left << "," << r.window.top;
    }
}

}  // namespace
}  // namespace nl
