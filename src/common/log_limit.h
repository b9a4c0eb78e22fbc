// How many lines the message list keeps: at most a limit of its own (the
// newest ones), and fewer when the system refuses to hold more. Lines are
// dropped a tenth at a time, so the cost is not paid per message.
#pragma once

#include <cstdint>
#include <string>

namespace nl {

constexpr std::int32_t kDefaultMaxLogLines = 5000000;

// Before adding a line to a list of `count` lines with the limit
// `maxLines` (0: no limit of its own): the number of oldest lines to drop
// first. None until the list is full; then a tenth of the limit, at least
// one.
std::int32_t LinesToDropBeforeAdding(std::int32_t count, std::int32_t maxLines);

// After the system refused a line: the oldest tenth of what the list
// holds, at least one (none from an empty list).
std::int32_t LinesToDropAfterRefusal(std::int32_t count);

// What the program says, once, the first time lines are dropped.
std::string LinesDroppedNotice(std::int32_t maxLines);

}  // namespace nl
