#include "common/wheel_test/image_shift.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <utility>

namespace nl {

namespace {

using Colours = std::array<std::int32_t, ImageLines::kColourClasses>;

// The top bit of red, green and blue: black and white, and most colours
// drawn side by side, fall in different classes.
std::uint32_t ColourClass(std::uint32_t p) { return ((p >> 21) & 4u) | ((p >> 14) & 2u) | ((p >> 7) & 1u); }

void Describe(ImageLines& out) {
    const auto w = static_cast<std::size_t>(out.lines.width), h = static_cast<std::size_t>(out.lines.height);
    out.hash.resize(h);
    out.colours.assign(h, Colours{});
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint32_t* line = out.lines.pixels.data() + y * w;
        std::uint32_t hash = 2166136261u;
        Colours& count = out.colours[y];
        for (std::size_t x = 0; x < w; ++x) {
            hash = (hash ^ line[x]) * 16777619u;
            ++count[ColourClass(line[x])];
        }
        out.hash[y] = hash;
    }
}

// A number for each line of both captures, `before`'s first: equal lines,
// and only equal lines, have the same number. Lines with the same hash are
// compared pixel by pixel.
std::vector<std::int32_t> LineIds(const ImageLines& before, const ImageLines& after) {
    const std::size_t n = before.hash.size(), w = static_cast<std::size_t>(before.lines.width);
    auto pixelsOf = [&](std::size_t line) {
        return line < n ? before.lines.pixels.data() + line * w : after.lines.pixels.data() + (line - n) * w;
    };
    std::vector<std::pair<std::uint32_t, std::size_t>> order;  // hash, line
    order.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) order.emplace_back(before.hash[i], i);
    for (std::size_t i = 0; i < n; ++i) order.emplace_back(after.hash[i], n + i);
    std::sort(order.begin(), order.end());
    std::vector<std::int32_t> ids(2 * n);
    std::vector<std::size_t> kinds;  // the first line of each kind among those of one hash
    std::int32_t next = 0;
    for (std::size_t g = 0; g < order.size(); ++g) {
        if (g == 0 || order[g].first != order[g - 1].first) kinds.clear();
        const std::size_t line = order[g].second;
        const auto same = std::find_if(kinds.begin(), kinds.end(), [&](std::size_t kind) {
            return std::equal(pixelsOf(line), pixelsOf(line) + w, pixelsOf(kind));
        });
        if (same != kinds.end()) {
            ids[line] = ids[*same];
        } else {
            ids[line] = next++;
            kinds.push_back(line);
        }
    }
    return ids;
}

// At least how many pixels two different lines differ in: each differing
// pixel changes the count of at most two colour classes, by one.
std::int32_t LeastDiffering(const Colours& a, const Colours& b) {
    std::int32_t sum = 0;
    for (int k = 0; k < ImageLines::kColourClasses; ++k) sum += std::abs(a[static_cast<std::size_t>(k)] - b[static_cast<std::size_t>(k)]);
    return std::max(1, sum / 2);
}

// Differing pixels of two lines, counted until there are more than `most`.
std::int64_t Differing(const std::uint32_t* a, const std::uint32_t* b, std::int32_t w, std::int64_t most) {
    std::int64_t count = 0;
    for (std::int32_t x = 0; x < w;) {
        const std::int32_t stop = std::min(w, x + 64);
        std::int32_t chunk = 0;
        for (; x < stop; ++x) chunk += a[x] != b[x];
        count += chunk;
        if (count > most) break;
    }
    return count;
}

class Matcher {
public:
    Matcher(const ImageLines& before, const ImageLines& after)
        : before_(before), after_(after), ids_(LineIds(before, after)), n_(after.lines.height), w_(after.lines.width) {}

    bool Identical() const { return std::equal(ids_.begin(), ids_.begin() + n_, ids_.begin() + n_); }

