#include "controls/message_list.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "common/error_boundary.h"
#include "common/log_limit.h"
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
    if (index < 0) return false;
    count_ = static_cast<std::int32_t>(index) + 1;
    return true;
}

bool MessageList::TakeDropped() { return std::exchange(dropped_, false); }

void MessageList::Clear() {
    box_.Clear();
    count_ = 0;
}

void MessageList::DropOldest(std::int32_t lines) {
    const std::int32_t count = box_.Count();
    const std::int32_t first = std::min(lines, count);
    if (first <= 0) return;
    dropped_ = true;
    // A list box drops its first item by moving all the others: a tenth of
    // millions of lines that way would take hours. The lines that stay are
    // read out instead, the list emptied in one step and filled again.
    std::vector<std::string> chunks(1);
    std::vector<std::pair<std::size_t, std::size_t>> kept;  // chunk, end in it
    kept.reserve(static_cast<std::size_t>(count - first));
    constexpr std::size_t kChunk = 1 << 20;
    for (std::int32_t i = first; i < count; ++i) {
        const std::string text = box_.ItemText(i);
        if (chunks.back().size() + text.size() > kChunk && !chunks.back().empty()) chunks.emplace_back();
        std::string& chunk = chunks.back();
        if (chunk.capacity() < kChunk) chunk.reserve(kChunk);
        chunk += text;
        kept.emplace_back(chunks.size() - 1, chunk.size());
    }
    // Filled again from `from` on; if the system still refuses, the newer
    // half of what remains is tried, and so on: the newest lines win.
    for (std::size_t from = 0; from < kept.size(); from += std::max<std::size_t>(1, (kept.size() - from) / 2)) {
        box_.Clear();
        bool whole = true;
        std::size_t start = 0, chunk = kept[from].first;
        if (from > 0 && kept[from - 1].first == chunk) start = kept[from - 1].second;
        for (std::size_t i = from; i < kept.size() && whole; ++i) {
            if (kept[i].first != chunk) chunk = kept[i].first, start = 0;
            whole = box_.Append(chunks[chunk].substr(start, kept[i].second - start)) >= 0;
            start = kept[i].second;
        }
        if (whole) break;
    }
    count_ = box_.Count();
}

}  // namespace nl
