// The program's main window: its controls, start-up and shut-down, the
// wheel handler, the Ctrl inspector and the button and system-menu
// commands; the message log and the green area's text are parts of their
// own. Its procedure is replaced by the subclass, which hands every message
// to it as a MessageSink; the screen is brought up to date by the
// program's frame.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "common/app/command_line.h"
#include "common/message_log/subclass_dispatch.h"
#include "common/panels/layout.h"
#include "controls/controls.h"
#include "common/panels/panel_texts.h"
#include "main_window/message_log.h"
#include "recording/wheel_recording.h"
#include "subclass/subclass.h"
#include "win32/message_boxes.h"
#include "win32/raii.h"
#include "win32/refresh.h"
#include "win32/window.h"

namespace nl {

class MainWindow final : public Window, public MessageSink, public FramePart {
public:
    // The frame that paints the window; the recording every wheel message
    // is handed to on arrival.
    MainWindow(Frame& frame, WheelRecording& recording) : subclass_(*this), frame_(frame), recording_(recording) {}

    // Before Create: what "Wheel analysis…" does.
    void OnOpenAnalysis(std::function<void()> openAnalysis) { openAnalysis_ = std::move(openAnalysis); }
    // What "Wheel test…" does.
    void OnOpenWheelTest(std::function<void()> openWheelTest) { openWheelTest_ = std::move(openWheelTest); }

    // Registers the classes, creates the window with its controls, runs the
    // start-up sequence and shows the window. Returns false if the window
    // could not be made.
    bool Create(HINSTANCE instance, int showCommand, const Options& options);

    // Key preview: runs before the focused control gets the message. Returns
    // true when the message has been consumed (tab navigation).
    bool PreTranslate(const MSG& msg);

    // Called by the replacement window procedure.
    void OnWheelArrived(std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam) override;
    void HandleWheel(const WheelEvent& e) override;
    void LogMessage(std::int32_t hWnd, std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam) override;
    bool LoggingStopped() const override { return closing_ || paused_; }
    void ReportError(const Error* error) noexcept override { ReportFailure(Handle(), error); }
    void ReportLogFailure(const Error* error) noexcept override;

private:
    // System menu commands: the system keeps the low four bits for itself.
    static constexpr UINT kAlwaysOnTopCommand = 0x0100;
    static constexpr UINT kPauseLoggingCommand = 0x0110;
    static constexpr UINT kSaveLogCommand = 0x0120;
    static constexpr UINT kWheelAnalysisCommand = 0x0130;
    static constexpr UINT kWheelTestCommand = 0x0140;
    // The wheel target's colour, light green.
    static constexpr COLORREF kGreen = 0x0080FF80;
    // What the frame brings up to date.
    enum View : unsigned { kLogView = 1, kScrollBarView = 2, kWheelTargetView = 4, kHoverPanelView = 8 };

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void CreateControls();
    void AddSystemMenuItems();
    void Close();
    void OnCommand(int id, int code);
    void OnKeyDown(int keyCode);
    void ScrollByWheel(ScrollBar& bar, std::int32_t notches);

    void OnClearLog();
    void OnCopyLog();
    void OnCopyWheelInfo();
    void OnCopyHoverInfo();
    // The system menu's own commands.
    bool OnSystemCommand(UINT command);
    void OnAlwaysOnTop();
    void OnPauseLogging();
    void OnSaveLog();
    // Marks views stale; the frame brings them up to date.
    void Stale(unsigned views) {
        staleViews_ |= views;
        frame_.Update();
    }

    // The frame's side.
    void OnFrame() override;
    void AfterFrame() override;
    void OnFrameFailure(const Error* error) noexcept override { ReportError(error); }

    std::function<void()> openWheelTest_;
    Subclass subclass_;
    Frame& frame_;
    WheelRecording& recording_;
    std::function<void()> openAnalysis_;
    unsigned staleViews_ = 0;
    HINSTANCE instance_ = nullptr;
    int dpi_ = 96;
    GdiObject logFont_;
    GdiObject instructionsFont_;
    HFONT defaultFont_ = nullptr;

    MessageLog messageLog_;
    ListBox sampleList_;
    ScrollBar wheelScrollBar_;
    TextPanel wheelTarget_;
    TextPanel hoverPanel_;
    HWND controls_[kControlCount] = {};

    std::string windowsVersionName_;     // read at start-up, shown in error reports
    std::int32_t wheelScrollLines_ = 0;  // read at start-up; -1: a page per notch
    WheelPanelText wheelInfo_;           // the green area's text
    std::string hoverInfoText_;          // the last Ctrl inspection's description
    std::int32_t maxLines_ = 0;          // --max-lines
    bool closing_ = false;
    bool paused_ = false;
};

}  // namespace nl
