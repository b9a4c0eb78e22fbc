// Where the user is in the analysis window's list of events: the selected
// rows, the focused row and the rows in view. The list follows the newest
// event only while the user lets it, and when the store drops its oldest
// events the user's rows move with their events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nl {

struct ListRows {
    std::int64_t count = 0;              // rows the list shows
    std::vector<std::int64_t> selected;  // ascending
    std::int64_t focus = -1;             // -1: none
    std::int64_t top = 0;                // the first row in view
    std::int64_t perPage = 0;            // rows the view holds whole
};

// Whether new rows are to select the newest row alone and bring it into
// view: an empty list does; otherwise only while the newest row is the one
// selected, has the focus, and the last row is in view. Judged before new
// rows are counted in.
bool FollowsNewest(const ListRows& rows);

// The same rows once the oldest `dropped` events have left the store: each
// selected row, the focus and the view move up with their events; rows
// whose events left are no longer selected, a focus that left is gone and
// the view stops at the first row.
ListRows AfterDropping(const ListRows& rows, std::uint64_t dropped);

}  // namespace nl
