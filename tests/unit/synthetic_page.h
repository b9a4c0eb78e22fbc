// Pictures made up for the picture-reading tests: what a window shows at
// each content pixel, lines of "text" whose ink differs from line to line.
#pragma once

#include <cstdint>
#include <functional>

namespace nl::test {

constexpr std::uint32_t kPaper = 0xFFFFFF, kInk = 0x000000;

// A well-mixed hash of three numbers.
inline std::uint32_t Noise(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    return h ^ (h >> 13);
}

// What a window shows at content pixel (x, y).
using Page = std::function<std::uint32_t(std::int32_t x, std::int32_t y)>;

// Text lines 16 px apart: glyph rows of ink and paper from x = 4 up to a
// width of `least` px and up to `spread` more that differs from line to
// line, then plain paper.
inline std::uint32_t InkText(std::int32_t x, std::int32_t y, std::uint32_t least, std::uint32_t spread) {
    const auto line = static_cast<std::uint32_t>(y / 16);
    if (y % 16 >= 11 || x < 4 || x >= static_cast<std::int32_t>(least + Noise(line, 0, 0) % spread)) return kPaper;
    return Noise(line, static_cast<std::uint32_t>(y % 16), static_cast<std::uint32_t>(x / 2)) % 3 ? kPaper : kInk;
}

}  // namespace nl::test
