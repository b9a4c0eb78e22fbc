#include "common/message_log/log_limit.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "common/base/number_text.h"

namespace nl {

namespace {
std::int32_t Tenth(std::int32_t n) { return std::max<std::int32_t>(1, n / 10); }
}  // namespace

std::int32_t LinesToDropBeforeAdding(std::int32_t count, std::int32_t maxLines) {
    if (maxLines <= 0 || count < maxLines) return 0;
    // More than the limit (a limit lowered by nothing today, but cheap to
    // be right about): back to a tenth below it.
    return std::min(count, count - maxLines + Tenth(maxLines));
}

std::int32_t LinesToDropAfterRefusal(std::int32_t count) { return count <= 0 ? 0 : Tenth(count); }

std::int32_t ItemsToReserve(std::int32_t count, std::int32_t reservedTo, std::int32_t maxLines) {
    if (count < kReserveFrom || count < reservedTo) return 0;
    std::int32_t more = std::min(count / 4, std::numeric_limits<std::int32_t>::max() - count);
    if (maxLines > 0) more = std::min(more, maxLines - count);
    return std::max<std::int32_t>(0, more);
}

std::string LinesDroppedNotice(std::int32_t maxLines) {
    const std::string full = maxLines > 0 ? "The message list is full (" + DecText(maxLines) + " lines)."
                                          : "The message list cannot hold more lines.";
    return full +
           " From now on the oldest lines are dropped from it, a tenth at a time, so that it keeps the newest "
           "ones; Copy and Save log as hold what it keeps. A log file given with --log keeps all of them.\n\n"
           "Logging goes on.";
}

std::string LinesRefusedNotice(std::int64_t refused) {
    return "The message list could not take " + DecText(refused) +
           " lines, even after dropping its oldest lines: the system has no memory left for them. A log file given "
           "with --log keeps every line.\n\nLogging goes on.";
}

}  // namespace nl
