#include "controls/message_list.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "common/base/error_boundary.h"
#include "common/message_log/log_limit.h"
#include "win32/api.h"

namespace nl {

bool MessageList::Add(const std::string& line) {
    ScopedFlag adding(adding_);
    box_.SuspendPainting();
    if (const std::int32_t drop = LinesToDropBeforeAdding(count_, maxLines_)) DropOldest(drop);
    LRESULT index = box_.Append(line);
    if (index < 0) {
        // The system refused the line before the list reached its limit:
        // the same step, at once, and one more try.
        count_ = box_.Count();
        DropOldest(LinesToDropAfterRefusal(count_));
        index = box_.Append(line);
    }
    if (index < 0) {
        ++refused_;
        return false;
    }
    count_ = static_cast<std::int32_t>(index) + 1;
    if (const std::int32_t more = ItemsToReserve(count_, reservedTo_, maxLines_)) {
        box_.Reserve(more, static_cast<std::size_t>(more) * (line.size() + 1));
        reservedTo_ = count_ + more;  // also when refused: asked again only once it is used up
    }
    return true;
}

bool MessageList::TakeDropped() { return std::exchange(dropped_, false); }

void MessageList::Clear() {
    box_.Clear();
    count_ = 0;
    reservedTo_ = 0;
}

void MessageList::DropOldest(std::int32_t lines) {
    const std::int32_t count = box_.Count();
    const std::int32_t first = std::min(lines, count);
    if (first <= 0) return;
    dropped_ = true;
    // A list box drops its first item by moving all the others: a tenth of
    // millions of lines that way would take hours. The lines that stay are
    // read out instead, from the newest back, each deleted from the end of
    // the list (which moves nothing) as soon as it is copied, so the list
    // gives back its memory while the copy grows: this also works when the
    // list is full because memory ran out. The list is then emptied in one
    // step and filled again, the copy shrinking as it goes.
    // Chunks of text, newest line first; each line is followed by its length.
    std::vector<std::string> chunks;
    constexpr std::size_t kChunk = 64 * 1024;
    std::int32_t kept = 0;
    std::size_t bytes = 0;
    try {
        for (std::int32_t i = count - 1; i >= first; --i) {
            const std::string text = box_.ItemText(i);
            const auto length = static_cast<std::uint32_t>(text.size());
            if (chunks.empty() || chunks.back().size() + text.size() + sizeof length > chunks.back().capacity()) {
                chunks.emplace_back();
                chunks.back().reserve(std::max(kChunk, text.size() + sizeof length));
            }
            chunks.back() += text;
            chunks.back().append(reinterpret_cast<const char*>(&length), sizeof length);
            box_.Delete(i);  // the last one
            ++kept;
            bytes += text.size() + 1;
        }
    } catch (const std::bad_alloc&) {
        // No room even for the copy: the newest lines copied so far stay.
    }
    box_.Clear();
    reservedTo_ = 0;
    // Room for all of them at once, so the item array need not grow line by
    // line; asked for once the list is large (Wine's list box gives room
    // reserved in a small list back at the next add).
    std::int32_t added = 0;
    while (!chunks.empty()) {
        std::string& chunk = chunks.back();
        for (std::size_t end = chunk.size(); end > 0;) {
            std::uint32_t length = 0;
            chunk.copy(reinterpret_cast<char*>(&length), sizeof length, end - sizeof length);
            const std::size_t start = end - sizeof length - length;
            if (box_.Append(chunk.substr(start, length)) < 0) break;  // the rest of this chunk is lost
            end = start;
            if (++added == kReserveFrom && kept > added) {
                box_.Reserve(kept - added, bytes / static_cast<std::size_t>(kept) * static_cast<std::size_t>(kept - added));
                reservedTo_ = kept;
            }
        }
        chunks.pop_back();
    }
    refused_ += kept - added;
    count_ = box_.Count();
}

}  // namespace nl
