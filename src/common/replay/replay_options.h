// The replay's command-line options: `--replay FILE` sends a recorded wheel
// trace to the target; `--replay-run N`, `--replay-window NAME`,
// `--replay-max-gap MS` and `--replay-speed F` choose what is sent and how
// fast; `--replay-report FILE2` replays without a window and writes the
// report; `--replay-trace FILE3` writes a line per event sent. Each also
// in its `/` form; given twice, the last one counts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/replay/replay_schedule.h"
#include "common/replay/replay_trace.h"

namespace nl {

struct ReplayOptions {
    std::wstring file;        // empty: no replay
    std::wstring reportPath;  // empty: replay in the window
    std::wstring tracePath;   // empty: no trace file
    TraceChoice choice;
    std::int64_t maxGapMs = kDefaultMaxGapMs;
    std::int32_t speedMilli = kDefaultSpeedMilli;
    // A bad value of --replay-run, --replay-window, --replay-max-gap and
    // --replay-speed, one each, so that a later good value replaces it.
    std::string badValue[4];

    // The first bad value's message (empty when all are good), for the
    // report's Result line: nothing is sent then.
    std::string Problem() const;
};

// When args[i] is a replay option, takes it and its value and returns how
// many arguments it used; else 0. A missing value sets `startupProblem`
// (the start-up notice other options give); a bad one is kept in `replay`.
std::size_t TakeReplayOption(const std::vector<std::wstring>& args, std::size_t i, ReplayOptions& replay,
                             std::wstring& startupProblem);

// What the combination of options lacks or cannot do, else empty:
// "--replay needs --test-target", "--replay-report needs --replay",
// "--replay and --test-report cannot be combined: choose one".
std::string ReplayCombinationProblem(const ReplayOptions& replay, bool testTarget, bool testReport);

// The help lines for the replay options, each ending in a line break.
const wchar_t* ReplayOptionsHelp();

}  // namespace nl
