#include "controls/chart_view.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/base/number_text.h"
#include "win32/api.h"
#include "win32/drawing.h"
#include "win32/raii.h"

namespace nl {

namespace {
const char* const kChartViewClass = "NotchlogChartView";

constexpr COLORREF kSoundColour = RGB(110, 130, 170), kOkColour = RGB(40, 160, 70), kFaultColour = RGB(210, 40, 40),
                   kInfoColour = RGB(150, 150, 150), kUnmeasuredColour = RGB(235, 150, 0);
constexpr COLORREF kTextColour = RGB(0, 0, 0), kAxisColour = RGB(90, 90, 90), kGridColour = RGB(222, 222, 222),
                   kLagColour = RGB(236, 236, 236), kBackColour = RGB(255, 255, 255);
constexpr int kPad = 6;

COLORREF ColourOf(ChartTone tone) {
    switch (tone) {
        case ChartTone::Sound: return kSoundColour;
        case ChartTone::Ok: return kOkColour;
        case ChartTone::Fault: return kFaultColour;
        case ChartTone::Info: return kInfoColour;
        case ChartTone::Unmeasured: break;
    }
    return kUnmeasuredColour;
}

RECT Box(int x0, int y0, int x1, int y1) {
    return RECT{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
    GdiObject brush(Api(::CreateSolidBrush(colour)));
    Api(::FillRect(dc, &r, static_cast<HBRUSH>(brush.Get())));
}

// An unmeasured bar: hatched in amber on white, in an amber frame.
void Hatch(HDC dc, const RECT& r) {
    GdiObject hatch(Api(::CreateHatchBrush(HS_BDIAGONAL, kUnmeasuredColour)));
    GdiObject frame(Api(::CreateSolidBrush(kUnmeasuredColour)));
    Api(::SetBkMode(dc, OPAQUE));
    Api(::SetBkColor(dc, kBackColour));
    Api(::FillRect(dc, &r, static_cast<HBRUSH>(hatch.Get())));
    Api(::FrameRect(dc, &r, static_cast<HBRUSH>(frame.Get())));
    Api(::SetBkMode(dc, TRANSPARENT));
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour, int width = 1) {
    GdiObject pen(Api(::CreatePen(PS_SOLID, width, colour)));
    SelectScope use(dc, pen.Get());
    Api(::MoveToEx(dc, x0, y0, nullptr));
    Api(::LineTo(dc, x1, y1));
}

void Dot(HDC dc, int x, int y, int radius, COLORREF fill, COLORREF outline) {
    GdiObject pen(Api(::CreatePen(PS_SOLID, 1, outline)));
    GdiObject brush(Api(::CreateSolidBrush(fill)));
    SelectScope usePen(dc, pen.Get()), useBrush(dc, brush.Get());
    Api(::Ellipse(dc, x - radius, y - radius, x + radius + 1, y + radius + 1));
}

SIZE TextSize(HDC dc, const std::string& text) {
    SIZE size{};
    Api(::GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size));
    return size;
}

// `text` with its left edge, centre or right edge (align -1, 0, 1) at x and its top at y.
void Text(HDC dc, int x, int y, const std::string& text, COLORREF colour = kTextColour, int align = -1) {
    Api(::SetTextColor(dc, colour));
    const int width = TextSize(dc, text).cx;
    const int left = align < 0 ? x : align == 0 ? x - width / 2 : x - width;
    Api(::TextOutA(dc, left, y, text.data(), static_cast<int>(text.size())));
}

// One line of text centred in `r`, cut with an ellipsis where it is too wide.
void TextIn(HDC dc, RECT r, const std::string& text, COLORREF colour = kTextColour) {
    Api(::SetTextColor(dc, colour));
    Api(::DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r,
                    DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX | DT_TOP));
}

int WidestTick(HDC dc, const ChartAxis& axis) {
    int widest = 0;
    for (std::int64_t tick : axis.Ticks()) widest = std::max<int>(widest, TextSize(dc, DecText(tick)).cx);
    return widest;
}

// The legend's swatches and words, one after another from x.
struct LegendItem {
    enum class Mark { Box, Hatched, Line, Dot } mark;
    COLORREF colour;
    const char* text;
};

void Legend(HDC dc, int x, int y, int lineHeight, const std::vector<LegendItem>& items) {
    const int side = std::max(6, lineHeight - 4);
    for (const LegendItem& item : items) {
        const RECT swatch{x, y + 2, x + side, y + 2 + side};
        switch (item.mark) {
            case LegendItem::Mark::Box: Fill(dc, swatch, item.colour); break;
            case LegendItem::Mark::Hatched: Hatch(dc, swatch); break;
            case LegendItem::Mark::Line: Line(dc, x, y + 2 + side / 2, x + side, y + 2 + side / 2, item.colour, 2); break;
            case LegendItem::Mark::Dot: Dot(dc, x + side / 2, y + 2 + side / 2, side / 2 - 1, item.colour, item.colour); break;
        }
        Text(dc, x + side + 4, y, item.text);
        x += side + 4 + TextSize(dc, item.text).cx + 14;
    }
}

// The value axis's grid and numbers at the plot's left, or for a second
// axis its numbers alone at the right.
void ValueAxis(HDC dc, const RECT& plot, const ChartScale& scale, int lineHeight, bool right, COLORREF colour) {
    for (std::int64_t tick : scale.axis.Ticks()) {
        const int y = scale.Px(tick);
        if (!right) Line(dc, plot.left, y, plot.right, y, tick == 0 ? kAxisColour : kGridColour);
        Text(dc, right ? plot.right + 4 : plot.left - 4, y - lineHeight / 2, DecText(tick), colour, right ? -1 : 1);
    }
}

void PaintSteps(HDC dc, const RECT& plot, const RunChart& chart, const ChartScale& value, int lineHeight) {
    const int n = static_cast<int>(chart.pairs.size());
    const int width = plot.right - plot.left, zero = value.Px(0);
    for (int i = 0; i < n; ++i) {
        const ChartBarPair& pair = chart.pairs[static_cast<std::size_t>(i)];
        const int left = plot.left + width * i / n, right = plot.left + width * (i + 1) / n;
        const int centre = (left + right) / 2, bar = std::min(36, std::max(3, (right - left) * 3 / 10));
        // The two side by side; a lone target bar in the middle.
        const int soundLeft = centre - 1 - bar, targetLeft = pair.sound ? centre + 1 : centre - bar / 2;
        // A bar of 0 is still a line of its colour.
        const auto barBox = [&](int x, std::int64_t v) {
            const int end = value.Px(v);
            return Box(x, zero, x + bar, end == zero ? zero - 2 : end);
        };
        const auto number = [&](int x, std::int64_t v, const std::string& text, COLORREF colour) {
            const int end = value.Px(v);
            Text(dc, x + bar / 2, v < 0 ? end + 1 : std::min(end, zero - 2) - lineHeight - 1, text, colour, 0);
        };
        if (pair.sound) {
            Fill(dc, barBox(soundLeft, *pair.sound), kSoundColour);
            number(soundLeft, *pair.sound, DecText(*pair.sound), kSoundColour);
        }
        if (pair.tone == ChartTone::Unmeasured) {
            const RECT stub = pair.observed ? barBox(targetLeft, *pair.observed) : Box(targetLeft, zero, targetLeft + bar, zero - 12);
            Hatch(dc, stub);
            Text(dc, targetLeft + bar / 2, stub.top - lineHeight - 1, "?", kUnmeasuredColour, 0);
        } else if (pair.observed) {
            Fill(dc, barBox(targetLeft, *pair.observed), ColourOf(pair.tone));
            number(targetLeft, *pair.observed, DecText(*pair.observed), ColourOf(pair.tone));
        }
        const std::string sent = pair.sent + (pair.unit.empty() ? std::string() : " (" + pair.unit + ")");
        TextIn(dc, RECT{left + 1, plot.bottom + 4, right - 1, plot.bottom + 4 + lineHeight}, pair.pattern);
        TextIn(dc, RECT{left + 1, plot.bottom + 4 + lineHeight, right - 1, plot.bottom + 4 + 2 * lineHeight}, sent);
    }
}

void PaintReplay(HDC dc, const RunChart& chart, const ChartScale& value, const ChartScale& sound,
                 const ChartScale& time) {
    if (!chart.sound.empty()) {
        std::vector<POINT> corners;
        for (const ChartPoint& p : chart.sound) corners.push_back(POINT{time.Px(p.atUs), sound.Px(p.value)});
        GdiObject pen(Api(::CreatePen(PS_SOLID, 2, kSoundColour)));
        SelectScope use(dc, pen.Get());
        Api(::Polyline(dc, corners.data(), static_cast<int>(corners.size())));
    }
    for (const ChartPoint& p : chart.readings) Dot(dc, time.Px(p.atUs), value.Px(p.value), 3, kInfoColour, kInfoColour);
    if (chart.rest) Dot(dc, time.Px(chart.rest->atUs), value.Px(chart.rest->value), 5, ColourOf(chart.restTone), kTextColour);
}
}  // namespace

