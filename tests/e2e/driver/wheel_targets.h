// Windows of known kinds for the wheel test to grade, each started in a
// process of its own (notchlog_wheel_target.exe, built beside this driver;
// targets/wheel_target_window.cpp says what each kind does) and ended by its
// handle when the object goes.
#pragma once

#include "driver/driver.h"

namespace nle2e {

enum class WheelTargetKind {
    Accumulating,        // sound: adds up deltas, L lines per 120
    Truncating,          // divides each delta by 120 first
    EveryMessage,        // L lines for every message
    FixedFour,           // a list box scrolling 4 items per 120
    ReversedHorizontal,  // sound, but the horizontal wheel goes the wrong way
    IgnoresHorizontal,   // sound, with a horizontal scroll bar it does not move
    Slow,                // sound, 35 ms over each wheel message
    List,                // a standard list box of 200 items
    Pixels,              // sound, readable by its pixels only (16 px a line)
    ShortList,           // a standard list box whose top item stops at 12
    // Not graded by the whole wheel test runs: read by their pixels only.
    BlocksReversed,           // cells of colour, the horizontal wheel the wrong way
    BlocksIgnoresHorizontal,  // cells of colour, the horizontal wheel ignored
    RepeatedText,             // lines repeating sideways, the horizontal wheel ignored
    PaintsOnce,               // like Pixels, but one paint once the wheel rests
    // Read by the zoom reader: text drawn at their zoom.
    Zooms,            // Ctrl+wheel by MK_CONTROL, a step per 120 of delta
    ZoomsByKeyboard,  // only while Ctrl is down: MK_CONTROL alone scrolls
    ZoomsPerMessage,  // a step for every MK_CONTROL message
    ZoomsWrongWay,    // forward zooms out
    NoZoom,           // scrolls whatever the keys
    RichEdit,         // a RichEdit20W full of lines
    // Lists that scroll by the stored lines-per-notch setting, as a program that reads it itself:
    ListRereadsSetting,  // read again when told the setting changed
    ListKeepsSetting,    // read once, at start
};

constexpr WheelTargetKind kAllWheelTargetKinds[] = {
    WheelTargetKind::Accumulating, WheelTargetKind::Truncating, WheelTargetKind::EveryMessage, WheelTargetKind::FixedFour,
    WheelTargetKind::ReversedHorizontal, WheelTargetKind::IgnoresHorizontal, WheelTargetKind::Slow,
    WheelTargetKind::List, WheelTargetKind::Pixels, WheelTargetKind::ShortList};

// The kind's name on notchlog_wheel_target.exe's command line.
inline const wchar_t* WheelTargetName(WheelTargetKind kind) {
    static const wchar_t* const names[] = {L"accumulating", L"truncating", L"every-message", L"fixed-four",
                                           L"reversed-horizontal", L"ignores-horizontal", L"slow", L"list",
                                           L"pixels", L"short-list", L"blocks-reversed",
                                           L"blocks-ignores-horizontal", L"repeated-text", L"paints-once",
                                           L"zooms", L"zooms-by-keyboard", L"zooms-per-message", L"zooms-wrong-way",
                                           L"no-zoom", L"rich-edit", L"list-rereads-setting",
                                           L"list-keeps-setting"};
    return names[static_cast<int>(kind)];
}

// Its top-level window's title, unique to the kind.
inline std::wstring WheelTargetTitle(WheelTargetKind kind) { return std::wstring(L"Wheel target: ") + WheelTargetName(kind); }

struct WheelTargetOptions {
    POINT at{820, 40};   // the window's top-left corner on the screen
    int hangAfter = -1;  // stop answering after this many wheel messages (0: at once)
    int closeAfter = -1;  // close the window after this many wheel messages
    bool atEnd = false;   // start scrolled to the end of its range
};

class WheelTarget {
public:
    static constexpr UINT kAskPosition = WM_APP + 2;
    static constexpr UINT kAskZoom = WM_APP + 4;

    explicit WheelTarget(WheelTargetKind kind, const WheelTargetOptions& options = {})
        : kind_(kind),
          process_(ExePath(), Format(L"\"%ls\" %ls --at %ld %ld --hang-after %d --close-after %d%ls", ExePath().c_str(),
                                     WheelTargetName(kind), options.at.x, options.at.y, options.hangAfter,
                                     options.closeAfter, options.atEnd ? L" --at-end" : L"")) {
        const std::wstring title = WheelTargetTitle(kind);
        WaitUntil([&] {
            for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, nullptr, title.c_str()));) {
                DWORD owner = 0;
                ::GetWindowThreadProcessId(w, &owner);
                if (owner == Pid() && ::IsWindowVisible(w)) window_ = w;
            }
            return window_ != nullptr || !Running();
        });
        if (!window_) throw DriverError("the wheel target " + Narrow(title) + " showed no window");
        if (options.hangAfter != 0) Send(window_, WM_NULL);  // its message loop runs: it is ready
    }
    WheelTarget(const WheelTarget&) = delete;

    WheelTargetKind Kind() const { return kind_; }
    HWND Window() const { return window_; }
    // The window the wheel reaches at the centre of the client area: the
    // list box or rich edit of those kinds, else the window itself.
    HWND Content() const {
        HWND child = ::GetWindow(window_, GW_CHILD);
        if (child && (ClassOf(child) == L"ListBox" || ClassOf(child) == L"RichEdit20W")) return child;
        return window_;
    }
    DWORD Pid() const { return process_.Pid(); }
    bool Running() const { return process_.Running(); }
    // Where the window says it is: its first line (item) shown.
    int Position() const { return static_cast<int>(Send(window_, kAskPosition)); }
    // Its zoom in percent (100 where it does not zoom).
    int Zoom() const { return static_cast<int>(Send(window_, kAskZoom)); }
    // The centre of the client area, in screen coordinates.
    POINT TestPoint() const {
        RECT r{};
        ::GetClientRect(window_, &r);
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ::ClientToScreen(window_, &p);
        return p;
    }
    // Closes the window as a user would and waits for the process to end.
    void Close() {
        Post(window_, WM_CLOSE);
        if (!WaitUntil([&] { return !Running(); })) throw DriverError("the wheel target did not close");
    }

    // Beside this program (the end-to-end driver), else in the end-to-end
    // tests' folder beside this program's folder (the benchmark's).
    static std::wstring ExePath() {
        wchar_t buf[MAX_PATH * 2] = {};
        std::wstring self(buf, ::GetModuleFileNameW(nullptr, buf, MAX_PATH * 2));
        const std::wstring folder = self.substr(0, self.find_last_of(L'\\') + 1);
        const std::wstring beside = folder + L"notchlog_wheel_target.exe";
        if (::GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES) return beside;
        return folder + L"..\\e2e\\notchlog_wheel_target.exe";
    }

private:
    WheelTargetKind kind_;
    ChildProcess process_;
    HWND window_ = nullptr;
};

}  // namespace nle2e
