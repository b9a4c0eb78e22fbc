#include "common/wheel_test/zoom_reading.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>
#include <vector>

namespace nl {

namespace {

// A period is the first lag whose correlation peaks at kClear or more,
// after dipping at least kDip below that peak (so that it is not the slope
// down from lag 0).
constexpr double kClear = 0.5, kDip = 0.3;
// The second picture's correlations against the first's stretched by the
// scale read: at least this alike, else the picture changed in more than
// its size (or a period was taken at a multiple of the true one).
constexpr double kAlike = 0.6;
// The most the rows' and the columns' scales may differ by (a ratio).
constexpr double kAxesAgree = 1.1;

const char* const kNoStructure = "the picture has no structure to tell a scale by";

ZoomRead Unmeasured(std::string reason) { return ZoomRead{ZoomChange::Unmeasured, std::nullopt, std::move(reason)}; }

// The picture's ink: how many pixels of each row and of each column are
// not of its background (its most common colour, told from a sample).
// None where no colour covers a fifth of the picture: it has no background.
struct Ink {
    std::vector<double> rows, columns;
};

std::optional<std::uint32_t> Background(const PixelImage& picture) {
    std::vector<std::uint32_t> sample;
    // About 4096 pixels, a step that shares no factor with the width apart:
    // each row's sample falls in other columns.
    std::size_t step = std::max<std::size_t>(1, picture.pixels.size() / 4096);
    while (std::gcd(step, static_cast<std::size_t>(picture.width)) != 1) ++step;
    for (std::size_t i = 0; i < picture.pixels.size(); i += step) sample.push_back(picture.pixels[i]);
    std::sort(sample.begin(), sample.end());
    std::uint32_t best = sample.empty() ? 0 : sample[0];
    std::size_t bestCount = 0;
    for (std::size_t i = 0, j = 0; i < sample.size(); i = j) {
        while (j < sample.size() && sample[j] == sample[i]) ++j;
        if (j - i > bestCount) best = sample[i], bestCount = j - i;
    }
    if (bestCount * 5 < sample.size() || sample.empty()) return std::nullopt;
    return best;
}

Ink InkOf(const PixelImage& picture) {
    const auto w = static_cast<std::size_t>(picture.width), h = static_cast<std::size_t>(picture.height);
    Ink out;
    const std::optional<std::uint32_t> background = Background(picture);
    if (!background) return out;
    const std::uint32_t paper = *background;
    std::vector<std::int32_t> columns(w);
    out.rows.resize(h);
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint32_t* line = picture.pixels.data() + y * w;
        std::int32_t ink = 0;
        for (std::size_t x = 0; x < w; ++x) {
            const std::int32_t inked = line[x] != paper;
            ink += inked;
            columns[x] += inked;
        }
        out.rows[y] = ink;
    }
    out.columns.assign(columns.begin(), columns.end());
    return out;
}

// r[l]: how alike the profile is to itself l further on (Pearson's
// correlation over the overlap), for l up to two thirds of its length, so
// that at least a third overlaps; 0 where either part is flat.
std::vector<double> Correlations(const std::vector<double>& p) {
    const std::size_t n = p.size();
    std::vector<double> sum(n + 1, 0.0), squares(n + 1, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        sum[i + 1] = sum[i] + p[i];
        squares[i + 1] = squares[i] + p[i] * p[i];
    }
    const std::size_t most = n < 3 ? 0 : n - (n + 2) / 3;
    std::vector<double> r(most + 1, 0.0);
    if (n > 0) r[0] = 1;
    for (std::size_t l = 1; l <= most; ++l) {
        const std::size_t m = n - l;
        double products = 0;
        for (std::size_t i = 0; i < m; ++i) products += p[i] * p[i + l];
        const double count = static_cast<double>(m), sx = sum[m], sy = sum[n] - sum[l];
        const double vx = squares[m] - sx * sx / count, vy = squares[n] - squares[l] - sy * sy / count;
        if (vx > 1e-6 && vy > 1e-6) r[l] = (products - sx * sy / count) / std::sqrt(vx * vy);
    }
    return r;
}

// The lag of the peak at `l`, to a fraction of a pixel (a parabola through
// it and its neighbours).
double Refined(const std::vector<double>& r, std::size_t l) {
    if (l == 0 || l + 1 >= r.size()) return static_cast<double>(l);
    const double a = r[l - 1], b = r[l], c = r[l + 1], curve = a - 2 * b + c;
    if (curve >= 0) return static_cast<double>(l);
    return static_cast<double>(l) + std::clamp(0.5 * (a - c) / curve, -0.5, 0.5);
}

// The period of the profile whose correlations are `r` (n values), seen at
// least twice in it; refined from the peaks at its multiples, the farthest
// last. nullopt when it has none that is clear.
std::optional<double> PeriodOf(const std::vector<double>& r, std::size_t n) {
    std::size_t first = 0;
    double lowest = 1;
    for (std::size_t l = 1; l <= n / 2 && l + 1 < r.size(); ++l) {
        if (l >= 2 && r[l] >= kClear && r[l] >= r[l - 1] && r[l] > r[l + 1] && lowest <= r[l] - kDip) {
            first = l;
            break;
        }
        lowest = std::min(lowest, r[l]);
    }
    if (first == 0) return std::nullopt;
    double period = Refined(r, first);
    for (int k = 2;; ++k) {
        const double centre = k * period, reach = period / 4;
        const auto lo = static_cast<std::size_t>(std::lround(centre - reach)),
                   hi = static_cast<std::size_t>(std::lround(centre + reach));
        if (hi + 1 >= r.size()) break;
        const auto best = static_cast<std::size_t>(std::max_element(r.begin() + static_cast<std::ptrdiff_t>(lo),
                                                                    r.begin() + static_cast<std::ptrdiff_t>(hi) + 1) -
                                                   r.begin());
        // A weak or cut-off peak says too little to go by.
        if (r[best] < kClear || best == lo || best == hi) continue;
        period = Refined(r, best) / k;
    }
    return period;
}

// How alike `after`'s correlations are to `before`'s stretched by `scale`
// (Pearson's correlation over the lags both reach).
double Alike(const std::vector<double>& before, const std::vector<double>& after, double scale) {
    const double reach = std::min(static_cast<double>(after.size() - 1), static_cast<double>(before.size() - 1) * scale);
    double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (std::size_t l = 1; static_cast<double>(l) <= reach; ++l) {
        const double at = static_cast<double>(l) / scale;
        const auto i = static_cast<std::size_t>(at);
        const double f = at - static_cast<double>(i);
        const double x = i + 1 < before.size() ? before[i] * (1 - f) + before[i + 1] * f : before[i], y = after[l];
        n += 1;
        sx += x, sy += y, sxx += x * x, syy += y * y, sxy += x * y;
    }
    const double vx = sxx - sx * sx / n, vy = syy - sy * sy / n;
    return n > 2 && vx > 1e-9 && vy > 1e-9 ? (sxy - sx * sy / n) / std::sqrt(vx * vy) : 0;
}

bool OneColour(const PixelImage& picture) {
    return std::all_of(picture.pixels.begin(), picture.pixels.end(),
                       [&](std::uint32_t p) { return p == picture.pixels.front(); });
}

std::int32_t Percent(double scale) { return static_cast<std::int32_t>(std::lround(100 * scale)); }

}  // namespace

