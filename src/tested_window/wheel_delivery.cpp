// Wheel input at the test point: injected through the system's input queue
// with the pointer there, or posted straight to the measured window.
#include <string>
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

// ": REASON" from the system's text for an error code, or nothing for 0.
std::string Because(DWORD error) {
    if (error == 0) return std::string();
    char text[256] = {};
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                     sizeof text, nullptr);
    std::string why(text, n);
    while (!why.empty() && (why.back() == '\n' || why.back() == '\r' || why.back() == ' ' || why.back() == '.'))
        why.pop_back();
    return why.empty() ? " (error " + std::to_string(error) + ")" : ": " + why;
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

std::string WheelDelivery::Send(bool horizontal, std::int16_t delta, int count, std::uint16_t keys,
                                std::uint32_t extraInfo) {
    if (count <= 0) return std::string();
    if (how_ == Delivery::Injected) {
        std::vector<INPUT> inputs(static_cast<std::size_t>(count));
        for (INPUT& input : inputs) {
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = horizontal ? MOUSEEVENTF_HWHEEL : MOUSEEVENTF_WHEEL;
            input.mi.mouseData = static_cast<DWORD>(static_cast<LONG>(delta));
            input.mi.dwExtraInfo = extraInfo;
        }
        ::SetLastError(0);
        const UINT taken = sendInput_(static_cast<UINT>(count), inputs.data(), sizeof(INPUT));
        if (taken == static_cast<UINT>(count)) return std::string();
        return "SendInput took " + std::to_string(taken) + " of " + std::to_string(count) + " events" +
               Because(::GetLastError());
    }
    return Post(horizontal, delta, count, keys);
}

std::string WheelDelivery::Post(bool horizontal, std::int16_t delta, int count, std::uint16_t keys) {
    const UINT msg = horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL;
    const WPARAM wp = MAKEWPARAM(keys, static_cast<WORD>(delta));
    const LPARAM lp = MAKELPARAM(static_cast<WORD>(place_.testPoint.x), static_cast<WORD>(place_.testPoint.y));
    for (int i = 0; i < count; ++i) {
        if (postMessage_(place_.measured, msg, wp, lp)) continue;
        const DWORD error = ::GetLastError();
        if (!::IsWindow(place_.measured)) return std::string();  // gone: the checks say so
        return "PostMessage took " + std::to_string(i) + " of " + std::to_string(count) + " messages" + Because(error);
    }
    return std::string();
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
