// One recorded wheel event: what the window side gathers for it, the compact
// form kept in memory, and its CSV row. Everything a row prints is computed
// here, once, when the event is recorded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace nl {

// The CSV header without its line end. The second line holds the capture
// columns; without them, drop that line and set kWheelCsvColumns to 23.
inline constexpr char kWheelCsvHeader[] =
    "seq,time_ms,msg_time,interval_ms,window,axis,delta,notches,step,truncated,rounded,accumulated,carry,source,"
    "extra_info,pen_touch,keys,key_mismatch,x,y,pos_x,pos_y,bounce"
    ",target,device";
inline constexpr int kWheelCsvColumns = 25;

constexpr int CountCsvFields(const char* s) {
    int n = 1;
    for (; *s != '\0'; ++s) n += *s == ',' ? 1 : 0;
    return n;
}
static_assert(CountCsvFields(kWheelCsvHeader) == kWheelCsvColumns, "header and column count disagree");

// The columns in header order.
enum WheelCsvColumn : int {
    kColSeq, kColTimeMs, kColMsgTime, kColInterval, kColWindow, kColAxis, kColDelta, kColNotches, kColStep,
    kColTruncated, kColRounded, kColAccumulated, kColCarry, kColSource, kColExtraInfo, kColPenTouch, kColKeys,
    kColKeyMismatch, kColX, kColY, kColPosX, kColPosY, kColBounce, kColTarget, kColDevice
};

// The header's name of column 0..kWheelCsvColumns-1 (for list view titles).
std::string WheelCsvColumnName(int column);

// Which window procedure (or capture source) saw the event.
enum class WheelWindow : std::uint8_t { Main, Analysis, Hook, Raw };
// Its name in the CSV's window column and the summary ("main", "raw").
const char* WheelWindowName(WheelWindow w);
// V: WM_MOUSEWHEEL; H: WM_MOUSEHWHEEL (positive = right).
enum class WheelAxis : std::uint8_t { V, H };
// Where the input came from. Lost only marks the row that counts hook events
// the queue had no room for; a sample never carries it.
enum class InputSource : std::uint8_t { Hardware, Injected, System, Posted, Sent, Unknown, Raw, Lost };

// The source of a message that reached a window procedure: sent when
// InSendMessage is true, else by GetCurrentInputMessageSource's origin (1
// hardware, 2 injected, 4 system, 0 posted); no origin (the function missing
// or failing) or another value is unknown.
InputSource SourceOfMessage(bool inSendMessage, std::optional<std::uint32_t> origin);

// The scroll-lines value that means "a page per notch".
constexpr std::int32_t kWheelPageStep = -1;
// The pen and touch signature in the upper 24 bits of the extra information.
constexpr std::uint32_t kPenTouchSignature = 0xFF515700u;

struct Point16 {
    std::int16_t x = 0, y = 0;
};

// A point packed in two signed words, x in the low one (a wheel message's
// lParam, GetMessagePos).
inline Point16 PointFromWords(std::uint32_t v) {
    return Point16{static_cast<std::int16_t>(v & 0xFFFF), static_cast<std::int16_t>(v >> 16)};
}

// The raw inputs of one event, as queried on entry to the procedure (or in
// the hook, or from WM_INPUT). Nothing here is computed. Fields a row kind
// leaves empty are ignored by the recorder, so the caller may fill them all:
// sent rows drop msgTime, extraInfo, pos and target; hook rows keys and
// device; raw rows keys, the point and the source (always raw).
struct WheelSample {
    WheelWindow window = WheelWindow::Main;
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
    std::optional<std::uint32_t> target;
    std::uint16_t device = 0;  // index into DeviceNames; raw rows only
};

// The compact stored form: only what the row needs, 56 bytes. truncated and
// rounded are recomputed from delta and step when printed; the time, the
// interval and the accumulated lines are kept in 48 bits each (about 8.9
// years of microseconds; the largest accumulated value is below 2^41).
struct StoredEvent {
    enum Flag : std::uint8_t {
        kBounce = 1,
        kCtrlMismatch = 2,
        kShiftMismatch = 4,
        kHasMsgTime = 8,
        kHasExtraInfo = 16,
        kHasPoint = 32,
        kHasPosition = 64,
        kHasTarget = 128,
    };
    static constexpr std::int64_t kNoInterval = -(std::int64_t{1} << 47);

    StoredEvent() { SetIntervalUs(kNoInterval); }

