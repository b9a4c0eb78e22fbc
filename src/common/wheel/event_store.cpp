#include "common/wheel/event_store.h"

#include <algorithm>

#include "common/base/number_text.h"
#include "common/wheel/wheel_csv.h"

namespace nl {

namespace {
constexpr std::int64_t kSecondUs = 1000000;
}

// ---- store ----

EventStore::EventStore(std::size_t capacity) : capacity_(capacity < 1 ? 1 : capacity) {}

void EventStore::Add(const StoredEvent& e) {
    const std::size_t end = first_ + size_;
    if (end == chunks_.size() * kChunkEvents) {
        chunks_.push_back(spare_ ? std::move(spare_) : Chunk(new StoredEvent[kChunkEvents]));
    }
    chunks_[end / kChunkEvents][end % kChunkEvents] = e;
    ++added_;
    if (size_ < capacity_) {
        ++size_;
        return;
    }
    // Full: the oldest event falls off; its chunk goes once it is empty.
    ++dropped_;
    if (++first_ == kChunkEvents) {
        spare_ = std::move(chunks_.front());
        chunks_.pop_front();
        first_ = 0;
    }
}

void EventStore::Clear() {
    chunks_.clear();
    spare_.reset();
    first_ = 0;
    size_ = 0;
    dropped_ = 0;
}

const StoredEvent& EventStore::operator[](std::size_t i) const {
    const std::size_t at = first_ + i;
    return chunks_[at / kChunkEvents][at % kChunkEvents];
}

std::size_t EventStore::BytesHeld() const {
    return (chunks_.size() + (spare_ ? 1 : 0)) * kChunkEvents * sizeof(StoredEvent);
}

// ---- summary ----

void WheelSummary::Add(const StoredEvent& e) {
    if (e.IsLost()) {
        lost_ += static_cast<std::uint64_t>(e.Accumulated());
        return;
    }
    Cell& c = cells_[static_cast<int>(e.SeenFrom()) & 3][static_cast<int>(e.Axis()) & 1];
    ++c.events;
    c.deltaSum += e.delta;
    if (e.delta % 120 != 0) ++c.subNotch;
    if (e.Has(StoredEvent::kBounce)) ++bounces_;
    const std::int64_t interval = e.IntervalUs();
    if (interval != StoredEvent::kNoInterval) {
        minIntervalUs_ = std::min(minIntervalUs_, interval);
        maxIntervalUs_ = std::max(maxIntervalUs_, interval);
    }
    // Hook rows arrive a little late, so times are only nearly in order:
    // prune by the newest time seen and count by value when asked.
    newestUs_ = std::max(newestUs_, e.TimeUs());
    recentUs_.push_back(e.TimeUs());
    while (!recentUs_.empty() && recentUs_.front() <= newestUs_ - kSecondUs) recentUs_.pop_front();
}

void WheelSummary::Clear() { *this = WheelSummary(); }

std::size_t WheelSummary::EventsInLastSecond(std::int64_t nowUs) const {
    return static_cast<std::size_t>(std::count_if(recentUs_.begin(), recentUs_.end(), [nowUs](std::int64_t t) {
        return t > nowUs - kSecondUs && t <= nowUs;
    }));
}

std::string WheelSummary::Text(std::int64_t nowUs) const {
    std::string out;
    auto line = [&out]() -> std::string& {
        if (!out.empty()) out += kCrLf;
        return out;
    };
    for (int w = 0; w < 4; ++w) {
        for (int a = 0; a < 2; ++a) {
            const Cell& c = cells_[w][a];
            if (c.events == 0) continue;
            // The sub-notch share in tenths of a percent, rounded half up.
            const std::uint64_t tenths = (c.subNotch * 2000 + c.events) / (2 * c.events);
            std::string& s = line();
            s += VantageName(static_cast<Vantage>(w));
            s += a == 0 ? " V: " : " H: ";
            AppendDec(s, static_cast<std::int64_t>(c.events));
            s += c.events == 1 ? " event, sum " : " events, sum ";
            AppendDec(s, c.deltaSum);
            s += ", ";
            AppendDec(s, static_cast<std::int64_t>(tenths / 10));
            s += '.';
            s += static_cast<char>('0' + tenths % 10);
            s += "% sub-notch";
        }
    }
    if (out.empty()) line() += "no events";
    line() += "events/s (last second): ";
    AppendDec(out, static_cast<std::int64_t>(EventsInLastSecond(nowUs)));
    line() += "bounces: ";
    AppendDec(out, static_cast<std::int64_t>(bounces_));
    line() += "interval min/max: ";
    if (HasInterval()) {
        AppendMs(out, minIntervalUs_);
        out += " / ";
        AppendMs(out, maxIntervalUs_);
        out += " ms";
    } else {
        out += "-";
    }
    line() += "hook events lost: ";
    AppendDec(out, static_cast<std::int64_t>(lost_));
    return out;
}

}  // namespace nl
