// Drives a running Notchlog.exe from another process: starts it, finds its
// window and controls, reads its list boxes and the clipboard, and ends it.
// Every handle has an owner that releases it; failures throw DriverError so
// a test fails with a readable message instead of hanging or crashing.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace nle2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// Generous: a slow machine under load still makes it, and a wait that
// succeeds returns as soon as its condition holds.
constexpr Millis kDefaultDeadline = 20s;

class DriverError : public std::runtime_error {
public:
    explicit DriverError(const std::string& what);
};

// Throws DriverError with `what` and the text of GetLastError().
[[noreturn]] void ThrowLastError(const std::string& what);

std::string Narrow(const std::wstring& w);
std::wstring Widen(const std::string& s);

// ---- owners -----------------------------------------------------------------

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept;
    ~UniqueHandle() { Reset(); }
    HANDLE Get() const { return h_; }
    explicit operator bool() const { return h_ && h_ != INVALID_HANDLE_VALUE; }
    void Reset();

private:
    HANDLE h_ = nullptr;
};

class UniqueRegKey {
public:
    UniqueRegKey() = default;
    explicit UniqueRegKey(HKEY k) : k_(k) {}
    UniqueRegKey(const UniqueRegKey&) = delete;
    UniqueRegKey& operator=(const UniqueRegKey&) = delete;
    UniqueRegKey(UniqueRegKey&& o) noexcept : k_(std::exchange(o.k_, nullptr)) {}
    ~UniqueRegKey() {
        if (k_) ::RegCloseKey(k_);
    }
    HKEY Get() const { return k_; }

private:
    HKEY k_ = nullptr;
};

// A screen DC from GetDC, released with ReleaseDC.
class ScreenDc {
public:
    ScreenDc();
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    ~ScreenDc();
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// ---- waiting ------------------------------------------------------------------

// Polls `condition` until it returns true or the deadline passes; returns
// the condition's last answer. Never a fixed sleep: the wait ends as soon as
// the condition holds.
template <typename Condition>
bool WaitUntil(Condition&& condition, Millis deadline = kDefaultDeadline, Millis poll = 10ms) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return condition();
        std::this_thread::sleep_for(poll);
    }
}

// ---- windows ------------------------------------------------------------------

std::wstring ClassNameOf(HWND w);
// The caption as the window manager keeps it; sends nothing to the window.
std::wstring TextOf(HWND w);
// Top-level windows of a process with the given class (any visibility).
std::vector<HWND> TopLevelWindows(DWORD pid, const std::wstring& className);
// Direct children of `parent`, top of the z-order first.
std::vector<HWND> ChildrenInZOrder(HWND parent);
// A child's rectangle in the client coordinates of `parent`.
RECT RectInParentClient(HWND child, HWND parent);
SIZE ClientSize(HWND w);
// The window that has the keyboard focus in the GUI thread owning `w`.
HWND FocusOfThreadOwning(HWND w);

// SendMessageTimeoutW; throws when the target does not answer in time.
LRESULT Send(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0, Millis timeout = 10s);
void Post(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0);

// The 32-bit value Notchlog prints for a window handle, in upper-case hex
// without leading zeros.
std::wstring HandleHex(HWND w);

// ---- list boxes ---------------------------------------------------------------

struct ListState {
    std::vector<std::wstring> lines;
    int selected = LB_ERR;
    int top = LB_ERR;
    int visibleRows = 0;  // whole rows that fit in the list's client area
};

int ListCount(HWND list);
std::wstring ListLine(HWND list, int index);
std::vector<std::wstring> ListLines(HWND list);
ListState ReadList(HWND list);

// ---- clipboard ----------------------------------------------------------------

// The clipboard's CF_UNICODETEXT, or nothing when it holds no text. Retries
// OpenClipboard until the deadline: the X11 clipboard sync holds it briefly.
std::optional<std::wstring> ReadClipboardText(Millis deadline = 5s);
void WriteClipboardText(const std::wstring& text, Millis deadline = 5s);

// ---- screen -------------------------------------------------------------------

// The colour shown at a screen point (read from the screen DC).
COLORREF ScreenPixel(int x, int y);
// The centre of a window's rectangle, in screen coordinates.
POINT CentreOf(HWND w);
// Copies a screen rectangle from the screen DC into a 24-bit BMP file.
void SaveScreenBmp(const RECT& screenRect, const std::wstring& path);

// ---- registry -----------------------------------------------------------------

// Sets a REG_DWORD under HKEY_CURRENT_USER for the owner's lifetime and
// puts back what was there before (the old value, or no value at all).
class ScopedUserDword {
public:
    ScopedUserDword(std::wstring subKey, std::wstring name, DWORD value);
    ScopedUserDword(const ScopedUserDword&) = delete;
    ScopedUserDword& operator=(const ScopedUserDword&) = delete;
    ~ScopedUserDword();

private:
    std::wstring subKey_, name_;
    std::optional<DWORD> previous_;
};

