// Wheel input at the test point: injected through the system's input queue
// with the pointer there, or posted straight to the measured window.
#include <vector>

#include "tested_window/tested_window.h"

namespace nl {

namespace {

constexpr int kWaitMs = 1000;

// Polls `done` every 5 ms for up to a second.
template <typename Done>
bool WaitFor(Done&& done) {
    for (int waited = 0;; waited += 5) {
        if (done()) return true;
        if (waited >= kWaitMs) return false;
        ::Sleep(5);
    }
}

bool PointerAt(POINT p) {
    POINT now{};
    return ::GetCursorPos(&now) && now.x == p.x && now.y == p.y;
}

// Presses or lets go of a key and waits until the system's key state says
// so, so that the next check sees it.
void PressKey(WORD vk, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    if (::SendInput(1, &input, sizeof input) == 1)
        WaitFor([&] { return ((::GetAsyncKeyState(vk) & 0x8000) != 0) == down; });
}

}  // namespace

std::string WheelDelivery::Begin() {
    if (begun_) return std::string();
    begun_ = true;
    if (how_ == Delivery::Posted) return std::string();
    // Where "scroll inactive windows" is off, the wheel goes to the focus
    // window, so the target's top-level window has to be in front.
    HWND top = ::GetAncestor(place_.target, GA_ROOT);
    if (::GetForegroundWindow() != top) ::SetForegroundWindow(top);
    if (!WaitFor([&] { return ::GetForegroundWindow() == top; })) {
        begun_ = false;
        return "the target could not be brought to the front";
    }
    if (!::GetCursorPos(&savedCursor_)) {
        begun_ = false;
        return "the pointer could not be moved to the test point";
    }
    ::SetCursorPos(place_.testPoint.x, place_.testPoint.y);
    if (!WaitFor([&] { return PointerAt(place_.testPoint); })) return "the pointer could not be moved to the test point";
    return std::string();
}

bool WheelDelivery::Send(bool horizontal, std::int16_t delta, int count, std::uint16_t keys, std::uint32_t extraInfo) {
    if (count <= 0) return true;
    if (how_ == Delivery::Injected) {
        std::vector<INPUT> inputs(static_cast<std::size_t>(count));
        for (INPUT& input : inputs) {
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = horizontal ? MOUSEEVENTF_HWHEEL : MOUSEEVENTF_WHEEL;
            input.mi.mouseData = static_cast<DWORD>(static_cast<LONG>(delta));
            input.mi.dwExtraInfo = extraInfo;
        }
        return ::SendInput(static_cast<UINT>(count), inputs.data(), sizeof(INPUT)) == static_cast<UINT>(count);
    }
    const UINT msg = horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL;
    const WPARAM wp = MAKEWPARAM(keys, static_cast<WORD>(delta));
    const LPARAM lp = MAKELPARAM(static_cast<WORD>(place_.testPoint.x), static_cast<WORD>(place_.testPoint.y));
    bool all = true;
    for (int i = 0; i < count; ++i) all = ::PostMessageW(place_.measured, msg, wp, lp) && all;
    return all;
}

void WheelDelivery::HoldKeys(bool ctrl, bool shift) {
    if (how_ != Delivery::Injected) return;
    if (ctrl != ctrlHeld_) PressKey(VK_CONTROL, ctrl);
    if (shift != shiftHeld_) PressKey(VK_SHIFT, shift);
    ctrlHeld_ = ctrl;
    shiftHeld_ = shift;
}

std::uint16_t WheelDelivery::HeldKeys() const {
    return static_cast<std::uint16_t>((ctrlHeld_ ? MK_CONTROL : 0) | (shiftHeld_ ? MK_SHIFT : 0));
}

void WheelDelivery::End() {
    if (!begun_) return;
    begun_ = false;
    if (how_ != Delivery::Injected) return;
    HoldKeys(false, false);
    ::SetCursorPos(savedCursor_.x, savedCursor_.y);
    WaitFor([&] { return PointerAt(savedCursor_); });
}

}  // namespace nl
