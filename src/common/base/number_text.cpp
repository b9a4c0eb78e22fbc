#include "common/base/number_text.h"

namespace nl {

const char* const kCrLf = "\r\n";

void AppendDec(std::string& out, std::int64_t v) {
    char buf[24];
    int n = 0;
    // Work on the magnitude as unsigned so the most negative value is fine.
    std::uint64_t m = v < 0 ? 0u - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    do {
        buf[n++] = static_cast<char>('0' + m % 10);
        m /= 10;
    } while (m != 0);
    if (v < 0) out.push_back('-');
    while (n > 0) out.push_back(buf[--n]);
}

std::string DecText(std::int64_t v) {
    std::string s;
    AppendDec(s, v);
    return s;
}

void AppendHex(std::string& out, std::int32_t v) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::uint32_t u = static_cast<std::uint32_t>(v);
    char buf[8];
    int n = 0;
    do {
        buf[n++] = kDigits[u & 0xF];
        u >>= 4;
    } while (u != 0);
    while (n > 0) out.push_back(buf[--n]);
}

std::string HexText(std::int32_t v) {
    std::string s;
    AppendHex(s, v);
    return s;
}

namespace {
void AppendTwoDigits(std::string& out, int v) {
    out.push_back(static_cast<char>('0' + (v / 10) % 10));
    out.push_back(static_cast<char>('0' + v % 10));
}
}  // namespace

void AppendTimeStamp(std::string& out, const ClockTime& t) {
    AppendTwoDigits(out, t.hour);
    out.push_back(':');
    AppendTwoDigits(out, t.minute);
    out.push_back(':');
    AppendTwoDigits(out, t.second);
}

}  // namespace nl
