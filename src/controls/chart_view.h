// The chart of a wheel test or a replay (common/chart/run_chart.h) painted
// with GDI: into any DC, for a picture file, and as a control of its own.
#pragma once

#include <windows.h>

#include "common/chart/run_chart.h"
#include "win32/window.h"

namespace nl {

// Paints `chart` over all of `area` in `dc`, its background too, in the
// stock GUI font: the same pixels every time for the same chart and area.
void PaintRunChart(HDC dc, const RECT& area, const RunChart& chart);

// A child window that shows a chart. The object must outlive its window.
class ChartView final : public Window {
public:
    // Registers the class the first time a view is made.
    void Create(HWND parent, int id, const RECT& place, HINSTANCE instance);
    // Shows `chart` from now on; it is painted at the next WM_PAINT.
    void SetChart(RunChart chart);
    const RunChart& Chart() const { return chart_; }

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // Painting has nothing worth telling the user; the next paint tries again.
    void OnFailure(const Error*) noexcept override {}

    RunChart chart_;
};

}  // namespace nl
