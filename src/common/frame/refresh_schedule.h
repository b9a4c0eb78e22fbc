// When the screen catches up with what the window holds. Handlers change
// the window's contents and mark them stale; one refresh then brings the
// screen up to date: at once for a lone message, at the end of the frame
// while more messages wait, and never so often that refreshing takes more
// than a quarter of the time. While a flood keeps coming (messages still
// waiting and more than four changes a millisecond since the last refresh),
// each refresh doubles the interval, up to eight times; the first refresh
// that finds input calm brings it back. (A timer message comes only when no
// other message waits, so a short timer tells the window when a flood is
// over: the last refresh need not wait out the stretched interval.)
#pragma once

#include <cstdint>

namespace nl {

class RefreshSchedule {
public:
    static constexpr std::int64_t kFrameUs = 16000;
    static constexpr int kMaxFloodLevel = 3;

    // The window's contents changed at `nowUs`.
    void MarkStale(std::int64_t nowUs);
    // One more change since the last refresh (cheap: no clock).
    void CountChange() { ++changes_; }
    bool Stale() const { return stale_; }

    // Microseconds to wait before refreshing; 0: refresh now. Only
    // meaningful while stale.
    std::int64_t WaitBeforeRefresh(std::int64_t nowUs, bool messagesWaiting) const;

    // Around each refresh: what goes stale during it waits for the next one.
    void RefreshStarted(std::int64_t nowUs, bool messagesWaiting);
    void RefreshEnded(std::int64_t nowUs);

    // Between the starts of two refreshes: a frame, or four times what the
    // last refresh cost, whichever is longer; doubled for each step of a
    // flood.
    std::int64_t Interval() const;
    std::int64_t LastCostUs() const { return lastCostUs_; }
    // Whether a flood has stretched the interval.
    bool Flooded() const { return floodLevel_ > 0; }

private:
    bool stale_ = false;
    std::int64_t staleSinceUs_ = 0;
    bool refreshedBefore_ = false;
    std::int64_t lastStartUs_ = 0;
    std::int64_t lastCostUs_ = 0;
    std::int64_t changes_ = 0;
    int floodLevel_ = 0;
};

}  // namespace nl
