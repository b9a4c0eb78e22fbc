// The recorded events kept in memory for the analysis window, and the
// numbers its summary panel shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "common/wheel/stored_event.h"

namespace nl {

// The newest `capacity` events, in fixed-size chunks: memory grows a chunk at
// a time (no doubling) and whole chunks are freed once all their events have
// fallen off the front.
class EventStore {
public:
    static constexpr std::size_t kChunkEvents = 4096;
    static constexpr std::size_t kDefaultCapacity = 1000000;

    explicit EventStore(std::size_t capacity = kDefaultCapacity);

    void Add(const StoredEvent& e);
    // Empties the view; the recorder's numbering is not kept here.
    void Clear();
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // 0 = the oldest event kept.
    const StoredEvent& operator[](std::size_t i) const;
    // Events dropped off the front since the last Clear.
    std::uint64_t dropped() const { return dropped_; }
    // How many events were ever added before the oldest one kept, Clear or
    // not: a view compares it to find how far its rows moved.
    std::uint64_t OldestNumber() const { return added_ - size_; }
    // Bytes held by the chunks (the benchmark's memory figure).
    std::size_t BytesHeld() const;

private:
    using Chunk = std::unique_ptr<StoredEvent[]>;
    std::size_t capacity_;
    std::deque<Chunk> chunks_;
    Chunk spare_;            // the last freed chunk, reused for the next
    std::size_t first_ = 0;  // the oldest event's slot in chunks_.front()
    std::size_t size_ = 0;
    std::uint64_t dropped_ = 0;
    std::uint64_t added_ = 0;
};

// What the summary panel shows; fed every event added to the view.
class WheelSummary {
public:
    void Add(const StoredEvent& e);
    void Clear();

    // Events with a time in (nowUs - 1 s, nowUs].
    std::size_t EventsInLastSecond(std::int64_t nowUs) const;

    // The panel's lines, joined by CR LF.
    std::string Text(std::int64_t nowUs) const;

private:
    struct Cell {
        std::uint64_t events = 0, subNotch = 0;  // sub-notch: deltas not a multiple of 120
        std::int64_t deltaSum = 0;
    };
    bool HasInterval() const { return minIntervalUs_ <= maxIntervalUs_; }

    Cell cells_[4][2];  // by vantage and axis
    std::uint64_t bounces_ = 0, lost_ = 0;
    std::int64_t minIntervalUs_ = INT64_MAX, maxIntervalUs_ = INT64_MIN;
    std::deque<std::int64_t> recentUs_;  // times within a second of the newest
    std::int64_t newestUs_ = INT64_MIN;
};

}  // namespace nl
