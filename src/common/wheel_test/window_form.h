// How a wheel test or a replay names its target on the command line, and
// how a position reading is named in the report. Pure: no windows.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace nl {

// `0x3C2` (a handle in hex, as the message log prints it), `962` (decimal,
// as the hover panel prints it), `title:TEXT` (the first visible top-level
// window in Z order whose title is exactly TEXT) or `class:NAME` (the first
// visible top-level window of that class, case-insensitive, else the first
// visible descendant of that class, depth first).
struct WindowForm {
    enum class Kind { Handle, Title, Class } kind = Kind::Handle;
    std::uint32_t handle = 0;
    std::string text;   // title or class, in the ANSI code page
    std::string given;  // the form as given, for messages
};

// nullopt with `problem` set to the report's reason when the form is
// unknown: "unknown target form: TEXT; use 0xHEX, a decimal number,
// title:TEXT or class:NAME".
std::optional<WindowForm> ParseWindowForm(const std::string& text, std::string& problem);

enum class ReadMethod {
    ListBoxTop, ListViewTop, EditFirstLine, ScrollBarControl, ScrollInfo, Image, Clock,
    ImageZoom, RichEditZoom,  // the content's size: from the picture, or a rich edit's EM_GETZOOM
};

// "LB_GETTOPINDEX items", "LVM_GETTOPINDEX rows", "EM_GETFIRSTVISIBLELINE
// lines", "SBM_GETPOS units", "GetScrollInfo units", "image px", "clock ms".
const char* MethodText(ReadMethod method);
// The unit alone: "items", "rows", "lines", "units", "px", "ms"; one of
// them is an "item", a "row", ... ("px" and "ms" stay as they are).
std::string MethodUnit(ReadMethod method, bool one = false);
// Whether the unit is lines, items or rows (what a lines-per-notch setting
// can be compared with).
bool CountsLines(ReadMethod method);

}  // namespace nl
