// Turns what the window side gathered about one wheel event into its stored
// form: numbers it and keeps the per-(vantage, axis) state behind the
// interval, accumulated, carry and bounce columns.
#pragma once

#include <cstdint>
#include <optional>

#include "common/wheel/stored_event.h"
#include "common/wheel/wheel_handlers.h"

namespace nl {

// The raw inputs of one event, as queried on entry to the procedure (or in
// the hook, or from WM_INPUT). Nothing here is computed. Fields a row kind
// leaves empty are ignored by the recorder, so the caller may fill them all:
// sent rows drop msgTime, extraInfo, pos and the window under the point; hook rows keys and
// device; raw rows keys, the point and the source (always raw).
struct WheelSample {
    Vantage vantage = Vantage::Main;
    WheelAxis axis = WheelAxis::V;
    std::int16_t delta = 0;
    std::int64_t ticks = 0;  // performance-counter ticks since the first reading
    std::int64_t ticksPerSecond = 1;
    InputSource source = InputSource::Unknown;
    std::optional<std::uint32_t> msgTime;
    std::optional<std::uint32_t> extraInfo;  // low 32 bits
    std::uint16_t keys = 0;                  // the message's key-state word
    bool ctrlDown = false, shiftDown = false;
    std::optional<Point16> point;     // lParam's words (x, y)
    std::optional<Point16> position;  // GetMessagePos (pos_x, pos_y)
    std::optional<std::uint32_t> underPoint;
    std::uint16_t device = 0;  // index into DeviceNames; raw rows only
};

// ticks × 1000000 / ticksPerSecond, truncated, without overflow; 0 for a
// negative count or a non-positive frequency.
std::int64_t TimeUs(std::int64_t ticks, std::int64_t ticksPerSecond);

// Clearing the view does not touch the recorder.
class WheelRecorder {
public:
    // Lines per notch (kWheelPageStep: a page) and characters per notch.
    explicit WheelRecorder(std::int32_t linesV = 3, std::int32_t charsH = 1);
    // A changed step resets the carries of that axis at every vantage.
    void SetSteps(std::int32_t linesV, std::int32_t charsH);
    StoredEvent Record(const WheelSample& sample);
    // The row for hook events the queue had no room for.
    StoredEvent RecordLost(std::uint64_t count, std::int64_t ticks, std::int64_t ticksPerSecond);

private:
    struct AxisState {
        Accumulator acc;
        std::int64_t prevTimeUs = StoredEvent::kNoInterval;
        int nonZeroSeen = 0;             // how many of the two below are set
        std::int16_t nonZero[2] = {};    // the previous two non-zero deltas, newest first
        std::int64_t nonZeroTimeUs = 0;  // the time of the newest of them
    };
    std::int32_t& StepOf(WheelAxis axis) { return axis == WheelAxis::V ? linesV_ : charsH_; }
    StoredEvent Numbered();

    std::uint64_t seq_ = 0;
    std::int32_t linesV_, charsH_;
    AxisState state_[4][2];
};

}  // namespace nl
