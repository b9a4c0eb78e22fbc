#include <gtest/gtest.h>

#include "common/frame/refresh_schedule.h"

namespace nl {
namespace {

constexpr std::int64_t kMs = 1000;

TEST(RefreshSchedule, WhenTheScreenCatchesUp) {
    struct Row {
        const char* what;
        std::int64_t lastStart, cost;  // lastStart < 0: never refreshed
        std::int64_t staleAt, now;
        bool waiting;
        std::int64_t wait;
    } rows[] = {
        {"first lone message: at once", -1, 0, 0, 0, false, 0},
        {"lone, last refresh a frame ago: at once", 0, 2 * kMs, 16 * kMs, 16 * kMs, false, 0},
        {"lone, within the frame: at its end", 0, 2 * kMs, 5 * kMs, 5 * kMs, false, 11 * kMs},
        {"lone after a costly refresh: a quarter of the time", 0, 8 * kMs, 20 * kMs, 20 * kMs, false, 12 * kMs},
        {"burst: at the end of the frame", -1, 0, 100 * kMs, 100 * kMs, true, 16 * kMs},
        {"burst, frame over: now, messages waiting or not", -1, 0, 100 * kMs, 116 * kMs, true, 0},
        {"burst after a costly refresh", 0, 8 * kMs, 1 * kMs, 20 * kMs, true, 12 * kMs},
    };
    for (const auto& r : rows) {
        RefreshSchedule s;
        if (r.lastStart >= 0) {
            s.RefreshStarted(r.lastStart, false);
            s.RefreshEnded(r.lastStart + r.cost);
        }
        EXPECT_FALSE(s.Stale());
        s.MarkStale(r.staleAt);
        s.MarkStale(r.now);  // only the first change counts
        EXPECT_EQ(s.WaitBeforeRefresh(r.now, r.waiting), r.wait) << r.what;
    }
}

TEST(RefreshSchedule, WhatGoesStaleDuringARefreshWaitsForTheNext) {
    RefreshSchedule s;
    s.MarkStale(0);
    s.RefreshStarted(0, false);
    s.MarkStale(1 * kMs);  // a line logged while the refresh paints
    s.RefreshEnded(5 * kMs);
    EXPECT_TRUE(s.Stale());
    EXPECT_EQ(s.WaitBeforeRefresh(5 * kMs, false), 15 * kMs);  // four times the cost after the start
}

TEST(RefreshSchedule, AFloodStretchesTheIntervalUntilInputCalms) {
    // Each refresh starts when the last one allows; `changes` came in since the last one.
    const struct { std::int64_t changes; bool waiting, flood; } rows[] = {
        {5000, true, true}, {5000, true, true}, {5000, true, true}, {5000, true, true},  // capped at eight times
        {5000, false, false},                                                            // the queue ran dry
        {5000, true, true}, {100, true, false},  // a steady stream of a few hundred a second, three views each
    };
    RefreshSchedule s;
    s.RefreshStarted(0, false);
    s.RefreshEnded(2 * kMs);
    std::int64_t now = 0, expected = 16 * kMs;
    for (const auto& r : rows) {
        now += s.Interval();
        for (std::int64_t i = 0; i < r.changes; ++i) s.CountChange();
        s.RefreshStarted(now, r.waiting);
        s.RefreshEnded(now + 2 * kMs);
        expected = r.flood ? std::min(expected * 2, 128 * kMs) : 16 * kMs;
        EXPECT_EQ(s.Interval(), expected) << r.changes << (r.waiting ? " waiting" : "");
    }
}

}  // namespace
}  // namespace nl
