#include "common/wheel/wheel_recorder.h"

namespace nl {

namespace {

constexpr std::int64_t kBounceWindowUs = 40000;

int Sign(std::int64_t v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// A query's answer, kept in the event and marked as known.
template <typename T>
void Keep(StoredEvent& e, T& field, const std::optional<T>& answer, StoredEvent::Flag known) {
    if (!answer) return;
    field = *answer;
    e.flags |= known;
}

}  // namespace

std::int64_t TimeUs(std::int64_t ticks, std::int64_t ticksPerSecond) {
    if (ticks <= 0 || ticksPerSecond <= 0) return 0;
    return (ticks / ticksPerSecond) * 1000000 + (ticks % ticksPerSecond) * 1000000 / ticksPerSecond;
}

WheelRecorder::WheelRecorder(std::int32_t linesV, std::int32_t charsH) : linesV_(linesV), charsH_(charsH) {}

void WheelRecorder::SetSteps(std::int32_t linesV, std::int32_t charsH) {
    for (auto& vantage : state_) {
        if (linesV != linesV_) vantage[0].acc.carry = 0;
        if (charsH != charsH_) vantage[1].acc.carry = 0;
    }
    linesV_ = linesV;
    charsH_ = charsH;
}

StoredEvent WheelRecorder::Numbered() {
    StoredEvent e;
    e.SetSeq(++seq_);
    return e;
}

StoredEvent WheelRecorder::Record(const WheelSample& s) {
    StoredEvent e = Numbered();
    const bool raw = s.vantage == Vantage::Raw;
    const bool hook = s.vantage == Vantage::Hook;
    const InputSource source = raw ? InputSource::Raw : s.source;
    const bool sent = source == InputSource::Sent;
    AxisState& st = state_[static_cast<int>(s.vantage) & 3][static_cast<int>(s.axis) & 1];

    e.SetKind(s.vantage, s.axis, source);
    e.delta = s.delta;
    e.step = StepOf(s.axis);
    const std::int64_t timeUs = TimeUs(s.ticks, s.ticksPerSecond);
    e.SetTimeUs(timeUs);
    if (st.prevTimeUs != StoredEvent::kNoInterval) e.SetIntervalUs(timeUs - st.prevTimeUs);
    st.prevTimeUs = timeUs;

    e.SetAccumulated(st.acc.Add(s.delta, e.step));
    e.carry = static_cast<std::int8_t>(st.acc.carry);

    // Bounce: the two previous non-zero deltas agree in sign, this one turns
    // back within the window after the newer of them.
    if (s.delta != 0) {
        const int sign = Sign(s.delta);
        if (st.nonZeroSeen == 2 && Sign(st.nonZero[0]) == Sign(st.nonZero[1]) && Sign(st.nonZero[0]) != sign &&
            timeUs - st.nonZeroTimeUs < kBounceWindowUs)
            e.flags |= StoredEvent::kBounce;
        st.nonZero[1] = st.nonZero[0];
        st.nonZero[0] = s.delta;
        st.nonZeroTimeUs = timeUs;
        if (st.nonZeroSeen < 2) ++st.nonZeroSeen;
    }

    if (!raw && !hook) {
        e.keys = s.keys;
        if (((s.keys & 0x0008) != 0) != s.ctrlDown) e.flags |= StoredEvent::kCtrlMismatch;
        if (((s.keys & 0x0004) != 0) != s.shiftDown) e.flags |= StoredEvent::kShiftMismatch;
    }
    if (raw) e.device = s.device;
    if (!raw) Keep(e, e.point, s.point, StoredEvent::kHasPoint);
    if (sent) return e;  // the remaining queries describe another message
    Keep(e, e.msgTime, s.msgTime, StoredEvent::kHasMsgTime);
    Keep(e, e.extraInfo, s.extraInfo, StoredEvent::kHasExtraInfo);
    Keep(e, e.position, s.position, StoredEvent::kHasPosition);
    Keep(e, e.underPoint, s.underPoint, StoredEvent::kHasUnderPoint);
    return e;
}

StoredEvent WheelRecorder::RecordLost(std::uint64_t count, std::int64_t ticks, std::int64_t ticksPerSecond) {
    StoredEvent e = Numbered();
    e.SetKind(Vantage::Hook, WheelAxis::V, InputSource::Lost);
    e.SetTimeUs(TimeUs(ticks, ticksPerSecond));
    e.SetAccumulated(static_cast<std::int64_t>(count));
    return e;
}

}  // namespace nl
