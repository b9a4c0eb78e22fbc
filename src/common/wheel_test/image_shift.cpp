#include "common/wheel_test/image_shift.h"

#include <cstddef>

namespace nl {

namespace {

// Two 32-bit hashes side by side (32-bit multiplies are cheap on a 32-bit
// processor, 64-bit ones are not): one in the high half, one in the low.
constexpr std::uint64_t kHashStart = 0x811C9DC5'2545F491ull;

std::uint64_t Mix(std::uint64_t hash, std::uint32_t pixel) {
    const auto high = static_cast<std::uint32_t>(hash >> 32), low = static_cast<std::uint32_t>(hash);
    const std::uint32_t h = (high ^ pixel) * 16777619u;
    const std::uint32_t l = ((low << 5) | (low >> 27)) ^ (pixel * 0x9E3779B1u);
    return static_cast<std::uint64_t>(h) << 32 | l;
}

// The best shift may leave this share of its lines unmatched (a caret, a
// blinking cursor, a clock in a corner)...
constexpr double kMostUnmatched = 0.15;
// ...and every other shift must leave at least this much more unmatched.
constexpr double kClearMargin = 0.25;
// A shift that leaves this share unmatched can be neither: it is given up
// as soon as that is certain.
constexpr double kHopeless = kMostUnmatched + kClearMargin;

struct Fit {
    std::int32_t compared = 0;  // line pairs that tell something
    std::int32_t unmatched = 0;
    bool hopeless = false;
    double Share() const { return hopeless ? 1.0 : static_cast<double>(unmatched) / compared; }
};

Fit FitAt(const ImageLines& before, const ImageLines& after, std::int32_t shift) {
    const auto n = static_cast<std::int32_t>(after.hash.size());
    Fit fit;
    const std::int32_t first = shift < 0 ? -shift : 0;
    const std::int32_t end = shift > 0 ? n - shift : n;
    // More unmatched than this share of all pairs is more than that share of those that tell something.
    const auto mostUnmatched = static_cast<std::int32_t>(kHopeless * (end - first));
    for (std::int32_t i = first; i < end; ++i) {
        const auto a = static_cast<std::size_t>(i);
        const auto b = static_cast<std::size_t>(i + shift);
        const bool same = after.hash[a] == before.hash[b];
        if (same && after.plain[a] && before.plain[b]) continue;  // two alike plain lines say nothing
        ++fit.compared;
        if (!same && ++fit.unmatched > mostUnmatched) {
            fit.hopeless = true;
            break;
        }
    }
    return fit;
}

}  // namespace

ImageLines RowsOf(const PixelImage& image) {
    ImageLines lines;
    lines.lineLength = image.width;
    const auto w = static_cast<std::size_t>(image.width);
    for (std::size_t y = 0; y < static_cast<std::size_t>(image.height); ++y) {
        const std::uint32_t* row = image.pixels.data() + y * w;
        std::uint64_t hash = kHashStart;
        bool plain = true;
        for (std::size_t x = 0; x < w; ++x) {
            hash = Mix(hash, row[x]);
            plain = plain && row[x] == row[0];
        }
        lines.hash.push_back(hash);
        lines.plain.push_back(plain);
    }
    return lines;
}

ImageLines ColumnsOf(const PixelImage& image) {
    ImageLines lines;
    lines.lineLength = image.height;
    const auto w = static_cast<std::size_t>(image.width);
    lines.hash.assign(w, kHashStart);
    lines.plain.assign(w, true);
    // Row after row, so the pixels are read in the order they lie.
    for (std::size_t y = 0; y < static_cast<std::size_t>(image.height); ++y) {
        const std::uint32_t* row = image.pixels.data() + y * w;
        for (std::size_t x = 0; x < w; ++x) {
            lines.hash[x] = Mix(lines.hash[x], row[x]);
            if (lines.plain[x] && row[x] != image.pixels[x]) lines.plain[x] = false;
        }
    }
    return lines;
}

bool SameLines(const ImageLines& a, const ImageLines& b) { return a.lineLength == b.lineLength && a.hash == b.hash; }

std::optional<std::int32_t> LineShift(const ImageLines& before, const ImageLines& after) {
    const auto n = static_cast<std::int32_t>(after.hash.size());
    if (n == 0 || before.lineLength != after.lineLength || static_cast<std::int32_t>(before.hash.size()) != n)
        return std::nullopt;
    const std::int32_t leastOverlap = (n + 2) / 3;
    const std::int32_t farthest = n - leastOverlap;
    std::optional<std::int32_t> best;
    double bestShare = 2, runnerUpShare = 2;
    for (std::int32_t shift = -farthest; shift <= farthest; ++shift) {
        const Fit fit = FitAt(before, after, shift);
        if (fit.compared == 0) continue;
        const double share = fit.Share();
        if (share < bestShare) {
            runnerUpShare = bestShare;
            bestShare = share;
            best = shift;
        } else if (share < runnerUpShare) {
            runnerUpShare = share;
        }
    }
    if (!best || bestShare > kMostUnmatched || runnerUpShare < bestShare + kClearMargin) return std::nullopt;
    return best;
}

}  // namespace nl
