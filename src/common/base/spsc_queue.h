// A bounded single-producer single-consumer queue: the low-level hook thread
// pushes, the GUI thread pops at its refresh. No allocation after
// construction and no lock, so the hook returns at once whatever the GUI
// thread is doing.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace nl {

template <typename T, std::size_t Capacity>
class SpscQueue {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "capacity must be a power of two");

public:
    // Producer side. False when full: the item is lost, and counted.
    bool TryPush(const T& item) {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) == Capacity) {
            lost_.fetch_add(1, std::memory_order_relaxed);
            return false;
        }
        slots_[tail & (Capacity - 1)] = item;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Consumer side.
    bool TryPop(T& item) {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) return false;
        item = slots_[head & (Capacity - 1)];
        head_.store(head + 1, std::memory_order_release);
        return true;
    }
    // Whether anything waits to be taken: events, or a count of lost ones.
    bool Waiting() const {
        return head_.load(std::memory_order_relaxed) != tail_.load(std::memory_order_acquire) ||
               lost_.load(std::memory_order_relaxed) != 0;
    }
    // The events lost since the last call.
    std::uint32_t TakeLost() { return lost_.exchange(0, std::memory_order_relaxed); }

private:
    // Free-running counters (their difference is the fill), each on its own
    // cache line so the two threads do not share one.
    alignas(64) std::atomic<std::size_t> head_{0};
    alignas(64) std::atomic<std::size_t> tail_{0};
    alignas(64) std::atomic<std::uint32_t> lost_{0};
    std::array<T, Capacity> slots_{};
};

}  // namespace nl
