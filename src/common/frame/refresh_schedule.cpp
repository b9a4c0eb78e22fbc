#include "common/frame/refresh_schedule.h"

#include <algorithm>

namespace nl {

void RefreshSchedule::MarkStale(std::int64_t nowUs) {
    if (stale_) return;
    stale_ = true;
    staleSinceUs_ = nowUs;
}

std::int64_t RefreshSchedule::Interval() const {
    return std::max(kFrameUs, 4 * lastCostUs_) << floodLevel_;
}

std::int64_t RefreshSchedule::WaitBeforeRefresh(std::int64_t nowUs, bool messagesWaiting) const {
    const std::int64_t earliest = refreshedBefore_ ? lastStartUs_ + Interval() : nowUs;
    // A lone message is shown as soon as the last refresh is far enough
    // back; while more messages wait, the screen catches up once a frame.
    const std::int64_t due = messagesWaiting ? std::max(earliest, staleSinceUs_ + kFrameUs) : earliest;
    return std::max<std::int64_t>(0, due - nowUs);
}

void RefreshSchedule::RefreshStarted(std::int64_t nowUs, bool messagesWaiting) {
    // A steady stream (a wheel turned by hand, a touchpad: a few hundred
    // messages a second, each changing up to three views) is no flood; a
    // drain of queued messages (tens of thousands a second) is.
    const bool flood = refreshedBefore_ && messagesWaiting && changes_ * 250 > nowUs - lastStartUs_;
    floodLevel_ = flood ? std::min(floodLevel_ + 1, kMaxFloodLevel) : 0;
    changes_ = 0;
    stale_ = false;
    refreshedBefore_ = true;
    lastStartUs_ = nowUs;
}

void RefreshSchedule::RefreshEnded(std::int64_t nowUs) { lastCostUs_ = std::max<std::int64_t>(0, nowUs - lastStartUs_); }

}  // namespace nl