ZoomRead ReadZoom(const PixelImage& before, const PixelImage& after) {
    const auto size = static_cast<std::size_t>(before.width) * static_cast<std::size_t>(before.height);
    if (before.width != after.width || before.height != after.height || before.pixels.size() != size ||
        after.pixels.size() != size)
        return Unmeasured("the two pictures differ in size");
    if (size == 0 || OneColour(before)) return Unmeasured(kNoStructure);
    if (before == after) return ZoomRead{ZoomChange::Unchanged, 100, {}};
    // The same picture, or the same moved along one axis (a caret aside).
    for (const bool columns : {false, true}) {
        const PictureShift moved = columns ? MatchShift(ColumnsOf(before), ColumnsOf(after))
                                           : MatchShift(RowsOf(before), RowsOf(after));
        if (moved.shift) return ZoomRead{*moved.shift == 0 ? ZoomChange::Unchanged : ZoomChange::Moved, 100, {}};
    }
    const Ink b = InkOf(before), a = InkOf(after);
    // Per axis: the scale its periods tell, where the pictures match at it.
    std::optional<double> scales[2];
    bool seenBefore = false, misfit = false;
    for (int axis = 0; axis < 2; ++axis) {
        const std::vector<double>& pb = axis == 0 ? b.rows : b.columns;
        const std::vector<double>& pa = axis == 0 ? a.rows : a.columns;
        const std::vector<double> rb = Correlations(pb);
        const std::optional<double> periodBefore = PeriodOf(rb, pb.size());
        if (!periodBefore) continue;
        seenBefore = true;
        const std::vector<double> ra = Correlations(pa);
        const std::optional<double> periodAfter = PeriodOf(ra, pa.size());
        if (!periodAfter) continue;
        const double scale = *periodAfter / *periodBefore;
        const double fit = Alike(rb, ra, scale);
        if (fit >= kAlike) scales[axis] = scale;
        else misfit = true;
    }
    if (!scales[0] && !scales[1]) {
        if (misfit) return Unmeasured("the picture changed in more than its size");
        return Unmeasured(seenBefore ? "the picture lost the structure to tell a scale by" : kNoStructure);
    }
    // The rows' scale where they tell one: text's line pitch follows its
    // size more closely than the advances of its letters, which the
    // columns tell.
    const double scale = scales[0] ? *scales[0] : *scales[1];
    if (scales[0] && scales[1] && std::fabs(std::log(*scales[0] / *scales[1])) > std::log(kAxesAgree))
        return Unmeasured("the rows and the columns tell different scales (" + std::to_string(Percent(*scales[0])) + "% and " +
                          std::to_string(Percent(*scales[1])) + "%)");
    const std::int32_t percent = Percent(scale);
    if (std::abs(percent - 100) < kLeastZoomPercent) return ZoomRead{ZoomChange::Moved, 100, {}};
    return ZoomRead{ZoomChange::Zoomed, percent, {}};
}

const char* ZoomMethodText(ZoomMethod method) { return method == ZoomMethod::EditZoom ? "EM_GETZOOM %" : "image %"; }

std::int32_t ZoomRatioPercent(std::int32_t numerator, std::int32_t denominator, std::int32_t baseNumerator,
                              std::int32_t baseDenominator) {
    auto ratio = [](std::int32_t n, std::int32_t d) {
        return n > 0 && d > 0 ? static_cast<double>(n) / static_cast<double>(d) : 1.0;
    };
    return Percent(ratio(numerator, denominator) / ratio(baseNumerator, baseDenominator));
}

}  // namespace nl
