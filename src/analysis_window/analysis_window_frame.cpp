// What the analysis window does at the program's frame: the list, the
// summary and the chart brought up to date, and only while it is shown.
#include "analysis_window/analysis_window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "win32/api.h"

namespace nl {

namespace {
// The chart's time axis and the events per second move on at least this
// often; the summary's text changes at most four times a second, and the
// chart (thousands of sticks at a steady stream) is drawn at most ten times.
constexpr std::int64_t kClockUs = 500000;
constexpr std::int64_t kSummaryUs = 250000;
constexpr std::int64_t kChartUs = 100000;
// While events keep coming, new rows at the end are counted in at most once
// a second, and as soon as no event came for a tick of the clock. Each time
// the list takes a new count, and again when it scrolls to the newest row,
// it redraws its scroll bars and its border, some 40 ms a time under Wine's
// theme; and a frame that dear holds back every window's next frame by four
// times as much (the summary and the chart show the flow meanwhile).
// Anything else (a Clear, dropped events, the window opened) is shown at the
// next frame: the rows shown would no longer be the events they stand for.
constexpr std::int64_t kListUs = 1000000;

}  // namespace

// While shown: the clock moves on, and a summary held back is shown soon
// after its time has come.
unsigned AnalysisWindow::TickMs() const { return Visible() ? 50 : 0; }

bool AnalysisWindow::OnTick(std::int64_t nowUs) {
    if (!Visible()) return false;
    if (nowUs - clockUs_ >= kClockUs) staleViews_ |= kSummaryView | kChartView;
    // Rows held back are shown as soon as events stop coming.
    const std::size_t added = recording_.Store().size();
    const bool calm = added == std::exchange(tickSize_, added);
    if (calm) listShownUs_ = std::min(listShownUs_, nowUs - kListUs);
    // A view held back by its rate is shown once its time has come.
    return ((staleViews_ & kSummaryView) && nowUs - summaryShownUs_ >= kSummaryUs) ||
           ((staleViews_ & kChartView) && nowUs - chartShownUs_ >= kChartUs) ||
           ((staleViews_ & kListView) && nowUs - listShownUs_ >= kListUs);
}

void AnalysisWindow::OnFrame() {
    if (!Visible()) return;  // stale until shown again
    const std::int64_t now = NowUs();
    unsigned views = std::exchange(staleViews_, 0u);
    // Held back until their time; the clock brings them.
    const auto holdBack = [&](View view, std::int64_t shownUs, std::int64_t periodUs) {
        if ((views & view) && now - shownUs < periodUs) {
            staleViews_ |= view;
            views &= ~view;
        }
    };
    holdBack(kSummaryView, summaryShownUs_, kSummaryUs);
    holdBack(kChartView, chartShownUs_, kChartUs);
    if (OnlyNewRows()) holdBack(kListView, listShownUs_, kListUs);
    if ((views & (kSummaryView | kChartView)) == (kSummaryView | kChartView)) clockUs_ = now;
    if (views & kListView) {
        listShownUs_ = now;
        PaintList();
    }
    if (views & kSummaryView) {
        summaryShownUs_ = now;
        summary_.SetText(recording_.Summary().Text(recording_.ElapsedUs()));
        summary_.Redraw();
    }
    if (views & kChartView) {
        chartShownUs_ = now;
        chart_.Redraw();
    }
}

bool AnalysisWindow::OnlyNewRows() const {
    const EventStore& store = recording_.Store();
    return shown_ && store.OldestNumber() == shownOldest_ && store.size() >= shownCount_;
}

void AnalysisWindow::PaintList() {
    const EventStore& store = recording_.Store();
    const std::size_t count = store.size();
    const std::uint64_t oldest = store.OldestNumber();
    if (shown_ && count == shownCount_ && oldest == shownOldest_) return;
    // Judged on what the user saw, before the new rows are counted in.
    const bool follow = !shown_ || Following();
    const std::uint64_t dropped = shown_ && oldest > shownOldest_ ? oldest - shownOldest_ : 0;
    ListRows rows;
    if (!follow && dropped > 0) rows = AfterDropping(ReadRows(), dropped);
    const std::size_t shownBefore = shown_ ? shownCount_ : 0;
    shown_ = true;
    shownCount_ = count;
    shownOldest_ = oldest;
    // Rows only added: the rows in view stay as they were.
    const LPARAM keep = dropped == 0 && count >= shownBefore ? LVSICF_NOINVALIDATEALL : 0;
    // The list scrolls only where the rule says, below.
    SendTo(list_, LVM_SETITEMCOUNT, count, keep | LVSICF_NOSCROLL);
    if (follow) SelectNewestAlone(shownBefore, count);
    else if (dropped > 0) PutRows(rows);
    Api(::UpdateWindow(list_));
}

bool AnalysisWindow::Following() const {
    // Asked of the newest row alone: finding the selected or focused row
    // from the top walks every row of a long list.
    ListRows rows;
    rows.count = static_cast<std::int64_t>(shownCount_);
    if (rows.count > 0) {
        const std::int64_t newest = rows.count - 1;
        const LRESULT state =
            SendTo(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(newest), LVIS_SELECTED | LVIS_FOCUSED);
        if (state & LVIS_FOCUSED) rows.focus = newest;
        const LRESULT selected = SendTo(list_, LVM_GETSELECTEDCOUNT);
        if (selected == 1 && (state & LVIS_SELECTED)) rows.selected.push_back(newest);
        else rows.selected.assign(static_cast<std::size_t>(std::max<LRESULT>(selected, 0)), -1);
        rows.top = SendTo(list_, LVM_GETTOPINDEX);
        rows.perPage = SendTo(list_, LVM_GETCOUNTPERPAGE);
    }
    return FollowsNewest(rows);
}

ListRows AnalysisWindow::ReadRows() const {
    ListRows rows;
    rows.count = static_cast<std::int64_t>(shownCount_);
    rows.focus = SendTo(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
    rows.top = SendTo(list_, LVM_GETTOPINDEX);
    rows.perPage = SendTo(list_, LVM_GETCOUNTPERPAGE);
    for (LRESULT i = -1; (i = SendTo(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED)) >= 0;)
        rows.selected.push_back(i);
    return rows;
}

void AnalysisWindow::PutRows(const ListRows& rows) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendTo(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.stateMask = state.state = LVIS_SELECTED;
    for (std::int64_t row : rows.selected)
        SendTo(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    if (rows.focus >= 0) {
        state.stateMask = state.state = LVIS_FOCUSED;
        SendTo(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(rows.focus), reinterpret_cast<LPARAM>(&state));
        SendTo(list_, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(rows.focus));
    }
    // Scrolling up puts the row asked for at the top of the view.
    if (rows.count > 0) SendTo(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(rows.top), FALSE);
}

void AnalysisWindow::SelectNewestAlone(std::size_t before, std::size_t count) {
    if (count == 0) return;
    // The newest row at the bottom, selected alone: while following, only
    // the row that was the newest had the selection and the focus.
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    const WPARAM previous = before > 0 && before <= count ? before - 1 : static_cast<WPARAM>(-1);
    SendTo(list_, LVM_SETITEMSTATE, previous, reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendTo(list_, LVM_SETITEMSTATE, count - 1, reinterpret_cast<LPARAM>(&state));
    SendTo(list_, LVM_ENSUREVISIBLE, count - 1, FALSE);
}

}  // namespace nl
