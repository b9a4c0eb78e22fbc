// The message log's list: a list box that keeps the newest lines, at most
// a limit of its own, dropping the oldest tenth in one step when it is
// full or when the system refuses another line.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/controls.h"

namespace nl {

class MessageList {
public:
    MessageList() = default;
    MessageList(HWND list, std::int32_t maxLines) : box_(list), maxLines_(maxLines) {}

    ListBox& Box() { return box_; }
    const ListBox& Box() const { return box_; }

    // Adds a line at the end, first dropping the oldest lines if the list
    // is full; when the system refuses the line, drops the oldest tenth and
    // tries once more. Returns false when the line is not in the list.
    // Never throws for a full list.
    bool Add(const std::string& line);
    // True while a line is being added: what the list says meanwhile (its
    // out-of-space notification) is about this add, not news.
    bool Adding() const { return adding_; }
    // Whether lines have been dropped since the last call.
    bool TakeDropped();
    // Lines the list could not take, even after dropping its oldest ones:
    // refused when added, or lost while the kept ones went back in.
    std::int64_t Refused() const { return refused_; }
    void Clear();

private:
    void DropOldest(std::int32_t lines);

    ListBox box_;
    std::int32_t maxLines_ = 0;
    std::int32_t count_ = 0;
    std::int32_t reservedTo_ = 0;  // the list has room for this many lines without growing
    bool adding_ = false;
    bool dropped_ = false;
    std::int64_t refused_ = 0;
};

}  // namespace nl
