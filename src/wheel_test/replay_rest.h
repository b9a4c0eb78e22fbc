// The end of a replay: the target, which may still be catching up, read
// until it comes to rest, and where each axis ended from where it began.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "common/replay/replay_report.h"
#include "tested_window/tested_window.h"

namespace nl {

// After the last event: read every 10 ms until the readings have agreed for
// 200 ms, for at most 30 s after the last event (Esc or `stop` end the wait
// sooner, as still moving); `rest` holds the readings graded, `s` the lag.
// Returns why a position could not be read, where that is not the reading's
// own.
std::string WaitForRest(HWND target, PositionReader* readers[2], const bool axes[2], std::int64_t lastSentUs,
                        const std::atomic<bool>& stop, ReplaySummary& s, std::optional<std::int32_t> rest[2]);

// Where each axis that had events ended, from where it began, into the tally.
void ReadWhereEnded(PositionReader* readers[2], const std::optional<std::int32_t> bases[2],
                    const std::optional<std::int32_t> rest[2], const std::string& unread, ReplaySummary& s);

}  // namespace nl
