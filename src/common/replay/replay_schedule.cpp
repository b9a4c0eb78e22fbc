#include "common/replay/replay_schedule.h"

namespace nl {

ReplaySchedule MakeSchedule(const std::vector<TraceRow>& rows, std::int64_t maxGapMs, std::int32_t speedMilli) {
    ReplaySchedule s;
    s.dueUs.reserve(rows.size());
    const std::int64_t maxGapUs = maxGapMs * 1000;
    const std::int64_t speed = speedMilli > 0 ? speedMilli : kDefaultSpeedMilli;
    std::int64_t recorded = 0;  // the offset in recorded time, gaps cut
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) {
            std::int64_t gap = rows[i].timeUs - rows[i - 1].timeUs;
            if (maxGapUs > 0 && gap > maxGapUs) {
                ++s.gapsCut;
                s.removedUs += gap - maxGapUs;
                gap = maxGapUs;
            }
            recorded += gap;
        }
        s.dueUs.push_back((recorded * 1000 + speed / 2) / speed);
    }
    return s;
}

bool ReadsPositionAfter(const ReplaySchedule& s, std::size_t i) {
    constexpr std::int64_t kReadingRoomUs = 5000;
    return i + 1 >= s.dueUs.size() || s.dueUs[i + 1] - s.dueUs[i] >= kReadingRoomUs;
}

}  // namespace nl
