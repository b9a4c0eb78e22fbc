// The wheel analysis window: the recorded events as a list (one row per
// event, the CSV's columns), the summary, the strip chart, and Clear, Copy
// and Save as CSV. Closing it only hides it: the recording goes on.
#pragma once

#include <windows.h>

#include <cstdint>

#include "analysis_window/wheel_chart.h"
#include "controls/controls.h"
#include "recording/wheel_recording.h"
#include "win32/refresh.h"
#include "win32/window.h"

namespace nl {

class AnalysisWindow final : public Window, private Refreshable {
public:
    explicit AnalysisWindow(WheelRecording& recording) : recording_(recording), chart_(recording), refresher_(*this) {}

    // Shows the window, made on first use (most runs never open it, and
    // the list's library is dear to load at start-up).
    void Open(HINSTANCE instance);
    // The recording has new events (or none after a Clear).
    void OnEventsChanged();
    // Tab and the dialog keys between its controls; true when consumed.
    bool PreTranslate(MSG& msg);

private:
    enum View : unsigned { kListView = 1, kSummaryView = 2, kChartView = 4, kAllViews = 7 };

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // Makes the window, hidden, with its refresh.
    void Create(HINSTANCE instance);
    void CreateControls();
    void Layout(int width, int height);
    LRESULT OnNotify(const NMHDR& header);
    void OnClear();
    void OnCopy();
    void OnSave();
    void OnCaptureClicked();
    // The check shows whether capture is on.
    void ShowCaptureState();

    void Paint(unsigned views) override;
    void OnRefreshFailure(const Error* error) noexcept override { OnFailure(error); }

    WheelRecording& recording_;
    WheelChart chart_;
    Refresher refresher_;
    HINSTANCE instance_ = nullptr;
    int dpi_ = 96;
    HWND list_ = nullptr;
    HWND buttons_[3] = {};
    HWND captureCheck_ = nullptr;
    TextPanel summary_;
    std::uint64_t shownSeq_ = ~std::uint64_t{0};  // the newest event the list shows
    std::size_t shownCount_ = 0;
};

}  // namespace nl
