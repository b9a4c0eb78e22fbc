// Watches the target while a replay sends: after an event that leaves time
// before the next, it waits until the target has taken that event (WM_NULL
// round trips to its thread), reads its position and checks that the
// next event can follow. It does so on a thread of its own, so that a
// target slow to take its input never holds the sender back: a reading
// taken while a later event was already on its way is dropped, since it
// may or may not include that event.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tested_window/tested_window.h"

namespace nl {

class ReplayWatcher {
public:
    // `readers`: vertical, then horizontal. `sent` counts the events sent
    // so far (the sender's). `events` is how many the replay holds.
    ReplayWatcher(const TestPlace& place, Delivery how, PositionReader* readers[2],
                  const std::atomic<std::size_t>& sent, std::size_t events);
    ~ReplayWatcher();  // waits for the watch in hand, then ends the thread
    ReplayWatcher(const ReplayWatcher&) = delete;
    ReplayWatcher& operator=(const ReplayWatcher&) = delete;

    // Event `index` (on the horizontal wheel or not) was just sent, with
    // `heldKeys` (MK_CONTROL, MK_SHIFT) held by the replay; watched unless
    // the watch before is still going on. Returns at once.
    void Offer(std::size_t index, bool horizontal, std::uint16_t heldKeys);
    // Waits until the watch in hand, if any, is done.
    void Drain();
    // Set once a check failed or the target stopped answering.
    bool Failed() const { return failed_; }
    std::string Problem();
    // Once drained: the position read after each event, where one was.
    const std::vector<std::optional<std::int32_t>>& Positions() const { return positions_; }

private:
    struct Job {
        std::size_t index;
        bool horizontal;
        std::uint16_t heldKeys;
    };
    void Loop();
    void Watch(const Job& job);
    std::optional<std::int32_t> Read(bool horizontal, bool& answered);

    const TestPlace& place_;
    Delivery how_;
    PositionReader* readers_[2];
    const std::atomic<std::size_t>& sent_;
    std::vector<std::optional<std::int32_t>> positions_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Job> job_;
    bool busy_ = false, quit_ = false;
    std::atomic<bool> failed_{false};
    std::string problem_;
    std::thread thread_;
};

}  // namespace nl
