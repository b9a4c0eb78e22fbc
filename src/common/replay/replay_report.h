// What a replay found, as the lines of its report below the target's head,
// the exit code of a scripted replay and the lines of its trace file. The
// yardstick is a sound handler: one that adds up delta × lines per notch /
// 120 and scrolls the whole lines of the sum.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/replay/replay_trace.h"
#include "common/wheel_test/window_form.h"

namespace nl {

// What a sound handler has scrolled once deltas adding up to deltaSum have
// arrived, positive towards the end (down, right): whole lines (characters)
// of deltaSum × step / 120, truncated toward zero; in pages for a page per
// notch (kWheelPageStep).
std::int64_t SoundScroll(WheelAxis axis, std::int64_t deltaSum, std::uint32_t step);

// Adds up, per axis, what was sent and how the target kept up with a sound
// handler. Movements are the target's since the replay began, in its own
// unit, positive towards the end.
class ReplayTally {
public:
    struct Axis {
        std::uint64_t events = 0;
        std::int64_t deltaSum = 0;
        std::int64_t sound = 0;                 // SoundScroll of deltaSum
        std::optional<std::int64_t> moved;      // at the end, once settled
        std::string unread;                     // why `moved` could not be read
        std::optional<std::int64_t> largestGap; // |moved - sound| at the worst reading
    };

    ReplayTally(std::uint32_t linesV, std::uint32_t charsH) : steps_{linesV, charsH} {}
    // One event sent; `moved`: the target's movement read after it, if read.
    void Sent(WheelAxis axis, std::int16_t delta, std::optional<std::int64_t> moved);
    // The movement after the last event, once the target settled; where it
    // could not be read, why.
    void Ended(WheelAxis axis, std::optional<std::int64_t> moved, const std::string& unread = std::string());
    const Axis& Of(WheelAxis axis) const { return axes_[Index(axis)]; }
    std::uint32_t Step(WheelAxis axis) const { return steps_[Index(axis)]; }

private:
    static int Index(WheelAxis axis) { return axis == WheelAxis::V ? 0 : 1; }
    void Compare(Axis& a, std::int64_t moved);
    std::uint32_t steps_[2];
    Axis axes_[2];
};

// How the target's position was read along one axis; a unit of lines,
// items or rows compares with a sound handler's lines.
struct ReplayReading {
    ReadMethod method = ReadMethod::Image;
};

// One event of a replay as its picture shows it: when it was sent (us from
// when the first was due), where a sound handler stands on its axis after
// it, and where the target was read after it, from where it began, if it was.
struct ReplayPoint {
    std::int64_t atUs = 0;
    WheelAxis axis = WheelAxis::V;
    std::int64_t sound = 0;
    std::optional<std::int64_t> moved;
};

// Everything the lines below the head say.
struct ReplaySummary {
    TracePick pick;
    std::uint64_t rows = 0;         // chosen rows
    std::uint64_t sent = 0;         // events sent before the end
    std::uint64_t lostSkipped = 0;  // rows with source `lost`
    bool partialLastLine = false;
    std::int64_t maxGapMs = 0;
    std::int32_t speedMilli = 1000;
    std::uint64_t gapsCut = 0;
    std::int64_t removedUs = 0;
    std::int64_t lengthUs = 0;  // from the first event's due time to the last's, after gap cutting
    bool posted = false;
    std::uint64_t extraInfoRows = 0;   // rows with extra information other than 0
    std::uint64_t mismatchRows = 0;    // rows whose key flags disagreed with the keyboard
    ReplayReading reading[2];          // vertical, horizontal
    bool horizontalBar = false;        // the target has something to scroll sideways
    ReplayTally tally{3, 3};
    std::uint64_t readings = 0;        // events after which a position was read along the way
    // After the last event: when the target came to rest (ms after it was
    // sent), or that it was still moving when the wait ended after waitedMs.
    std::optional<std::int64_t> lagMs;
    bool stillMoving = false;
    std::int64_t waitedMs = 0;
    bool waitStopped = false;  // Esc ended the wait
    // Every event sent, and where the target came to rest after the last
    // (its time: when the wait ended), for the replay's picture.
    std::vector<ReplayPoint> points;
    std::optional<ReplayPoint> rest[2];  // vertical, horizontal
    std::string problem;  // why the replay could not be made or finished; empty when it was
};

// One axis as the replay's table shows it: Axis, Events, Notches, Sound
// handler, Target moved, Largest difference; the axis's report line says
// the same in words.
struct ReplayAxisCells {
    std::string axis, events, notches, sound, moved, largest;
};
ReplayAxisCells AxisCells(const ReplaySummary& s, WheelAxis axis);

// The report's lines other than the axes' and the Result line, in order
// (Trace, Events, Timing, Lag, Readings, then the notes), without line ends.
std::vector<std::string> ReplayOtherLines(const ReplaySummary& s);

// The lines below the head, CR LF after each, the Result line last; only
// the Result line when no rows were loaded (a file that cannot be read, a
// bad option).
std::string ReplayReportLines(const ReplaySummary& s);

// What a replay sends, said when it starts: "trace.csv: 2 runs; run 2: 41
// analysis rows and 10 main rows; sending the 10 main rows over 3.2 s
// (after gap cutting)."
std::string ReplayPlanText(const std::string& fileName, const TracePick& pick, std::uint64_t rows, std::int64_t lengthUs);

// The Result line alone, without its CR LF.
std::string ReplayResultText(const ReplaySummary& s);

// 0 replayed (ending within one line of a sound handler where the unit
// allows), 1 replayed but ended further off or did not move sideways, 2
// could not replay, 4 replayed but where the target ended could not be read
// or it was still moving (inconclusive). Writing the report failing (3) is
// the writer's to decide.
int ReplayExitCode(const ReplaySummary& s);

// What the progress line shows of a replay.
struct ReplayProgress {
    enum class Phase { Reading, Sending, Waiting } phase = Phase::Reading;
    std::uint64_t sent = 0, events = 0;
    std::int64_t elapsedMs = 0, lengthUs = 0;  // since the first event, and the schedule's whole length
    TracePick pick;  // once the trace is read: what is sent from which run
};

// "Reading the trace", "Replaying: 812 of 1500 events sent, 7 of 12 s"
// (from an hour on, "0:59:07 of 1:02:07"), "Waiting for the target to come
// to rest".
std::string ReplayProgressText(const ReplayProgress& progress);

// The trace file: its header line, then one line per event sent; times in
// microseconds since the replay began, printed as ms with three decimals;
// no position when it was not read. Each with its CR LF.
std::string ReplayTraceHeader();
void AppendReplayTraceLine(std::string& out, std::uint64_t seq, std::int64_t scheduledUs, std::int64_t sentUs,
                           WheelAxis axis, std::int16_t delta, std::optional<std::int64_t> position);

}  // namespace nl
