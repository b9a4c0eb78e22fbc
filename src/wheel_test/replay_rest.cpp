#include "wheel_test/replay_rest.h"

#include <algorithm>

#include "wheel_test/session.h"

namespace nl {

namespace {
// Readings this far apart, until they have agreed this long, for at most this long.
constexpr DWORD kRestPollMs = 10;
constexpr std::int64_t kRestAgreeUs = 200000, kMostWaitUs = 30000000;
}  // namespace

// A target read by a message is never unread for being slow.
std::string WaitForRest(HWND target, PositionReader* readers[2], const bool axes[2], std::int64_t lastSentUs,
                        const std::atomic<bool>& stop, ReplaySummary& s, std::optional<std::int32_t> rest[2]) {
    std::optional<std::int32_t> last[2];
    std::int64_t runStart = 0;
    bool first = true;
    for (;;) {
        if (!SyncWithWindow(target)) return "the target does not answer";
        std::optional<std::int32_t> now[2];
        for (int i = 0; i < 2; ++i)
            if (axes[i]) now[i] = readers[i]->ReadNow();
        const std::int64_t at = ClockUs();
        if (first || now[0] != last[0] || now[1] != last[1]) runStart = at;
        first = false;
        last[0] = now[0], last[1] = now[1];
        if (at - runStart >= kRestAgreeUs) {
            s.lagMs = std::max<std::int64_t>(0, (runStart - lastSentUs) / 1000);
            break;
        }
        if (at - lastSentUs >= kMostWaitUs || stop || EscPressed()) {
            s.stillMoving = true;
            s.waitStopped = at - lastSentUs < kMostWaitUs;
            s.waitedMs = (at - lastSentUs) / 1000;
            break;
        }
        ::Sleep(kRestPollMs);
    }
    for (int i = 0; i < 2; ++i)
        if (axes[i]) rest[i] = last[i];
    return std::string();
}

void ReadWhereEnded(PositionReader* readers[2], const std::optional<std::int32_t> bases[2],
           const std::optional<std::int32_t> rest[2], const std::string& unread, ReplaySummary& s) {
    for (int i = 0; i < 2; ++i) {
        const WheelAxis axis = i == 0 ? WheelAxis::V : WheelAxis::H;
        if (s.tally.Of(axis).events == 0) continue;
        std::optional<std::int64_t> moved;
        if (rest[i] && bases[i]) moved = static_cast<std::int64_t>(*rest[i]) - *bases[i];
        const std::string why = !unread.empty() ? unread
                                : readers[i]->Method() == ReadMethod::Image ? readers[i]->LastProblem()
                                                                             : "it did not answer the position's message";
        s.tally.Ended(axis, moved, why);
    }
}

}  // namespace nl
