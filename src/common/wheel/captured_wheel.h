// What capture hands the recording, apart from the system calls that gather
// it: the hook's events as they wait in the queue, the count of those the
// queue had no room for, and the wheels of one raw input record.
#pragma once

#include <cstdint>

#include "common/base/spsc_queue.h"
#include "common/wheel/wheel_recorder.h"

namespace nl {

// A wheel event as the low-level hook saw it, copied as it was.
struct HookedWheel {
    std::int64_t ticks = 0;  // the performance counter in the hook
    std::uint32_t time = 0;
    std::uint32_t extraInfo = 0;
    std::int32_t x = 0, y = 0;
    std::int16_t delta = 0;
    bool horizontal = false;
    bool injected = false;
};
using HookQueue = SpscQueue<HookedWheel, 16384>;

// The sample of a hooked event (its ticks still absolute); a point beyond
// the 16-bit range is clamped to it.
WheelSample SampleOfHooked(const HookedWheel& h);

// Hands every event the queue holds to `event`, oldest first, then the
// count of those lost since the last drain, if any, to `lost` (one row).
template <typename Queue, typename OnEvent, typename OnLost>
void DrainHooked(Queue& queue, OnEvent&& event, OnLost&& lost) {
    for (HookedWheel h; queue.TryPop(h);) {
        WheelSample s = SampleOfHooked(h);
        event(s);
    }
    if (const std::uint32_t count = queue.TakeLost()) lost(count);
}

// Raw input's button flags for the two wheels.
constexpr std::uint16_t kRawWheelFlag = 0x0400, kRawHWheelFlag = 0x0800;

// The wheels one raw mouse record carries, by its button flags; the button
// data is the delta of each. Writes a copy of `base` per wheel to `out`,
// the vertical one first, and returns how many (0 for motion, buttons or an
// empty record).
int RawWheelSamples(std::uint16_t buttonFlags, std::int16_t buttonData, const WheelSample& base, WheelSample out[2]);

}  // namespace nl
