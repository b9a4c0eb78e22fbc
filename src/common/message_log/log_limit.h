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

// Room reserved ahead. A list box grows its item array a few items at a
// time; under Wine every growth past the block it has copies the whole array
// into a new one, so filling a list of millions of lines costs the square of
// its size (14 s for 250,000 more lines at a million; half a second with
// room reserved). Reserving room in large steps makes that linear. Below kReserveFrom lines nothing is reserved:
// the array of a small list is an ordinary small block, where a reservation
// is given back at the next add.
constexpr std::int32_t kReserveFrom = 65536;

// Once a list of `count` lines has filled the room reserved up to
// `reservedTo`: how many more items to reserve room for. A quarter more,
// never past the limit `maxLines` (0: none of its own); none while the list
// is small or the room is not yet used up.
std::int32_t ItemsToReserve(std::int32_t count, std::int32_t reservedTo, std::int32_t maxLines);

// What the program says, once, the first time lines are dropped.
std::string LinesDroppedNotice(std::int32_t maxLines);

// What the program says, once, after the list first refused a line even
// after dropping its oldest ones; `refused` counts them so far.
std::string LinesRefusedNotice(std::int64_t refused);

}  // namespace nl
