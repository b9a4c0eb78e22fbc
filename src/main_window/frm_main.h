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
};

}  // namespace nl
