// The window a wheel test or a replay works on, from outside: finding it,
// watching that it stays testable, delivering wheel input to it and reading
// how far its content moved. Everything here runs on the sender's thread
// (never the GUI thread), except FindTestedWindow, DescribeWindow and what
// tells a person about the target (DescribeTestedWindow, ScrollFactsOf,
// PreviewMeasuredReading), which any thread may call.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/wheel_test/target_text.h"
#include "common/wheel_test/window_form.h"

namespace nl {

enum class Delivery { Injected, Posted };

// How a position is read; the report prints it with its unit
// ("LB_GETTOPINDEX items", "LVM_GETTOPINDEX rows", "EM_GETFIRSTVISIBLELINE
// lines", "SBM_GETPOS units", "GetScrollInfo units", "image px",
// "clock ms"): see common/wheel_test/window_form.h's MethodText.
// ReadMethod is declared in common/wheel_test/window_form.h.

// The window a form names, or null with `problem` set to the reason the
// report prints ("no window matches title:TEXT", "0x3C2 is not a window",
// "no window matches class:NAME").
HWND FindTestedWindow(const WindowForm& form, std::string& problem);

// "0000A1B2 ClassName "Title" (process 1234)": the report's measured
// window line.
std::string DescribeWindow(HWND target);

// The target line's text, naming the top-level window and the program:
// "000200A8 Edit in "long.txt - Notepad" (notepad.exe, process 272)" (see
// common/wheel_test/target_text.h's TargetText). Sends the window nothing
// (the title is the one the system keeps), so a hung target cannot hold it
// up; any thread may call it.
std::string DescribeTestedWindow(HWND target);
// What DescribeTestedWindow says it from.
WindowFacts FactsOf(HWND w);
// The file name of the process's executable ("notepad.exe"), in the ANSI
// code page; empty when it cannot be read (the process is gone, or this
// one may not look at it).
std::string ProgramNameOf(DWORD processId);

// What a test of the target would measure, found without a test: the
// measured window (LocateTestPlace's; where the target is covered at the
// test point, the target's own window there, as the test finds it once it
// has brought the target to the front) and each axis's reading method
// (PositionReader's choice). `problem` when that cannot be told:
// LocateTestPlace's reason, or "the target does not answer" when it did not
// answer the messages within `withinMs` in all (the methods are then as far
// as they were found). Any thread may call it; it takes at most about
// `withinMs`.
struct MeasuredReading {
    HWND measured = nullptr;
    ReadMethod vertical = ReadMethod::Image, horizontal = ReadMethod::Image;
    std::string problem;
};
inline constexpr int kPreviewWithinMs = 250;
MeasuredReading PreviewMeasuredReading(HWND target, int withinMs = kPreviewWithinMs);
// The Measured line's facts (common/wheel_test/target_text.h's
// MeasuredText); a test that has begun gives them from its place and
// readers: {place.measured, vertical.Method(), horizontal.Method(), ""}.
MeasuredFacts MeasuredFactsOf(const MeasuredReading& reading);

// The class and styles that tell whether a test will read the window from
// the screen (common/wheel_test/target_text.h's ReadFromScreen); sends the
// window nothing.
ScrollFacts ScrollFactsOf(HWND w);

// Where the input goes: the test point (the centre of the target's client
// area, in screen coordinates) and the measured window (the window there,
// which must be the target or one of its descendants).
struct TestPlace {
    HWND target = nullptr;
    HWND measured = nullptr;
    POINT testPoint{};
    RECT targetRect{};  // the target's window rectangle when the test began
};

// Finds the test point and the measured window; empty on success, else the
// reason ("the target was closed", "the target was hidden or minimised",
// "the target is covered at the test point").
std::string LocateTestPlace(HWND target, TestPlace& place);

// Checks before each step; empty when all is well, else the reason:
// "the target was closed", "the target was hidden or minimised", "the
// target moved or changed size", "the target is covered at the test
// point", "the target does not answer" (no WM_NULL answer within 2 s),
// and with injected delivery "the pointer was moved", "a key or mouse
// button is held down" (Ctrl and Shift count only when the test does not
// hold them itself: `keysHeldByTest` has MK_CONTROL and MK_SHIFT as
// WheelDelivery::HeldKeys gives them; Esc never counts, as it stops the
// test, which the run looks at first).
std::string CheckTestedWindow(const TestPlace& place, Delivery delivery, std::uint16_t keysHeldByTest = 0);

// Something to scroll sideways: the window's own horizontal bar
// (WS_HSCROLL) or a visible horizontal scroll-bar control among its children.
bool HasHorizontalBar(HWND measured);

// Delivers wheel messages at the test point. Injected: Begin brings the
// target's top-level window to the front (and checks it came), moves the
// pointer to the test point and remembers where it was; each Send is one
// SendInput call. Posted: PostMessage to the measured window, lParam the
// test point in screen coordinates; the pointer is untouched. End puts the
// pointer back and releases every key this object pressed; the destructor
// calls it, so every way out restores them.
class WheelDelivery {
public:
    // The system's calls, which a test may stand in for.
    using SendInputFn = UINT(WINAPI*)(UINT, LPINPUT, int);
    using PostMessageFn = BOOL(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

    WheelDelivery(Delivery how, const TestPlace& place, SendInputFn sendInput = &::SendInput,
                  PostMessageFn postMessage = &::PostMessageW)
        : how_(how), place_(place), sendInput_(sendInput), postMessage_(postMessage) {}
    ~WheelDelivery() { End(); }
    WheelDelivery(const WheelDelivery&) = delete;
    WheelDelivery& operator=(const WheelDelivery&) = delete;

    // Empty on success, else the reason the input cannot be delivered
    // ("the target could not be brought to the front", "the pointer could
    // not be moved to the test point"); End undoes what Begin did either way.
    std::string Begin();
    // `count` messages of `delta` on the vertical or horizontal wheel.
    // Injected: one SendInput call of `count` inputs, each with `extraInfo`;
    // posted: `count` PostMessage calls with `keys` in wParam's low word.
    // Empty when the system took them all, else how it refused them
    // ("SendInput took 3 of 20 events: REASON"). A posted message refused
    // because the window is gone is not a refusal: the checks tell that.
    std::string Send(bool horizontal, std::int16_t delta, int count, std::uint16_t keys = 0,
                     std::uint32_t extraInfo = 0);
    // `count` messages posted to the measured window whatever the delivery,
    // with `keys` in wParam's low word (a touchpad's pinch: MK_CONTROL with
    // no key down); empty, or how the system refused them.
    std::string Post(bool horizontal, std::int16_t delta, int count, std::uint16_t keys);
    // Injected only: holds Ctrl and Shift down (or lets them up) as given.
    void HoldKeys(bool ctrl, bool shift);
    // MK_CONTROL and MK_SHIFT for the keys HoldKeys holds down now.
    std::uint16_t HeldKeys() const;
    void End();

    Delivery How() const { return how_; }

private:
    Delivery how_;
    TestPlace place_;
    SendInputFn sendInput_;
    PostMessageFn postMessage_;
    bool begun_ = false;
    POINT savedCursor_{};
    bool ctrlHeld_ = false, shiftHeld_ = false;
};

// Reads how far the measured window's content moved along one axis, by the
// first method that works for it (chosen once, when the reader is made).
class PositionReader {
public:
    PositionReader(const TestPlace& place, bool horizontal);
    ~PositionReader();
    PositionReader(const PositionReader&) = delete;
    PositionReader& operator=(const PositionReader&) = delete;

