#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "common/wheel/event_store.h"
#include "common/base/spsc_queue.h"
#include "common/wheel/wheel_recorder.h"

namespace nl {
namespace {

constexpr std::int64_t kFreq = 10000000;

StoredEvent Numbered(std::uint64_t seq) {
    StoredEvent e;
    e.seq = static_cast<std::uint32_t>(seq);
    return e;
}

TEST(EventStore, KeepsTheNewestAndClears) {
    const struct {
        std::size_t capacity, added;
    } rows[] = {{3, 5}, {EventStore::kChunkEvents, EventStore::kChunkEvents + 1}, {10000, 25000}, {10000, 9999}};
    for (const auto& r : rows) {
        EventStore store(r.capacity);
        for (std::uint64_t seq = 1; seq <= r.added; ++seq) store.Add(Numbered(seq));
        const std::size_t kept = std::min(r.capacity, r.added);
        ASSERT_EQ(store.size(), kept) << r.capacity;
        EXPECT_EQ(store.dropped(), r.added - kept);
        for (std::size_t i = 0; i < kept; ++i) ASSERT_EQ(store[i].Seq(), r.added - kept + 1 + i) << r.capacity;
        // Memory: the kept events' chunks, one partly used at each end, and one spare.
        const std::size_t chunks = kept / EventStore::kChunkEvents + 3;
        EXPECT_LE(store.BytesHeld(), chunks * EventStore::kChunkEvents * sizeof(StoredEvent));
        store.Clear();
        EXPECT_TRUE(store.empty());
        store.Add(Numbered(99));
        EXPECT_EQ(store[0].Seq(), 99u);
    }
}

TEST(WheelSummary, CountsAndText) {
    WheelRecorder rec(3, 1);
    WheelSummary summary;
    const struct {
        Vantage w;
        WheelAxis a;
        int delta;
        std::int64_t ms;
    } rows[] = {
        {Vantage::Main, WheelAxis::V, 120, 0},
        {Vantage::Main, WheelAxis::V, 120, 10},
        {Vantage::Main, WheelAxis::V, -60, 25},  // a bounce
        {Vantage::Hook, WheelAxis::H, -120, 500},
    };
    for (const auto& r : rows) {
        WheelSample s;
        s.vantage = r.w;
        s.axis = r.a;
        s.delta = static_cast<std::int16_t>(r.delta);
        s.ticks = r.ms * (kFreq / 1000);
        s.ticksPerSecond = kFreq;
        summary.Add(rec.Record(s));
    }
    summary.Add(rec.RecordLost(3, 6000000, kFreq));
    summary.Add(rec.RecordLost(2, 7000000, kFreq));
    EXPECT_EQ(summary.Text(1100000),
              "main V: 3 events, sum 180, 33.3% sub-notch\r\n"
              "hook H: 1 event, sum -120, 0.0% sub-notch\r\n"
              "events/s (last second): 1\r\n"
              "bounces: 1\r\n"
              "interval min/max: 10.000 / 15.000 ms\r\n"
              "hook events lost: 5");
    EXPECT_EQ(summary.EventsInLastSecond(999999), 4u);
    EXPECT_EQ(summary.EventsInLastSecond(1000000), 3u);
    summary.Clear();
    EXPECT_EQ(summary.Text(0),
              "no events\r\nevents/s (last second): 0\r\nbounces: 0\r\ninterval min/max: -\r\nhook events lost: 0");
}

TEST(SpscQueue, FillDrainOverflow) {
    SpscQueue<int, 4> q;
    int out = 0;
    for (int round = 0; round < 3; ++round) {  // the counters wrap past the slots
        for (int i = 0; i < 4; ++i) EXPECT_TRUE(q.TryPush(round * 10 + i));
        EXPECT_FALSE(q.TryPush(98));
        EXPECT_FALSE(q.TryPush(99));
        EXPECT_EQ(q.TakeLost(), 2u);
        EXPECT_EQ(q.TakeLost(), 0u);
        for (int i = 0; i < 4; ++i) {
            ASSERT_TRUE(q.TryPop(out));
            EXPECT_EQ(out, round * 10 + i);
        }
        EXPECT_FALSE(q.TryPop(out));
    }
}

// A real producer thread: every item arrives once, in order, or is counted lost.
TEST(SpscQueue, TwoThreads) {
    constexpr int kItems = 200000;
    SpscQueue<int, 256> q;
    std::atomic<long long> markerMisses{0};  // counted as lost by the queue, but no item
    std::thread producer([&q, &markerMisses] {
        for (int i = 1; i <= kItems; ++i) q.TryPush(i);
        while (!q.TryPush(-1)) ++markerMisses;  // the end marker waits for room
    });
    long long received = 0, lost = 0;
    int last = 0, item = 0;
    for (;;) {
        lost += q.TakeLost();
        if (!q.TryPop(item)) continue;
        if (item == -1) break;
        ASSERT_GT(item, last);
        last = item;
        ++received;
    }
    producer.join();
    lost += q.TakeLost();
    EXPECT_EQ(received + lost - markerMisses, kItems);
}

}  // namespace
}  // namespace nl
