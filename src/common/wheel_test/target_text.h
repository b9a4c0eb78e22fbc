// What makes the window a wheel test works on recognisable to a person:
// the target line (which window of which program), the line saying what is
// measured and how, and the line under the finder. Pure: no windows.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/wheel_test/window_form.h"

namespace nl {

// A window as the system describes it; texts in the ANSI code page.
struct WindowFacts {
    std::uint32_t handle = 0;
    std::string className;
    std::string title;  // its own
    bool topLevel = true;
    // Its top-level window's (GA_ROOT), when it is not one itself.
    std::string topTitle, topClass;
    std::string program;  // the program's file name ("notepad.exe"); empty when it cannot be read
    std::uint32_t processId = 0;
};

// The window, the top-level window it is in and the program:
//   000200A8 Edit in "long.txt - Notepad" (notepad.exe, process 272)
//   000200A8 Button "OK" in "Save As" (notepad.exe, process 272)
//   0001005E Notepad "long.txt - Notepad" (notepad.exe, process 272)
//   000200A8 Edit in Notepad (process 272)
// A title shows only when there is one; a top-level window without a title
// is named by its class; `(process N)` alone when the program's name could
// not be read. Titles are quoted as QuotedTitle says.
std::string TargetText(const WindowFacts& window);

// A title in double quotes, on one line: a double quote in it is doubled
// (`Say "hi"` shows as `"Say ""hi"""`), a control character (a line break,
// a tab) shows as a space. Only a doubled quote stands for a quote, so the
// closing quote is the first one not doubled.
std::string QuotedTitle(const std::string& title);

// What a test of the chosen target would measure: the window at its test
// point, how each axis is read, or why that cannot be told now.
struct MeasuredFacts {
    std::uint32_t handle = 0;  // 0: the measured window is not known
    std::string className;
    ReadMethod down = ReadMethod::Image, sideways = ReadMethod::Image;
    std::string problem;  // why the readings are not known ("the target does not answer")
};

//   Measured: 000200A8 Edit; down: EM_GETFIRSTVISIBLELINE (lines); sideways: from the screen (px)
//   Measured: 000200A8 Edit; not known: the target does not answer
//   Measured: not known: the target was hidden or minimised
std::string MeasuredText(const MeasuredFacts& measured);

// The styles that tell whether a window can be read other than from the
// screen (Win32's values: WS_VSCROLL, WS_HSCROLL; SBS_SIZEBOX and
// SBS_SIZEGRIP make a scroll-bar control a size box).
inline constexpr std::uint32_t kVerticalBarStyle = 0x00200000u, kHorizontalBarStyle = 0x00100000u;
inline constexpr std::uint32_t kSizeBoxStyles = 0x0008u | 0x0010u;

// A window, its style and its direct children's.
struct ScrollFacts {
    struct Child {
        std::string className;
        std::uint32_t style = 0;
        bool visible = true;
    };
    std::string className;
    std::uint32_t style = 0;
    std::vector<Child> children;
};

// Whether a test will read the window from the screen: it is not a list
// box, list view, tree view, edit, rich edit or scroll bar, has no scroll
// bar of its own and no visible scroll-bar control (not a size box) among
// its children. Class names compare without regard to case.
bool ReadFromScreen(const ScrollFacts& window);

inline constexpr const char* kFinderInvitation = "Drag the finder onto the window you want to test.";
inline constexpr const char* kReadFromScreenWarning =
    "This window will be read from the screen. If it is not the part that scrolls, drop the finder on that part.";

// The line under the finder while it rests: the invitation without a
// target, the warning for one a test will read from the screen, else empty.
std::string FinderLineText(const std::optional<ScrollFacts>& target);

}  // namespace nl