    ReadMethod Method() const { return method_; }

    // The method a reader made now would choose, without making one (no
    // picture is taken): the messages it sends share a deadline `withinMs`
    // away, and once one goes unanswered no more are sent and `answered` is
    // false (the method is then one found without the window's answers:
    // GetScrollInfo, or the image).
    static ReadMethod ChooseMethod(const TestPlace& place, bool horizontal, int withinMs, bool& answered);

    // Takes the current position (or image), once it has stayed put for
    // 30 ms, as the base of the next movement; the first Mark is where the
    // test started, which positions count from. False when it could not be
    // read.
    bool Mark();

    struct Settled {
        // Units the content moved since the last Mark or Settle, positive
        // towards the end (down, right); nullopt: unmeasured, for `reason`.
        std::optional<std::int32_t> movement;
        // Units from where the first Mark found it, where known.
        std::optional<std::int32_t> position;
        std::string reason;
        // Whether two reads 30 ms apart agreed within the second (an image
        // may agree and still tell no movement).
        bool agreed = false;
        // When the first of the agreeing reads was taken (ClockUs); 0 when
        // they never agreed.
        std::int64_t settledAtUs = 0;
    };
    // After the last message of a step: two WM_NULL round trips to the
    // target's thread, then reads `pollMs` apart until the reads have agreed
    // for 30 ms and two more WM_NULL round trips come back at once (the
    // target has no input left; at most 1 s, else unmeasured). The last
    // position read becomes the next base.
    Settled Settle(int pollMs = 30);

    // The position now, without settling (a replay reads along the way):
    // the window's own for a message, the pixels moved since the first Mark
    // for the image; nullopt when it cannot be read.
    std::optional<std::int32_t> ReadNow();

    // Where the reading gives the range (a list's item count, an edit's
    // line count, a scroll bar's range): units below the last row in view,
    // and a page (what the control moves for SB_PAGEDOWN), each where known.
    struct Range {
        std::optional<std::int32_t> freeBelow, page;
    };
    Range ReadRange();

    // Why the last reading that failed did (the image's reason, "the
    // screen could not be read", ...).
    std::string LastProblem() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;  // the image buffers and the base reading
    ReadMethod method_ = ReadMethod::Image;
};

// Two WM_NULL round trips to the target's thread: queued input sent before
// them has been taken by the target when they return. False when the target
// does not answer within 2 s.
bool SyncWithWindow(HWND target);

// Whether the target has nothing left to do: it answers two WM_NULLs at
// once, and again after a pause; nullopt when it does not answer at all.
std::optional<bool> WindowIdle(HWND target);

// Microseconds on the performance counter.
std::int64_t ClockUs();

}  // namespace nl
