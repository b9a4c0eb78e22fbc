// The --wheel-csv file's text: its header, and each stored event's row,
// computed from the event when printed.
#pragma once

#include <cstdint>
#include <string>

#include "common/wheel/device_names.h"
#include "common/wheel/stored_event.h"

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
    kColKeyMismatch, kColX, kColY, kColPosX, kColPosY, kColBounce, kColUnderPoint, kColDevice
};

// The header's name of column 0..kWheelCsvColumns-1 (for list view titles).
std::string WheelCsvColumnName(int column);

// The pen and touch signature in the upper 24 bits of the extra information.
constexpr std::uint32_t kPenTouchSignature = 0xFF515700u;

// Microseconds as milliseconds with exactly three decimals ("-" if negative).
void AppendMs(std::string& out, std::int64_t us);
// v / 120 to three decimals, rounded to nearest; never "-0.000".
void AppendPer120(std::string& out, std::int64_t v);

// One CSV field (no comma, no line end) of column 0..kWheelCsvColumns-1.
void AppendCsvField(std::string& out, const StoredEvent& e, int column, const DeviceNames& devices);
std::string CsvField(const StoredEvent& e, int column, const DeviceNames& devices);
// The whole row and its CR LF, built from the same fields.
void AppendCsvRow(std::string& out, const StoredEvent& e, const DeviceNames& devices);

}  // namespace nl
