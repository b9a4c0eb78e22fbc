#include "common/wheel_record.h"

#include "common/number_text.h"
#include "common/wheel.h"

namespace nl {

namespace {

constexpr std::int64_t kBounceWindowUs = 40000;

int Sign(std::int64_t v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// Fixed-width upper-case hex, leading zeros kept.
void AppendHexWidth(std::string& out, std::uint32_t v, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out.push_back(kDigits[(v >> shift) & 0xF]);
}

const char* SourceText(InputSource s) {
    static const char* const kTexts[] = {"hardware", "injected", "system", "posted", "sent", "unknown", "raw", "lost"};
    return kTexts[static_cast<int>(s) & 7];
}

std::uint8_t PackKind(WheelWindow w, WheelAxis a, InputSource s) {
    return static_cast<std::uint8_t>(static_cast<int>(w) | static_cast<int>(a) << 2 | static_cast<int>(s) << 3);
}

// A query's answer, kept in the event and marked as known.
template <typename T>
void Keep(StoredEvent& e, T& field, const std::optional<T>& answer, StoredEvent::Flag known) {
    if (!answer) return;
    field = *answer;
    e.flags |= known;
}

}  // namespace

const char* WheelWindowName(WheelWindow w) {
    static const char* const kNames[] = {"main", "analysis", "hook", "raw"};
    return kNames[static_cast<int>(w) & 3];
}

std::string WheelCsvColumnName(int column) {
    const std::string header = kWheelCsvHeader;
    std::size_t begin = 0;
    for (int i = 0; i < column; ++i) {
        begin = header.find(',', begin);
        if (begin == std::string::npos) return std::string();
        ++begin;
    }
    if (column < 0) return std::string();
    const std::size_t end = header.find(',', begin);
    return header.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

InputSource SourceOfMessage(bool inSendMessage, std::optional<std::uint32_t> origin) {
    if (inSendMessage) return InputSource::Sent;
    if (!origin) return InputSource::Unknown;
    switch (*origin) {
        case 0: return InputSource::Posted;
        case 1: return InputSource::Hardware;
        case 2: return InputSource::Injected;
        case 4: return InputSource::System;
        default: return InputSource::Unknown;
    }
}

// ---- devices ----

DeviceNames::DeviceNames() {
    entries_.push_back(Entry{0, std::string()});
    byHandle_.emplace(0u, std::uint16_t{0});
}

std::uint16_t DeviceNames::Intern(std::uint32_t handle, const std::string& name) {
    if (const auto found = Find(handle)) return *found;
    // Past 65535 devices (never in practice) the newest handle takes the last slot.
    if (entries_.size() > 0xFFFF) {
        byHandle_.erase(entries_.back().handle);
        entries_.pop_back();
    }
    std::string clean = name;
    for (char& c : clean) {
        if (c == ',') c = ';';
        if (c == '\r' || c == '\n') c = ' ';
    }
    const auto index = static_cast<std::uint16_t>(entries_.size());
    entries_.push_back(Entry{handle, std::move(clean)});
    byHandle_.emplace(handle, index);
    return index;
}

std::optional<std::uint16_t> DeviceNames::Find(std::uint32_t handle) const {
    const auto it = byHandle_.find(handle);
    if (it == byHandle_.end()) return std::nullopt;
    return it->second;
}

void DeviceNames::AppendField(std::string& out, std::uint16_t index) const {
    const Entry& e = index < entries_.size() ? entries_[index] : entries_[0];
    AppendHexWidth(out, e.handle, 8);
    if (!e.name.empty()) {
        out.push_back(' ');
        out += e.name;
    }
}

// ---- arithmetic ----

std::int64_t TimeUs(std::int64_t ticks, std::int64_t ticksPerSecond) {
    if (ticks <= 0 || ticksPerSecond <= 0) return 0;
    return (ticks / ticksPerSecond) * 1000000 + (ticks % ticksPerSecond) * 1000000 / ticksPerSecond;
}

void AppendMs(std::string& out, std::int64_t us) {
    std::uint64_t m = us < 0 ? 0u - static_cast<std::uint64_t>(us) : static_cast<std::uint64_t>(us);
    if (us < 0) out.push_back('-');
    AppendDec(out, static_cast<std::int64_t>(m / 1000));
    const auto frac = static_cast<unsigned>(m % 1000);
    out.push_back('.');
    out.push_back(static_cast<char>('0' + frac / 100));
    out.push_back(static_cast<char>('0' + frac / 10 % 10));
    out.push_back(static_cast<char>('0' + frac % 10));
}

void AppendPer120(std::string& out, std::int64_t v) {
    // Thousandths of v / 120 = v × 25 / 3; a remainder of 1/3 or 2/3 never ties.
    const std::int64_t scaled = v * 25;
    std::int64_t q = scaled / 3;
    const std::int64_t r = scaled % 3;
    if (r == 2 || r == -2) q += Sign(r);
    AppendMs(out, q);  // q == 0 prints "0.000"
}

std::int64_t EffectiveStep(std::int32_t step) { return step == kWheelPageStep ? 1 : step; }

std::int64_t TruncatedScroll(std::int16_t delta, std::int32_t step) { return (delta / 120) * EffectiveStep(step); }

std::int64_t RoundedScroll(std::int16_t delta, std::int32_t step) {
    return std::int64_t{RoundedPer120(delta)} * EffectiveStep(step);
}

std::int64_t Accumulator::Add(std::int16_t delta, std::int32_t step) {
    const int sign = Sign(delta);
    if (sign != 0) {
        if (lastSign != 0 && sign != lastSign) carry = 0;
        lastSign = sign;
    }
    carry += delta * EffectiveStep(step);
    const std::int64_t lines = carry / 120;
    carry -= lines * 120;
    return lines;
}

// ---- recorder ----

WheelRecorder::WheelRecorder(std::int32_t linesV, std::int32_t charsH) : linesV_(linesV), charsH_(charsH) {}

void WheelRecorder::SetSteps(std::int32_t linesV, std::int32_t charsH) {
    for (auto& window : state_) {
        if (linesV != linesV_) window[0].acc.carry = 0;
        if (charsH != charsH_) window[1].acc.carry = 0;
    }
    linesV_ = linesV;
    charsH_ = charsH;
}

StoredEvent WheelRecorder::Numbered() {
    StoredEvent e;
    ++seq_;
    e.seq = static_cast<std::uint32_t>(seq_);
    e.seqHigh = static_cast<std::uint8_t>(seq_ >> 32);
    return e;
}

StoredEvent WheelRecorder::Record(const WheelSample& s) {
    StoredEvent e = Numbered();
    const bool raw = s.window == WheelWindow::Raw;
    const bool hook = s.window == WheelWindow::Hook;
    const InputSource source = raw ? InputSource::Raw : s.source;
    const bool sent = source == InputSource::Sent;
    AxisState& st = state_[static_cast<int>(s.window) & 3][static_cast<int>(s.axis) & 1];

    e.kind = PackKind(s.window, s.axis, source);
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
    Keep(e, e.target, s.target, StoredEvent::kHasTarget);
    return e;
}

StoredEvent WheelRecorder::RecordLost(std::uint64_t count, std::int64_t ticks, std::int64_t ticksPerSecond) {
    StoredEvent e = Numbered();
    e.kind = PackKind(WheelWindow::Hook, WheelAxis::V, InputSource::Lost);
    e.SetTimeUs(TimeUs(ticks, ticksPerSecond));
    e.SetAccumulated(static_cast<std::int64_t>(count));
    return e;
}

// ---- the row ----

void AppendCsvField(std::string& out, const StoredEvent& e, int column, const DeviceNames& devices) {
    const bool lost = e.IsLost();
    // Columns from axis to bounce are empty in a lost row, except delta and source.
    if (lost && column >= kColAxis && column <= kColBounce && column != kColDelta && column != kColSource) return;
    switch (column) {
        case kColSeq: AppendDec(out, static_cast<std::int64_t>(e.Seq())); break;
        case kColTimeMs: AppendMs(out, e.TimeUs()); break;
        case kColMsgTime:
            if (e.Has(StoredEvent::kHasMsgTime)) AppendDec(out, e.msgTime);
            break;
        case kColInterval:
            if (e.IntervalUs() != StoredEvent::kNoInterval) AppendMs(out, e.IntervalUs());
            break;
        case kColWindow: out += WheelWindowName(e.Window()); break;
        case kColAxis: out.push_back(e.Axis() == WheelAxis::V ? 'V' : 'H'); break;
        case kColDelta: AppendDec(out, lost ? e.Accumulated() : e.delta); break;
        case kColNotches: AppendPer120(out, e.delta); break;
        case kColStep:
            if (e.step == kWheelPageStep)
                out += "page";
            else
                AppendDec(out, e.step);
            break;
        case kColTruncated: AppendDec(out, TruncatedScroll(e.delta, e.step)); break;
        case kColRounded: AppendDec(out, RoundedScroll(e.delta, e.step)); break;
        case kColAccumulated: AppendDec(out, e.Accumulated()); break;
        case kColCarry: AppendPer120(out, e.carry); break;
        case kColSource: out += SourceText(e.Source()); break;
        case kColExtraInfo:
            if (e.Has(StoredEvent::kHasExtraInfo)) AppendHexWidth(out, e.extraInfo, 8);
            break;
        case kColPenTouch:
            if (e.Has(StoredEvent::kHasExtraInfo))
                out.push_back((e.extraInfo & 0xFFFFFF00u) == kPenTouchSignature ? '1' : '0');
            break;
        case kColKeys: AppendHexWidth(out, e.keys, 4); break;
        case kColKeyMismatch: {
            const bool ctrl = e.Has(StoredEvent::kCtrlMismatch), shift = e.Has(StoredEvent::kShiftMismatch);
            out += ctrl ? (shift ? "ctrl+shift" : "ctrl") : (shift ? "shift" : "");
            break;
        }
        case kColX:
        case kColY:
            if (e.Has(StoredEvent::kHasPoint)) AppendDec(out, column == kColX ? e.point.x : e.point.y);
            break;
        case kColPosX:
        case kColPosY:
            if (e.Has(StoredEvent::kHasPosition)) AppendDec(out, column == kColPosX ? e.position.x : e.position.y);
            break;
        case kColBounce: out.push_back(e.Has(StoredEvent::kBounce) ? '1' : '0'); break;
        case kColTarget:
            if (e.Has(StoredEvent::kHasTarget)) AppendHexWidth(out, e.target, 8);
            break;
        case kColDevice:
            if (e.Window() == WheelWindow::Raw) devices.AppendField(out, e.device);
            break;
        default: break;
    }
}

std::string CsvField(const StoredEvent& e, int column, const DeviceNames& devices) {
    std::string s;
    AppendCsvField(s, e, column, devices);
    return s;
}

void AppendCsvRow(std::string& out, const StoredEvent& e, const DeviceNames& devices) {
    for (int column = 0; column < kWheelCsvColumns; ++column) {
        if (column > 0) out.push_back(',');
        AppendCsvField(out, e, column, devices);
    }
    out += kCrLf;
}

}  // namespace nl