    // At most 1% of the pixels shared at `shift` differ. Cheap bounds first
    // (lines with the same number, then each pair's colour counts); pixel
    // by pixel only while the budget is not yet spent.
    bool Matches(std::int32_t shift) {
        const std::int32_t first = shift < 0 ? -shift : 0, end = shift > 0 ? n_ - shift : n_;
        const std::int64_t budget = static_cast<std::int64_t>(end - first) * w_ / 100;
        pairs_.clear();
        std::int64_t least = 0;
        for (std::int32_t i = first; i < end; ++i) {
            const auto a = static_cast<std::size_t>(i), b = static_cast<std::size_t>(i + shift);
            if (ids_[static_cast<std::size_t>(n_) + a] == ids_[b]) continue;
            const std::int32_t l = LeastDiffering(after_.colours[a], before_.colours[b]);
            if ((least += l) > budget) return false;
            pairs_.emplace_back(i, l);
        }
        // `least` stays a lower bound: each pair's own bound is replaced by its count.
        for (const auto& [i, l] : pairs_) {
            const std::uint32_t* a = after_.lines.pixels.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(w_);
            const std::uint32_t* b = before_.lines.pixels.data() + static_cast<std::size_t>(i + shift) * static_cast<std::size_t>(w_);
            if ((least += Differing(a, b, w_, budget - least + l) - l) > budget) return false;
        }
        return true;
    }

private:
    const ImageLines& before_;
    const ImageLines& after_;
    std::vector<std::int32_t> ids_;
    std::int32_t n_, w_;
    std::vector<std::pair<std::int32_t, std::int32_t>> pairs_;  // lines of `after` unlike their pair, and the bound
};

PictureShift Unmeasured(PictureProblem problem, std::int32_t period = 0) { return PictureShift{std::nullopt, problem, period}; }

}  // namespace

bool operator==(const PixelImage& a, const PixelImage& b) {
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

std::string PictureProblemText(PictureProblem problem, std::int32_t period) {
    switch (problem) {
        case PictureProblem::None: break;
        case PictureProblem::Repeats: return "the picture repeats every " + std::to_string(period) + " px";
        case PictureProblem::TooLittle: return "the picture has too little in it to tell";
        case PictureProblem::NothingMatches:
            return "nothing in the picture matches (it may have moved more than two thirds of the window between two readings)";
        case PictureProblem::NotAtRest: return "the picture did not come to rest within a second";
    }
    return "";
}

ImageLines RowsOf(PixelImage picture, PixelImage thumb) {
    ImageLines out{std::move(picture), std::move(thumb), {}, {}};
    Describe(out);
    return out;
}

ImageLines ColumnsOf(const PixelImage& picture, PixelImage thumb) {
    const std::int32_t w = picture.width, h = picture.height;
    PixelImage turned{h, w, std::vector<std::uint32_t>(picture.pixels.size())};
    // In tiles, so that both sides stay in the cache.
    constexpr std::int32_t kTile = 16;
    for (std::int32_t y0 = 0; y0 < h; y0 += kTile)
        for (std::int32_t x0 = 0; x0 < w; x0 += kTile)
            for (std::int32_t y = y0; y < std::min(h, y0 + kTile); ++y)
                for (std::int32_t x = x0; x < std::min(w, x0 + kTile); ++x)
                    turned.pixels[static_cast<std::size_t>(x) * static_cast<std::size_t>(h) + static_cast<std::size_t>(y)] =
                        picture.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)];
    return RowsOf(std::move(turned), std::move(thumb));
}

bool SameLines(const ImageLines& a, const ImageLines& b) { return a.lines == b.lines && a.thumb == b.thumb; }

PictureShift MatchShift(const ImageLines& before, const ImageLines& after) {
    const std::int32_t n = after.lines.height;
    if (n <= 0 || after.lines.width <= 0 || before.lines.width != after.lines.width || before.lines.height != n)
        return Unmeasured(PictureProblem::NothingMatches);
    Matcher matcher(before, after);
    // The picture may repeat, but the scroll bar's thumb would have moved.
    if (!before.thumb.pixels.empty() && before.thumb == after.thumb && matcher.Identical()) return PictureShift{0};
    const std::int32_t farthest = n - (n + 2) / 3;
    std::vector<std::int32_t> matching;
    for (std::int32_t shift = -farthest; shift <= farthest; ++shift) {
        if (!matcher.Matches(shift)) continue;
        // Two neighbours match: nothing further can change the verdict.
        if (!matching.empty() && matching.back() == shift - 1) return Unmeasured(PictureProblem::TooLittle);
        matching.push_back(shift);
    }
    if (matching.empty()) return Unmeasured(PictureProblem::NothingMatches);
    if (matching.size() == 1) return PictureShift{matching[0]};
    std::int32_t period = n;
    for (std::size_t i = 1; i < matching.size(); ++i) period = std::min(period, matching[i] - matching[i - 1]);
    return Unmeasured(PictureProblem::Repeats, period);
}

PictureShift PictureFollower::Follow(const ImageLines& capture) {
    last_ = MatchShift(anchor_, capture);
    if (last_.shift) {
        moved_ += *last_.shift;
        anchor_ = capture;
    }
    return last_;
}

PictureShift PictureFollower::Position() const {
    return last_.shift ? PictureShift{moved_} : last_;
}

}  // namespace nl
