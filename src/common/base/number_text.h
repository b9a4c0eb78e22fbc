// Word splits, number texts and the time stamp shared by the whole program.
#pragma once

#include <cstdint>
#include <string>

namespace nl {

// The high 16 bits of a Long, as a signed Integer (arithmetic shift by 16).
inline std::int16_t HiWord(std::int32_t v) {
    return static_cast<std::int16_t>(static_cast<std::uint32_t>(v) >> 16);
}
// The low 16 bits of a Long, sign-extended.
inline std::int16_t LoWord(std::int32_t v) {
    return static_cast<std::int16_t>(static_cast<std::uint32_t>(v) & 0xFFFFu);
}

// "-" for a negative value, then the digits; no leading zeros or blanks.
std::string DecText(std::int64_t v);
void AppendDec(std::string& out, std::int64_t v);
// Upper-case hex digits without leading zeros ("0" for zero); a negative
// value gives its 8-digit two's complement.
std::string HexText(std::int32_t v);
void AppendHex(std::string& out, std::int32_t v);

// A local time of day, as the log lines and the panels print it.
struct ClockTime {
    int hour = 0, minute = 0, second = 0;
};
// "hh:nn:ss" on the 24-hour clock.
void AppendTimeStamp(std::string& out, const ClockTime& t);

// Lines of the panel texts and of the copied log are joined by CR LF.
extern const char* const kCrLf;

}  // namespace nl
