#include "hook/hook_dispatch.h"

#include <new>

#include "common/last_error.h"

namespace nl {

namespace {
// Runs one step; a failure is handed to `report` and goes no further.
template <typename Step, typename Report>
bool Guarded(Step&& step, Report&& report) noexcept {
    try {
        step();
        return true;
    } catch (const Error& e) {
        report(&e);
    } catch (const std::bad_alloc&) {
        const Error e(kErrOutOfMemory, "Out of memory", AppTitle(), LastSystemError());
        report(&e);
    } catch (...) {
        report(nullptr);
    }
    return false;
}
}  // namespace

std::intptr_t DispatchHooked(std::uint32_t uMsg, std::int32_t wParam, std::int32_t lParam, bool stopLogging,
                             bool& logFailureReported, HookTarget& target) noexcept {
    std::intptr_t result = 0;
    auto reportError = [&](const Error* e) { target.ReportError(e); };
    if (uMsg == kMsgMouseWheel) {
        const WheelEvent e = DecodeWheel(wParam, lParam);
        Guarded([&] { target.HandleWheel(e); }, reportError);
        result = 0;  // consumed: the previous procedure never sees it
    } else {
        Guarded([&] { result = target.Forward(); }, reportError);
    }
    if (!stopLogging) {
        Guarded([&] { target.Log(); },
                [&](const Error* e) {
                    if (logFailureReported) return;
                    logFailureReported = true;
                    target.ReportLogFailure(e);
                });
    }
    return result;
}

}  // namespace nl
