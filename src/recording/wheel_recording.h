// The wheel recording: every wheel message that reaches one of the
// program's windows becomes one numbered event, kept in memory for the
// analysis window and streamed to the --wheel-csv file. It is data: per
// event it only asks the system what it knows about the message, numbers
// it, keeps it and tells its listeners; the program's frame takes in what
// capture queued and writes the file's rows, in order, apart from what the
// store keeps or drops.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/wheel/event_store.h"
#include "common/wheel/device_names.h"
#include "common/wheel/wheel_recorder.h"
#include "recording/wheel_capture.h"
#include "recording/window_under_point.h"
#include "win32/log_files.h"
#include "win32/refresh.h"

namespace nl {

class WheelRecording final : public FramePart {
public:
    WheelRecording();

    // Takes the time origin and the steps, makes the capture's window and
    // opens the CSV file if a path is given. Returns a notice for the user
    // when the file is not written to (empty otherwise).
    std::wstring Start(HINSTANCE instance, const std::wstring& csvPath);
    // Told after every change: new events, a Clear, capture on or off.
    void Listen(std::function<void()> onChanged) { listeners_.push_back(std::move(onChanged)); }
    // Where a failure in the recording's frame goes.
    void SetFailureReport(std::function<void(const Error*)> report) { report_ = std::move(report); }

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
    // The last rows to the file; nothing more is recorded.
    void Close();

    // The window under a point, shared by a wheel message's handler and its
    // recorded target.
    HWND WindowAt(std::int32_t x, std::int32_t y) { return windowUnder_.At(x, y); }
    void ForgetWindowUnderPoint() { windowUnder_.Forget(); }

    const EventStore& Store() const { return store_; }
    const WheelSummary& Summary() const { return summary_; }
    const DeviceNames& Devices() const { return devices_; }
    // Empties the view and the summary; numbering, per-axis state and the
    // rows still to be written go on.
    void Clear();
    // Microseconds since the time origin, as time_ms counts them.
    std::int64_t ElapsedUs() const;
    // The header and the given rows of the view, each ending in CR LF.
    std::string CsvText(const std::vector<std::size_t>& rows) const;
    std::string CsvTextOfAll() const;
    // A write to the CSV file that failed since the last call, told by
    // whoever tells the user (empty: none).
    std::wstring TakeCsvProblem();

    // The frame's side: capture's queue taken in, rows written.
    void BeforeFrame() override;
    void OnFrame() override;
    // What the hook queued is taken in within about a frame.
    unsigned TickMs() const override { return Capturing() ? 15 : 0; }
    bool OnTick(std::int64_t) override { return capture_.Waiting(); }
    void OnFrameFailure(const Error* error) noexcept override;

private:
    // Numbers the sample, keeps it and queues its row.
    void Add(const WheelSample& s);
    void AddCaptured(WheelSample& s);  // ticks still absolute
    void AddLost(std::uint64_t count);
    void Keep(const StoredEvent& e);
    void SetSteps(std::int32_t lines);
    void Changed();

    WheelRecorder recorder_;
    EventStore store_;
    WheelSummary summary_;
    DeviceNames devices_;
    WheelCapture capture_;
    WindowUnderPoint windowUnder_;
    LARGE_INTEGER origin_{}, frequency_{};
    LogFile csvFile_;
    std::wstring csvPath_;
    std::vector<StoredEvent> rowsToWrite_;  // in seq order, until the frame
    std::string row_;                       // reused for each row
    std::wstring csvProblem_;               // a write that failed, until told
    std::vector<std::function<void()>> listeners_;
    std::function<void(const Error*)> report_;
    bool closed_ = false;
};

}  // namespace nl
