// The program's one window: its controls, start-up and shut-down, the
// message log, the wheel handler and the button commands.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/error.h"
#include "common/raii.h"
#include "controls/controls.h"

namespace nl {

class FrmMain {
public:
    // The one instance the window procedures address; made on first use.
    static FrmMain& Instance();

    // Registers the classes, creates the window with its controls, runs the
    // start-up sequence and shows the window. Returns false if the window
    // could not be made.
    bool Load(HINSTANCE instance, int showCommand);

    HWND Handle() const { return hWnd_; }

    // Called by the replacement window procedure.
    void LogMessage(std::int32_t hWnd, std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam);
    bool HandleWheel(std::int32_t notches, std::int32_t keyState, std::int32_t x, std::int32_t y);

    // Key preview: runs before the focused control gets the message. Returns
    // true when the message has been consumed (tab navigation).
    bool PreTranslate(const MSG& msg);

    // Painting of the log, the scroll bar and the green area waits while
    // the message loop still has input or posted messages for the window,
    // and happens once when they are done. The loop calls these around each
    // message it dispatches, and OnIdle when nothing is queued.
    void BeginDispatch(const MSG& msg) { dispatchingToMain_ = msg.hwnd == hWnd_ && hWnd_ != nullptr; }
    void EndDispatch() { dispatchingToMain_ = false; }
    void OnIdle() { FlushPaint(); }
    // Kept by the replacement window procedure: how many of its calls are running.
    void EnterHook() { ++hookDepth_; }
    void LeaveHook() { --hookDepth_; }

    // Tells the user about an error that reached a window procedure or the
    // message loop; never throws.
    void ReportError(const Error* error) noexcept;
    // A log line that could not be added (the list refusing further lines, say).
    void ReportLogFailure(const Error* error) noexcept;

private:
    FrmMain() = default;
    static LRESULT CALLBACK WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    void StartUp();
    void Unload();
    void OnCommand(int id, int code);
    void OnKeyDown(int keyCode, int shift);
    void ScrollByWheel(ScrollBar& bar, std::int32_t notches);
    void ShowNotice(const Error* error, const std::string& lead) noexcept;
    // Deferring is allowed for a message that the main loop itself
    // dispatched to the window (and during start-up); anything else (a
    // message sent from elsewhere, one dispatched by a modal loop, a nested
    // one) paints everything that waits first and then works as before.
    bool PaintWaitsForLoop() const { return loading_ || (dispatchingToMain_ && hookDepth_ == 1); }
    void DeferPaint();
    void FlushPaint();

    // Button commands.
    void Command1Click();
    void Command2Click();
    void Command3Click();
    void Command4Click();

    HWND hWnd_ = nullptr;
    HINSTANCE instance_ = nullptr;
    int dpi_ = 96;
    GdiObject fontLog_;    // lstMessage
    GdiObject fontBold_;   // Label1
    HFONT fontDefault_ = nullptr;

    ListBox lstMessage_;
    ListBox list1_;
    ScrollBar vScroll1_;
    PictureBox picture1_;
    PictureBox picHover_;
    HWND controls_[13] = {};

    std::string wheelInfoText_;  // WheelInfoText: the last wheel event's description
    std::string hoverInfoText_;  // HoverInfoText: the last Ctrl inspection's description
    std::string lineBuffer_;  // reused by LogMessage
    bool reportingError_ = false;
    bool loading_ = false;
    bool dispatchingToMain_ = false;
    int hookDepth_ = 0;
    bool paintDeferred_ = false;
};

}  // namespace nl
