// The wheel analysis window: the recorded events as a list (one row per
// event, the CSV's columns), the summary, the strip chart, and Clear, Copy
// and Save as CSV. Closing it only hides it: the recording goes on, and a
// hidden window paints nothing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/wheel/list_rows.h"

#include "analysis_window/wheel_chart.h"
#include "controls/controls.h"
#include "recording/wheel_recording.h"
#include "win32/refresh.h"
#include "win32/window.h"

namespace nl {

class AnalysisWindow final : public Window, public FramePart {
public:
    AnalysisWindow(Frame& frame, WheelRecording& recording) : recording_(recording), chart_(recording), frame_(frame) {}

    // Shows the window, made on first use (most runs never open it, and
    // the list's library is dear to load at start-up).
    void Open(HINSTANCE instance);
    // The recording has new events (or none after a Clear); the frame is
    // told by whoever changed it.
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

    void Stale(unsigned views) {
        staleViews_ |= views;
        frame_.Update();
    }
    bool Visible() const;
    // Whether the list follows the newest row it shows.
    bool Following() const;
    // Where the user is in the list, as the list has it.
    ListRows ReadRows() const;
    // The selection, the focus and the view put back where `rows` says.
    void PutRows(const ListRows& rows);
    // Of `count` rows, `before` of them shown until now.
    void SelectNewestAlone(std::size_t before, std::size_t count);
    // Since the list last took the store's rows, events were only added.
    bool OnlyNewRows() const;
    void PaintList();

    // The frame's side.
    void OnFrame() override;
    unsigned TickMs() const override;
    bool OnTick(std::int64_t nowUs) override;
    void OnFrameFailure(const Error* error) noexcept override { OnFailure(error); }

    WheelRecording& recording_;
    WheelChart chart_;
    Frame& frame_;
    unsigned staleViews_ = 0;
    std::int64_t summaryShownUs_ = 0;  // when the summary's text last changed
    std::int64_t chartShownUs_ = 0;    // when the chart was last drawn
    std::int64_t listShownUs_ = 0;     // when the list last took the store's rows
    std::size_t tickSize_ = 0;         // the store's size at the clock's last tick
    std::int64_t clockUs_ = 0;         // when the clock last moved the summary and the chart
    HINSTANCE instance_ = nullptr;
    int dpi_ = 96;
    HWND list_ = nullptr;
    HWND buttons_[3] = {};
    HWND captureCheck_ = nullptr;
    TextPanel summary_;
    std::uint64_t shownOldest_ = 0;  // the store's number of the first row the list shows
    std::size_t shownCount_ = 0;
    bool shown_ = false;  // the list shows the store at all
};

}  // namespace nl