    std::int64_t TimeUs() const { return Get48(kTime); }
    std::int64_t IntervalUs() const { return Get48(kInterval); }  // kNoInterval for the first
    std::int64_t Accumulated() const { return Get48(kAccumulated); }  // a lost row: the number lost
    void SetTimeUs(std::int64_t v) { Set48(kTime, v); }
    void SetIntervalUs(std::int64_t v) { Set48(kInterval, v); }
    void SetAccumulated(std::int64_t v) { Set48(kAccumulated, v); }

    WheelWindow Window() const { return static_cast<WheelWindow>(kind & 3); }
    WheelAxis Axis() const { return static_cast<WheelAxis>((kind >> 2) & 1); }
    InputSource Source() const { return static_cast<InputSource>((kind >> 3) & 7); }
    bool Has(Flag f) const { return (flags & f) != 0; }
    std::uint64_t Seq() const { return static_cast<std::uint64_t>(seqHigh) << 32 | seq; }
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
    std::uint32_t target = 0;
    std::int16_t delta = 0;
    std::uint16_t keys = 0;
    Point16 point, position;
    std::uint16_t device = 0;
private:
    std::uint16_t hi_[3] = {};  // and their high words
public:
    std::int8_t carry = 0;  // the carry in 1/120 units, |carry| < 120
    std::uint8_t kind = 0;  // window in bits 0-1, axis in bit 2, source in bits 3-5
    std::uint8_t flags = 0;
    std::uint8_t seqHigh = 0;
};
static_assert(sizeof(StoredEvent) <= 56, "a stored event must stay small: a million are kept");

// Raw input devices by index (0 = handle 0 without a name), filled by the
// window side the first time a device is seen.
class DeviceNames {
public:
    DeviceNames();
    // The device's index, adding it with this name when its handle is new.
    // Commas in the name become semicolons, line breaks blanks.
    std::uint16_t Intern(std::uint32_t handle, const std::string& name);
    std::optional<std::uint16_t> Find(std::uint32_t handle) const;
    // The device column: eight hex digits, then a blank and the name if any.
    void AppendField(std::string& out, std::uint16_t index) const;

private:
    struct Entry {
        std::uint32_t handle;
        std::string name;
    };
    std::vector<Entry> entries_;
    std::unordered_map<std::uint32_t, std::uint16_t> byHandle_;
};

// --- the arithmetic behind the columns, in 64-bit integers ---

// ticks × 1000000 / ticksPerSecond, truncated, without overflow; 0 for a
// negative count or a non-positive frequency.
std::int64_t TimeUs(std::int64_t ticks, std::int64_t ticksPerSecond);
// Microseconds as milliseconds with exactly three decimals ("-" if negative).
void AppendMs(std::string& out, std::int64_t us);
// v / 120 to three decimals, rounded to nearest; never "-0.000".
void AppendPer120(std::string& out, std::int64_t v);
// The step a handler multiplies by: a page per notch counts as 1, any
// other value as it is (a negative one scrolls against the wheel).
std::int64_t EffectiveStep(std::int32_t step);
std::int64_t TruncatedScroll(std::int16_t delta, std::int32_t step);
std::int64_t RoundedScroll(std::int16_t delta, std::int32_t step);  // halves to even

// The accumulating handler's state for one (window, axis).
struct Accumulator {
    std::int64_t carry = 0;  // in 1/120 units
    int lastSign = 0;        // of the previous non-zero delta
    // The lines to scroll now; the remainder stays in the carry.
    std::int64_t Add(std::int16_t delta, std::int32_t step);
};

// Numbers each event and keeps the per-(window, axis) state behind
// interval, accumulated, carry and bounce. Clearing the view does not touch it.
class WheelRecorder {
public:
    explicit WheelRecorder(std::int32_t linesV = 3, std::int32_t charsH = 1);
    // A changed step resets the carries of that axis in every window.
    void SetSteps(std::int32_t linesV, std::int32_t charsH);
    StoredEvent Record(const WheelSample& sample);
    // The row for hook events the queue had no room for.
    StoredEvent RecordLost(std::uint64_t count, std::int64_t ticks, std::int64_t ticksPerSecond);
    std::uint64_t LastSeq() const { return seq_; }

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

// One CSV field (no comma, no line end) of column 0..kWheelCsvColumns-1.
void AppendCsvField(std::string& out, const StoredEvent& e, int column, const DeviceNames& devices);
std::string CsvField(const StoredEvent& e, int column, const DeviceNames& devices);
// The whole row and its CR LF, built from the same fields.
void AppendCsvRow(std::string& out, const StoredEvent& e, const DeviceNames& devices);

}  // namespace nl
