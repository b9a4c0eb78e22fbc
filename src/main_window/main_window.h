// The program's one window: its controls, start-up and shut-down, the
// message log, the wheel handler, the Ctrl inspector and the button
// commands, and the refresh that brings the screen up to date.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/command_line.h"
#include "common/hook_dispatch.h"
#include "common/layout.h"
#include "common/refresh_schedule.h"
#include "controls/controls.h"
#include "win32/log_files.h"
#include "win32/raii.h"

namespace nl {

class MainWindow final : public MessageSink {
public:
    // The one instance the window procedures address; made on first use.
    static MainWindow& Instance();

    // Registers the classes, creates the window with its controls, runs the
    // start-up sequence and shows the window. Returns false if the window
    // could not be made.
    bool Create(HINSTANCE instance, int showCommand, const Options& options);

    // Key preview: runs before the focused control gets the message. Returns
    // true when the message has been consumed (tab navigation).
    bool PreTranslate(const MSG& msg);

    // Called by the replacement window procedure.
    void HandleWheel(const WheelEvent& e) override;
    void LogMessage(std::int32_t hWnd, std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam) override;
    bool LoggingStopped() const override { return closing_ || paused_; }
    // Tell the user about an error that reached a window procedure or the
    // message loop; never throw.
    void ReportError(const Error* error) noexcept override;
    void ReportLogFailure(const Error* error) noexcept override;

private:
    // What the refresh brings up to date.
    enum View : unsigned { kLogView = 1, kScrollBarView = 2, kWheelTargetView = 4, kHoverPanelView = 8 };

    MainWindow() = default;
    static LRESULT CALLBACK WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK RefreshWndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    void AddSystemMenuItems();
    void Close();
    void OnCommand(int id, int code);
    void OnKeyDown(int keyCode);
    void ScrollByWheel(ScrollBar& bar, std::int32_t notches);
    void ShowNotice(const Error* error, const std::string& lead) noexcept;

    void OnClearLog();
    void OnCopyLog();
    void OnCopyWheelInfo();
    void OnCopyHoverInfo();
    // The system menu's own commands.
    bool OnSystemCommand(UINT command);
    void OnAlwaysOnTop();
    void OnPauseLogging();
    void OnSaveLog();
    // All lines, joined by CR LF.
    std::string LogText() const;

    // Handlers mark what they changed and then ask for a refresh, which
    // runs at once or when the schedule says it is due.
    void MarkStale(unsigned views);
    void ScheduleRefresh();
    void Refresh();
    void RefreshAndReschedule();

    HWND hWnd_ = nullptr;
    HINSTANCE instance_ = nullptr;
    int dpi_ = 96;
    GdiObject logFont_;
    GdiObject instructionsFont_;
    HFONT defaultFont_ = nullptr;

    ListBox messageLog_;
    ListBox sampleList_;
    ScrollBar wheelScrollBar_;
    TextPanel wheelTarget_;
    TextPanel hoverPanel_;
    HWND controls_[kControlCount] = {};

    std::string windowsVersionName_;   // read at start-up, shown in error reports
    std::int32_t wheelScrollLines_ = 0;  // read at start-up; -1: a page per notch
    std::string wheelInfoText_;  // the last wheel event's description
    std::string hoverInfoText_;  // the last Ctrl inspection's description
    std::string lineBuffer_;     // reused by LogMessage
    bool creating_ = false;
    bool closing_ = false;
    bool paused_ = false;
    LogFile logFile_;  // --log FILE
    std::wstring logFileProblem_;  // a write that failed, told after the refresh
    bool reportingError_ = false;

    HWND refreshWindow_ = nullptr;  // receives the refresh timer and requests
    RefreshSchedule schedule_;
    unsigned staleViews_ = 0;
    bool refreshing_ = false;
    bool refreshPosted_ = false;
    bool timerArmed_ = false;
    std::int64_t timerDueUs_ = 0;
};

}  // namespace nl
