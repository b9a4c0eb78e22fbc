#include "common/wheel/wheel_csv.h"

#include "common/base/number_text.h"
#include "common/wheel/wheel_handlers.h"

namespace nl {

namespace {

// Fixed-width upper-case hex, leading zeros kept.
void AppendHexWidth(std::string& out, std::uint32_t v, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out.push_back(kDigits[(v >> shift) & 0xF]);
}

// The device column: eight hex digits, then a blank and the name if any.
void AppendDevice(std::string& out, const DeviceNames& devices, std::uint16_t index) {
    AppendHexWidth(out, devices.Handle(index), 8);
    if (!devices.Name(index).empty()) {
        out.push_back(' ');
        out += devices.Name(index);
    }
}

}  // namespace

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
    if (r == 2 || r == -2) q += r > 0 ? 1 : -1;
    AppendMs(out, q);  // q == 0 prints "0.000"
}



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
        case kColWindow: out += VantageName(e.SeenFrom()); break;
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
        case kColSource: out += InputSourceName(e.Source()); break;
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
        case kColUnderPoint:
            if (e.Has(StoredEvent::kHasUnderPoint)) AppendHexWidth(out, e.underPoint, 8);
            break;
        case kColDevice:
            if (e.SeenFrom() == Vantage::Raw) AppendDevice(out, devices, e.device);
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
