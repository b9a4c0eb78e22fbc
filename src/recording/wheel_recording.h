// The wheel recording: every wheel message that reaches one of the
// program's windows becomes one numbered event, kept in memory for the
// analysis window and streamed to the --wheel-csv file. Per event it only
// asks the system what it knows about the message, numbers it and appends
// its row; the file is written, and the analysis window told, at the
// recording's own refresh, never the main window's.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "common/event_store.h"
#include "common/device_names.h"
#include "common/wheel_recorder.h"
#include "recording/wheel_capture.h"
#include "win32/log_files.h"
#include "win32/refresh.h"

namespace nl {

class WheelRecording final : private Refreshable {
public:
    WheelRecording();

    // Takes the time origin and the steps, makes the refresh and opens the
    // CSV file if a path is given. Returns a notice for the user when the
    // file is not written to (empty otherwise).
    std::wstring Start(HINSTANCE instance, const std::wstring& csvPath);
    // The window that owns notices about the file (the main window).
    void SetNoticeOwner(HWND owner) { noticeOwner_ = owner; }
    // Called once per refresh that brought new events (or a Clear).
    void SetOnChanged(std::function<void()> onChanged) { onChanged_ = std::move(onChanged); }

    // One wheel message on entry to a window procedure: WM_MOUSEWHEEL or
    // WM_MOUSEHWHEEL, as that procedure got it.
    void Record(Vantage vantage, UINT msg, WPARAM wp, LPARAM lp);
    // Every wheel event on the desktop, from the low-level hook and raw
    // input, recorded as well while on.
    void SetCapture(bool on);
    bool Capturing() const { return capture_.Enabled(); }
    // The steps again, after the system's settings changed: lines per notch
    // read afresh the way start-up reads them, characters from the system.
    void ReadSteps();
    // The last rows to the file; no more refreshes.
    void Close();

    const EventStore& Store() const { return store_; }
    const WheelSummary& Summary() const { return summary_; }
    const DeviceNames& Devices() const { return devices_; }
    // Empties the view and the summary; numbering and per-axis state go on.
    void Clear();
    // Microseconds since the time origin, as time_ms counts them.
    std::int64_t ElapsedUs() const;
    // The header and the given rows of the view, each ending in CR LF.
    std::string CsvText(const std::vector<std::size_t>& rows) const;
    std::string CsvTextOfAll() const;

private:
    void Paint(unsigned views) override;
    void AfterRefresh() override;
    void OnRefreshFailure(const Error* error) noexcept override;
    std::uint32_t TargetAt(Point16 p);
    // Numbers the sample, keeps it and queues its row.
    void Add(const WheelSample& s);
    void AddCaptured(WheelSample& s);  // ticks still absolute
    void AddLost(std::uint64_t count);
    void Keep(const StoredEvent& e);
    void SetSteps(std::int32_t lines);

    Refresher refresher_;
    WheelRecorder recorder_;
    EventStore store_;
    WheelSummary summary_;
    DeviceNames devices_;
    WheelCapture capture_;
    LARGE_INTEGER origin_{}, frequency_{};
    LogFile csvFile_;
    std::wstring csvPath_;
    std::wstring csvProblem_;  // a write that failed, told after the refresh
    std::string row_;          // reused for each row
    HWND noticeOwner_ = nullptr;
    std::function<void()> onChanged_;
    // The window under the last point asked, until the next refresh: the
    // query is dear, and a burst of wheel messages shares one point. (Over
    // one of the program's own windows it hit-tests that window, as the
    // main window's wheel handler does: WM_NCHITTEST, answered by the
    // default procedure and never logged.)
    bool targetCached_ = false;
    Point16 targetPoint_;
    std::uint32_t target_ = 0;
    bool closed_ = false;
};

}  // namespace nl
