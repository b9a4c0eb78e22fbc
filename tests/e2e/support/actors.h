// Other programs and a user, as the wheel-path and inspector tests need
// them: real mouse and keyboard input, settings in the test's prefix, a
// legacy wheel driver window, a program holding the clipboard, message boxes
// and windows with awkward titles.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "driver/driver.h"

namespace nle2e {

// ---- input ------------------------------------------------------------------

void MoveCursor(POINT screen);
// One wheel event with this delta at the cursor (120 = one notch forward).
void WheelAtCursor(int delta);
void KeyDown(WORD vk);
void KeyUp(WORD vk);
void ClickAt(POINT screen);
// Makes the window the foreground one so keys go to its thread.
void BringToFront(HWND w);

// ---- prefix settings (read by the next Notchlog start) ----------------------

// Sets a REG_SZ under HKEY_CURRENT_USER and restores what was there.
class ScopedUserString {
public:
    ScopedUserString(std::wstring subKey, std::wstring name, std::wstring value);
    ScopedUserString(const ScopedUserString&) = delete;
    ScopedUserString& operator=(const ScopedUserString&) = delete;
    ScopedUserString(ScopedUserString&& o) noexcept;
    ~ScopedUserString();

private:
    std::wstring subKey_, name_;
    std::optional<std::wstring> previous_;
    bool owns_ = true;
};

// The system's lines per notch as the desktop settings keep them ("3", "0", "-1").
ScopedUserString WheelLinesSetting(const std::wstring& value);
// The Windows version Wine reports to Notchlog.exe ("win95", "winxp", ...).
ScopedUserString WindowsVersionSetting(const std::wstring& version);

// ---- a legacy wheel driver ----------------------------------------------------

// A window of class "MouseZ" titled "Magellan MSWHEEL" on a thread of its
// own, answering the registered "MSH_SCROLL_LINES_MSG" with `lines`, or,
// when hung, never answering at all while the test runs.
class LegacyWheelDriver {
public:
    static LegacyWheelDriver Answering(std::int32_t lines);
    static LegacyWheelDriver Hung();
    LegacyWheelDriver(LegacyWheelDriver&&) noexcept;
    LegacyWheelDriver& operator=(LegacyWheelDriver&&) = delete;
    ~LegacyWheelDriver();
    HWND Window() const;

private:
    struct State;
    explicit LegacyWheelDriver(State* s);
    State* state_;
};

// ---- a program that keeps the clipboard open ---------------------------------

class ClipboardHolder {
public:
    ClipboardHolder();
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;
    ~ClipboardHolder();
    void Release();

private:
    struct State;
    State* state_;
};

// ---- message boxes -------------------------------------------------------------

struct MessageBoxWindow {
    HWND box = nullptr;
    std::wstring caption;
    std::wstring text;
};

// Waits for a message box (#32770) of the process to appear.
MessageBoxWindow WaitForMessageBox(DWORD pid, Millis deadline = kDefaultDeadline);
// Presses a button of the box (IDOK, IDCANCEL) and waits until it is gone.
void PressButton(const MessageBoxWindow& box, int id, Millis deadline = kDefaultDeadline);
bool HasMessageBox(DWORD pid);

// ---- windows of another program --------------------------------------------------

// A visible top-level window of this (test) process, of class "NotchlogProbe",
// at the given screen rectangle with the given title; destroyed with the object.
class ProbeWindow {
public:
    ProbeWindow(const RECT& screen, const std::wstring& title);
    ProbeWindow(const ProbeWindow&) = delete;
    ProbeWindow& operator=(const ProbeWindow&) = delete;
    ~ProbeWindow();
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// ---- texts ---------------------------------------------------------------------

// What Notchlog prints for a window handle in its panels: signed decimal.
std::wstring HandleDecimal(HWND w);
// "(left, top)-(right, bottom) WxH" of a window's rectangle.
std::wstring RectTextOf(HWND w);
std::vector<std::wstring> SplitOn(const std::wstring& text, const std::wstring& separator);
bool IsTimeStamp(const std::wstring& s);
// A text as Notchlog sees it after a round trip through the ANSI code page.
std::wstring ThroughAnsi(const std::wstring& text, std::size_t maxBytes);

}  // namespace nle2e