void PaintRunChart(HDC dc, const RECT& area, const RunChart& chart) {
    Fill(dc, area, kBackColour);
    SelectScope font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    Api(::SetBkMode(dc, TRANSPARENT));
    TEXTMETRICA tm{};
    Api(::GetTextMetricsA(dc, &tm));
    const int lh = std::max<int>(1, tm.tmHeight);
    const bool replay = chart.kind == RunChart::Kind::Replay;
    const ChartAxes axes = AxesOf(chart);

    // Title and legend above; the value axis's numbers left of the plot (and
    // the sound line's right of it); two lines of labels below.
    Text(dc, area.left + kPad, area.top + kPad, chart.title);
    if (replay)
        Legend(dc, area.left + kPad, area.top + kPad + lh + 2, lh,
               {{LegendItem::Mark::Line, kSoundColour, "a sound handler"},
                {LegendItem::Mark::Dot, kInfoColour, "the target, read after an event"},
                {LegendItem::Mark::Dot, ColourOf(chart.restTone), "where it came to rest"},
                {LegendItem::Mark::Box, kLagColour, "lag after the last event"}});
    else
        Legend(dc, area.left + kPad, area.top + kPad + lh + 2, lh,
               {{LegendItem::Mark::Box, kSoundColour, "a sound handler"},
                {LegendItem::Mark::Box, kOkColour, "the target: ok"},
                {LegendItem::Mark::Box, kFaultColour, "fault"},
                {LegendItem::Mark::Box, kInfoColour, "info"},
                {LegendItem::Mark::Hatched, kUnmeasuredColour, "unmeasured"}});
    RECT plot{};
    plot.left = area.left + kPad + WidestTick(dc, axes.value) + 8;
    plot.top = area.top + kPad + 3 * lh + 2 + kPad + 4;
    const int lastTime = replay ? TextSize(dc, DecText(axes.timeMs.high)).cx / 2 + 2 : 0;
    plot.right = area.right - kPad - std::max({axes.sound ? WidestTick(dc, *axes.sound) + 8 : 0, lastTime, 6});
    plot.bottom = area.bottom - kPad - 2 * lh - 6;
    if (plot.right - plot.left < 10 || plot.bottom - plot.top < 10) return;  // too small to show anything

    const ChartScale value{axes.value, plot.bottom, plot.top};
    const ChartScale sound{axes.sound ? *axes.sound : axes.value, plot.bottom, plot.top};
    const ChartScale time{axes.timeMs, plot.left, plot.right, 1000};
    if (replay && chart.lagToUs > chart.lagFromUs) {
        const int from = time.Px(chart.lagFromUs), to = std::max(from + 1, time.Px(chart.lagToUs));
        Fill(dc, RECT{from, plot.top, to, plot.bottom}, kLagColour);
    }
    if (replay) {
        for (std::int64_t tick : axes.timeMs.Ticks()) {
            const int x = time.Px(tick * 1000);
            Line(dc, x, plot.top, x, plot.bottom, kGridColour);
            Text(dc, x, plot.bottom + 4, DecText(tick), kTextColour, 0);
        }
        Text(dc, (plot.left + plot.right) / 2, plot.bottom + 4 + lh, "ms from the first event", kTextColour, 0);
    }
    // Each axis's unit above its numbers.
    ValueAxis(dc, plot, value, lh, false, kTextColour);
    Text(dc, area.left + kPad, plot.top - lh - 4, chart.valueUnit + (axes.sound ? " (the target)" : ""));
    if (axes.sound) {
        ValueAxis(dc, plot, sound, lh, true, kSoundColour);
        Text(dc, area.right - kPad, plot.top - lh - 4, chart.soundUnit + " (a sound handler)", kSoundColour, 1);
    }
    Line(dc, plot.left, plot.top, plot.left, plot.bottom, kAxisColour);
    if (replay) {
        Line(dc, plot.left, plot.bottom, plot.right, plot.bottom, kAxisColour);
        PaintReplay(dc, chart, value, sound, time);
    } else {
        PaintSteps(dc, plot, chart, value, lh);
    }
    if (!chart.remark.empty())
        Text(dc, (plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2 - lh / 2, chart.remark, kAxisColour, 0);
}

void ChartView::Create(HWND parent, int id, const RECT& place, HINSTANCE instance) {
    static const bool registered = [instance] {
        WNDCLASSA wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        return RegisterWindowClass(instance, kChartViewClass, wc);
    }();
    (void)registered;
    CreateAs(WS_EX_CLIENTEDGE, kChartViewClass, "", WS_CHILD | WS_VISIBLE, place, parent,
             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance);
}

void ChartView::SetChart(RunChart chart) {
    chart_ = std::move(chart);
    if (Handle()) Api(::InvalidateRect(Handle(), nullptr, FALSE));
}

LRESULT ChartView::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: return 1;  // the chart fills it all
        case WM_PAINT:
            PaintOffScreen(Handle(), [this](HDC dc, const RECT& area) { PaintRunChart(dc, area, chart_); });
            return 0;
        case WM_PRINTCLIENT: {
            RECT area{};
            Api(::GetClientRect(Handle(), &area));
            PaintRunChart(reinterpret_cast<HDC>(wp), area, chart_);
            return 0;
        }
        default: return Default(msg, wp, lp);
    }
}

}  // namespace nl
