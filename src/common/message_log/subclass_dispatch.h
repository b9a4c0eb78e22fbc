// What the replacement window procedure does with one message, apart from
// the platform: consume the wheel or forward everything else, then log, and
// keep every failure on this side of the window procedure.
#pragma once

#include <cstdint>
#include <utility>

#include "common/base/error_boundary.h"
#include "common/wheel/wheel.h"

namespace nl {

// The window the replacement procedure serves, as that procedure sees it.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Every WM_MOUSEWHEEL and WM_MOUSEHWHEEL, on arrival: before the window
    // handles it (or it is forwarded), whether or not logging has stopped.
    virtual void OnWheelArrived(std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam) = 0;
    virtual void HandleWheel(const WheelEvent& e) = 0;
    virtual void LogMessage(std::int32_t hWnd, std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam) = 0;
    // Closing, or logging paused by the user.
    virtual bool LoggingStopped() const = 0;
    // Tell the user; never throw. error is null for a failure that is not
    // one of the program's errors.
    virtual void ReportError(const Error* error) noexcept = 0;
    // A line that could not be added to the log (the list refusing further
    // lines, say).
    virtual void ReportLogFailure(const Error* error) noexcept = 0;
};

struct SubclassedMessage {
    std::int32_t hWnd;
    std::uint32_t uMsg;
    std::int32_t wParam, lParam;
};

// Hands either wheel message to OnWheelArrived first. Consumes
// WM_MOUSEWHEEL (handled, answered 0) or forwards any other message
// through `forward` (which returns the previous procedure's result) and
// keeps its result; then logs unless logging has stopped. Logging comes
// after forwarding, so a message that arrives while this one is being
// handled is logged first. A failure to log is told once per run
// (logFailureTold remembers it). No exception leaves this function.
template <typename Forward>
std::intptr_t DispatchSubclassed(const SubclassedMessage& m, Forward&& forward, MessageSink& sink,
                             bool& logFailureTold) noexcept {
    std::intptr_t result = 0;
    auto reportError = [&](const Error* e) { sink.ReportError(e); };
    if (m.uMsg == kMsgMouseWheel || m.uMsg == kMsgMouseHWheel)
        Guarded([&] { sink.OnWheelArrived(m.uMsg, m.wParam, m.lParam); }, reportError);
    if (m.uMsg == kMsgMouseWheel) {
        const WheelEvent e = DecodeWheel(m.wParam, m.lParam);
        Guarded([&] { sink.HandleWheel(e); }, reportError);  // consumed: never forwarded
    } else {
        Guarded([&] { result = forward(); }, reportError);
    }
    if (!sink.LoggingStopped())
        Guarded([&] { sink.LogMessage(m.hWnd, m.uMsg, m.wParam, m.lParam); },
                [&](const Error* e) {
                    if (!std::exchange(logFailureTold, true)) sink.ReportLogFailure(e);
                });
    return result;
}

}  // namespace nl
