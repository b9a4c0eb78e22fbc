// One recorded wheel event in the compact form kept in memory (a million of
// them fit in 56 MB), and the names of the vantage points and input sources
// it carries.
#pragma once

#include <cstdint>
#include <optional>

namespace nl {

// Where the program stood when it saw the event: the window procedure of
// the main or the analysis window, or one of the two capture sources.
enum class Vantage : std::uint8_t { Main, Analysis, Hook, Raw };
// V: WM_MOUSEWHEEL; H: WM_MOUSEHWHEEL (positive = right).
enum class WheelAxis : std::uint8_t { V, H };
// Where the input came from. Lost only marks the row that counts hook events
// the queue had no room for; a sample never carries it.
enum class InputSource : std::uint8_t { Hardware, Injected, System, Posted, Sent, Unknown, Raw, Lost };

// Their names in the CSV and the summary ("main", "raw"; "injected", "lost").
const char* VantageName(Vantage v);
const char* InputSourceName(InputSource s);

// The source of a message that reached a window procedure: sent when
// InSendMessage is true, else by GetCurrentInputMessageSource's origin (1
// hardware, 2 injected, 4 system, 0 posted); no origin (the function missing
// or failing) or another value is unknown.
InputSource SourceOfMessage(bool inSendMessage, std::optional<std::uint32_t> origin);

struct Point16 {
    std::int16_t x = 0, y = 0;
};

// A point packed in two signed words, x in the low one (a wheel message's
// lParam, GetMessagePos).
inline Point16 PointFromWords(std::uint32_t v) {
    return Point16{static_cast<std::int16_t>(v & 0xFFFF), static_cast<std::int16_t>(v >> 16)};
}

// Only what the row needs: truncated and rounded are recomputed from delta
// and step when printed; the time, the interval and the accumulated lines
// are kept in 48 bits each (about 8.9 years of microseconds; the largest
// accumulated value is below 2^40).
struct StoredEvent {
    enum Flag : std::uint8_t {
        kBounce = 1,
        kCtrlMismatch = 2,
        kShiftMismatch = 4,
        kHasMsgTime = 8,
        kHasExtraInfo = 16,
        kHasPoint = 32,
        kHasPosition = 64,
        kHasUnderPoint = 128,
    };
    static constexpr std::int64_t kNoInterval = -(std::int64_t{1} << 47);

    StoredEvent() { SetIntervalUs(kNoInterval); }

    std::int64_t TimeUs() const { return Get48(kTime); }
    std::int64_t IntervalUs() const { return Get48(kInterval); }  // kNoInterval for the first
    std::int64_t Accumulated() const { return Get48(kAccumulated); }  // a lost row: the number lost
    void SetTimeUs(std::int64_t v) { Set48(kTime, v); }
    void SetIntervalUs(std::int64_t v) { Set48(kInterval, v); }
    void SetAccumulated(std::int64_t v) { Set48(kAccumulated, v); }

    void SetKind(Vantage v, WheelAxis a, InputSource s) {
        kind = static_cast<std::uint8_t>(static_cast<int>(v) | static_cast<int>(a) << 2 | static_cast<int>(s) << 3);
    }
    Vantage SeenFrom() const { return static_cast<Vantage>(kind & 3); }
    WheelAxis Axis() const { return static_cast<WheelAxis>((kind >> 2) & 1); }
    InputSource Source() const { return static_cast<InputSource>((kind >> 3) & 7); }
    bool Has(Flag f) const { return (flags & f) != 0; }
    std::uint64_t Seq() const { return static_cast<std::uint64_t>(seqHigh) << 32 | seq; }
    void SetSeq(std::uint64_t n) {
        seq = static_cast<std::uint32_t>(n);
        seqHigh = static_cast<std::uint8_t>(n >> 32);
    }
    bool IsLost() const { return Source() == InputSource::Lost; }

private:
    enum Wide { kTime, kInterval, kAccumulated };
    std::int64_t Get48(Wide i) const {
        const std::uint64_t u = static_cast<std::uint64_t>(hi_[i]) << 32 | lo_[i];
        return static_cast<std::int64_t>(u) - ((u >> 47) != 0 ? (std::int64_t{1} << 48) : 0);
    }
    // Values beyond 48 bits are clamped (none occur).
    void Set48(Wide i, std::int64_t v) {
        const std::int64_t limit = std::int64_t{1} << 47;
        v = v < -limit ? -limit : (v >= limit ? limit - 1 : v);
        const auto u = static_cast<std::uint64_t>(v);
        lo_[i] = static_cast<std::uint32_t>(u);
        hi_[i] = static_cast<std::uint16_t>(u >> 32);
    }

    // The members, in an order that packs them into 56 bytes without gaps.
    std::uint32_t lo_[3] = {};  // the 48-bit values' low words
public:
    std::uint32_t seq = 0;  // low 32 bits; seqHigh holds the next 8
    std::uint32_t msgTime = 0;
    std::uint32_t extraInfo = 0;
    std::int32_t step = 0;  // as the system or the legacy driver said, signed
    std::uint32_t underPoint = 0;
    std::int16_t delta = 0;
    std::uint16_t keys = 0;
    Point16 point, position;
    std::uint16_t device = 0;  // index into DeviceNames; raw rows only
private:
    std::uint16_t hi_[3] = {};  // and their high words
public:
    std::int8_t carry = 0;  // the carry in 1/120 units, |carry| < 120
    std::uint8_t kind = 0;  // vantage in bits 0-1, axis in bit 2, source in bits 3-5
    std::uint8_t flags = 0;
    std::uint8_t seqHigh = 0;
};
static_assert(sizeof(StoredEvent) <= 56, "a stored event must stay small: a million are kept");

}  // namespace nl
