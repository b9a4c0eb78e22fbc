// What the replacement window procedure does with one message, apart from
// the platform: consume the wheel or forward everything else, then log, and
// keep every failure on this side of the window procedure.
#pragma once

#include <cstdint>

#include "common/error.h"
#include "hook/wheel_decode.h"

namespace nl {

// The main window as the replacement procedure sees it.
class HookTarget {
public:
    virtual ~HookTarget() = default;
    virtual void HandleWheel(const WheelEvent& e) = 0;
    // Passes the message to the previous procedure and returns its result.
    virtual std::intptr_t Forward() = 0;
    virtual void Log() = 0;
    // Tell the user; never throw. error is null for a failure that is not
    // one of the program's errors.
    virtual void ReportError(const Error* error) noexcept = 0;
    virtual void ReportLogFailure(const Error* error) noexcept = 0;
};

// Consumes WM_MOUSEWHEEL (handled, answered 0) or forwards any other message
// and keeps its result; then logs unless logging has stopped. Logging comes
// after forwarding, so a message that arrives while this one is being
// handled is logged first. A failure to log is told once per run
// (logFailureReported remembers it). No exception leaves this function.
std::intptr_t DispatchHooked(std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam, bool stopLogging,
                             bool& logFailureReported, HookTarget& target) noexcept;

}  // namespace nl