// Removes a value under HKEY_CURRENT_USER if it exists.
void DeleteUserValue(const std::wstring& subKey, const std::wstring& name);

// The screen resolution setting that Notchlog reads when it starts.
extern const wchar_t* const kDesktopKey;   // Control Panel\Desktop
extern const wchar_t* const kLogPixels;    // LogPixels

// Handles what was sent or posted to this thread's own windows.
void PumpMessages();
// True when `w` or a window inside it has something left to paint.
bool HasPendingPaint(HWND w);

// ---- the program ----------------------------------------------------------------

// A Unix absolute path as Wine reaches it (through drive Z:); any other
// path unchanged.
std::wstring WindowsPath(std::wstring path);

// Where Notchlog.exe is: $NOTCHLOG_EXE (a Windows path, or a Unix path that
// is reached through drive Z:), else Notchlog.exe beside this executable,
// else the one at the top of the build folder holding this executable.
std::wstring NotchlogExePath();

// One running Notchlog.exe. The destructor ends the process by its handle if
// it is still running, so a failed test leaves nothing behind.
class Notchlog {
public:
    static constexpr const wchar_t* kMainClass = L"NotchlogMain";

    // Starts the program and waits until its main window exists and is
    // shown and the program waits for input.
    static Notchlog Launch(const std::wstring& exe = NotchlogExePath(), Millis deadline = kDefaultDeadline);

    Notchlog(Notchlog&&) noexcept = default;
    Notchlog& operator=(Notchlog&& o) noexcept;  // ends the process it held
    ~Notchlog();

    DWORD Pid() const { return pid_; }
    HANDLE Process() const { return process_.Get(); }
    HWND Main() const { return main_; }
    bool Running() const;

    // The child control with this id (Notchlog numbers them 101..113).
    HWND Control(int id) const;
    HWND Log() const;  // lstMessage

    // Clicks one of the Copy buttons and returns what it put on the
    // clipboard (a placeholder is put there first, so a Copy that did
    // nothing shows). Throws when the clipboard then holds no text.
    std::wstring CopiedBy(int button) const;

    // Waits until the message log holds a line for which `match` is true and
    // returns the whole log as it was then.
    template <typename Match>
    std::vector<std::wstring> WaitForLogLine(Match&& match, Millis deadline = kDefaultDeadline) const {
        std::vector<std::wstring> lines;
        const bool found = WaitUntil(
            [&] {
                lines = ListLines(Log());
                for (const auto& l : lines)
                    if (match(l)) return true;
                return false;
            },
            deadline, 20ms);
        if (!found) throw DriverError("the expected line never reached the message log");
        return lines;
    }

    // Waits until everything the program had to do (posted messages, input,
    // painting) is done and nothing more gets logged: each round posts a
    // marker message and waits for its line, then for all painting to end;
    // the program is idle once a round adds nothing but the marker's line.
    // Returns the log.
    std::vector<std::wstring> Settle(Millis deadline = kDefaultDeadline);
    static constexpr UINT kSettleMarker = WM_APP + 0x3FF;

    // Posts WM_CLOSE and waits for the process to end; returns its exit code.
    DWORD Close(Millis deadline = kDefaultDeadline);
    // Waits for the process to end without doing anything to it.
    std::optional<DWORD> WaitForExit(Millis deadline);
    // Ends the process by its handle (last resort).
    void Terminate() noexcept;

private:
    Notchlog() = default;
    UniqueHandle process_;
    UniqueHandle thread_;
    DWORD pid_ = 0;
    DWORD tid_ = 0;
    HWND main_ = nullptr;
};

// Control ids, in creation order.
enum ControlId : int {
    kCommand4 = 101,
    kPicHover,
    kVScroll1,
    kCommand3,
    kPicture1,
    kCommand2,
    kCommand1,
    kLstMessage,
    kList1,
    kLblWindow,
    kLabel1,
    kLabel3,
    kLabel2,
};

// ---- log lines ------------------------------------------------------------------

// One message-log line taken apart. Parsing is strict: any deviation from
// the layout (blanks, TAB, field names, digits) makes ParseLogLine fail.
struct LogLine {
    int hour = 0, minute = 0, second = 0;
    std::wstring hWnd;      // hex digits as printed
    std::wstring uMsgField; // the field after "uMsg=", padding included
    std::uint32_t uMsg = 0;
    int wHi = 0, wLo = 0, lHi = 0, lLo = 0;
};
std::optional<LogLine> ParseLogLine(const std::wstring& line);

// True when `line` logs message `uMsg` (any parameters).
bool IsLogOf(const std::wstring& line, std::uint32_t uMsg);

// The message numbers logged in lines[from...] that are among `only`, in
// log order; for checking the order of some messages when others (painting,
// nested default handling) may be logged in between. Throws on a line that
// is not in the log layout.
std::vector<std::uint32_t> LoggedAmong(const std::vector<std::wstring>& lines, std::size_t from,
                                       const std::vector<std::uint32_t>& only);

}  // namespace nle2e
