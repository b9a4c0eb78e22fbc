#include "analysis_window/wheel_chart.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "win32/api.h"
#include "win32/drawing.h"
#include "win32/raii.h"

namespace nl {

namespace {
const char* const kChartClass = "NotchlogWheelChart";
constexpr std::int64_t kSpanUs = 10000000;  // ten seconds
constexpr std::size_t kMostDrawn = 50000;   // a flood is drawn by its newest events
constexpr COLORREF kVerticalColour = RGB(0, 90, 200), kHorizontalColour = RGB(230, 120, 0);
constexpr COLORREF kBounceColour = RGB(220, 0, 0), kNotchColour = RGB(170, 170, 170), kZeroColour = RGB(90, 90, 90);

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    Api(::MoveToEx(dc, x0, y0, nullptr));
    Api(::LineTo(dc, x1, y1));
}
}  // namespace

void WheelChart::Create(HWND parent, int id, const RECT& place, HINSTANCE instance) {
    static const bool registered = RegisterWindowClass(instance, kChartClass);
    (void)registered;
    CreateAs(WS_EX_CLIENTEDGE, kChartClass, "", WS_CHILD | WS_VISIBLE, place, parent,
             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance);
}

void WheelChart::Redraw() {
    Api(::InvalidateRect(Handle(), nullptr, FALSE));
    Api(::UpdateWindow(Handle()));
}

LRESULT WheelChart::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: return 1;  // Draw fills it all
        case WM_PAINT:  // off screen first: the picture changes many times a second
            PaintOffScreen(Handle(), [this](HDC dc, const RECT& area) { Draw(dc, area); });
            return 0;
        case WM_PRINTCLIENT: {
            RECT area{};
            Api(::GetClientRect(Handle(), &area));
            Draw(reinterpret_cast<HDC>(wp), area);
            return 0;
        }
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
            // Both go to the analysis window, where they are recorded (not
            // every system passes the horizontal one up by itself).
            return Api(::SendMessageA(Api(::GetParent(Handle())), msg, wp, lp));
        default: return Default(msg, wp, lp);
    }
}

void WheelChart::Draw(HDC dc, const RECT& area) const {
    Api(::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))));
    const int width = std::max<int>(1, area.right - area.left), height = area.bottom - area.top;
    const int mid = area.top + height / 2, half = std::max(1, height / 2 - 6);
    const EventStore& store = recording_.Store();
    const std::int64_t nowUs = recording_.ElapsedUs(), fromUs = nowUs - kSpanUs;

    // The events of the last ten seconds, newest first; the scale fits the largest.
    std::size_t first = store.size();
    int largest = 240;
    while (first > 0 && store.size() - first < kMostDrawn && store[first - 1].TimeUs() >= fromUs) {
        --first;
        if (!store[first].IsLost()) largest = std::max(largest, std::abs(static_cast<int>(store[first].delta)));
    }
    const auto yOf = [&](int delta) { return mid - static_cast<int>(static_cast<std::int64_t>(delta) * half / largest); };
    const auto xOf = [&](std::int64_t us) {
        return area.left + static_cast<int>((us - fromUs) * (width - 1) / kSpanUs);
    };

    GdiObject zeroPen(Api(::CreatePen(PS_SOLID, 1, kZeroColour)));
    GdiObject notchPen(Api(::CreatePen(PS_DOT, 1, kNotchColour)));
    GdiObject verticalPen(Api(::CreatePen(PS_SOLID, 2, kVerticalColour)));
    GdiObject horizontalPen(Api(::CreatePen(PS_SOLID, 2, kHorizontalColour)));
    GdiObject bounceBrush(Api(::CreateSolidBrush(kBounceColour)));
    SelectScope pens(dc, notchPen.Get());  // the DC's own pen back at the end, before the pens go
    for (int notch : {120, -120}) Line(dc, area.left, yOf(notch), area.right, yOf(notch));
    Api(::SelectObject(dc, zeroPen.Get()));
    Line(dc, area.left, mid, area.right, mid);

    // Sticks of one axis in one pixel column, one after another, all start
    // at the zero line in one pen: together they look like the longest one
    // either way. Drawn so, thousands of events in ten seconds cost a line
    // or two per column.
    struct Run {
        bool open = false, hasUp = false, hasDown = false;
        int x = 0, up = 0, down = 0;
        WheelAxis axis = WheelAxis::V;
    } run;
    const auto drawRun = [&] {
        if (!run.open) return;
        Api(::SelectObject(dc, run.axis == WheelAxis::V ? verticalPen.Get() : horizontalPen.Get()));
        if (run.hasUp) Line(dc, run.x, mid, run.x, run.up);
        if (run.hasDown) Line(dc, run.x, mid, run.x, run.down);
        run.open = false;
    };
    for (std::size_t i = first; i < store.size(); ++i) {
        const StoredEvent& e = store[i];
        if (e.IsLost()) continue;
        const int x = xOf(e.TimeUs()), y = yOf(e.delta);
        if (!run.open || x != run.x || e.Axis() != run.axis) {
            drawRun();
            run = Run{true, false, false, x, 0, 0, e.Axis()};
        }
        if (e.delta > 0) {
            run.up = run.hasUp ? std::min(run.up, y - 1) : y - 1;
            run.hasUp = true;
        } else {
            run.down = run.hasDown ? std::max(run.down, y + 1) : y + 1;
            run.hasDown = true;
        }
        if (e.Has(StoredEvent::kBounce)) {  // over its stick, under the sticks after it
            drawRun();
            const RECT mark{x - 3, y - 3, x + 4, y + 4};
            Api(::FillRect(dc, &mark, static_cast<HBRUSH>(bounceBrush.Get())));
        }
    }
    drawRun();

    // The legend, top left.
    SelectScope font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    Api(::SetBkMode(dc, TRANSPARENT));
    int x = area.left + 4;
    const struct { const char* text; COLORREF colour; } legend[] = {
        {"V", kVerticalColour}, {"H", kHorizontalColour}, {"bounce", kBounceColour}, {"- - \xB1" "120   last 10 s", kZeroColour}};
    for (const auto& item : legend) {
        Api(::SetTextColor(dc, item.colour));
        const int n = static_cast<int>(std::strlen(item.text));
        Api(::TextOutA(dc, x, area.top + 2, item.text, n));
        SIZE size{};
        Api(::GetTextExtentPoint32A(dc, item.text, n, &size));
        x += size.cx + 10;
    }
}

}  // namespace nl
