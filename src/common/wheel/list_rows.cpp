#include "common/wheel/list_rows.h"

#include <algorithm>

namespace nl {

bool FollowsNewest(const ListRows& rows) {
    if (rows.count <= 0) return true;
    const std::int64_t newest = rows.count - 1;
    return rows.selected.size() == 1 && rows.selected.front() == newest && rows.focus == newest &&
           rows.top + rows.perPage >= rows.count;
}

ListRows AfterDropping(const ListRows& rows, std::uint64_t dropped) {
    const auto by = static_cast<std::int64_t>(std::min<std::uint64_t>(dropped, static_cast<std::uint64_t>(INT64_MAX)));
    ListRows moved = rows;
    moved.count = std::max<std::int64_t>(0, rows.count - by);
    moved.selected.clear();
    for (std::int64_t row : rows.selected)
        if (row >= by) moved.selected.push_back(row - by);
    moved.focus = rows.focus >= by ? rows.focus - by : -1;
    moved.top = std::max<std::int64_t>(0, rows.top - by);
    return moved;
}

}  // namespace nl
