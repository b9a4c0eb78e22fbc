// Where the system calls into the program (window procedures, the subclass,
// timers, the message loop), every failure stops: it is handed to one
// report, the same for the same failure wherever it arises.
#pragma once

#include <new>

#include "common/base/error.h"

namespace nl {

// Runs one step; a failure is handed to `report` and goes no further.
// report gets the program's error, the out-of-memory error for a failed
// allocation, or null for anything else. Returns whether the step finished.
template <typename Step, typename Report>
bool Guarded(Step&& step, Report&& report) noexcept {
    try {
        step();
        return true;
    } catch (const Error& e) {
        report(&e);
    } catch (const std::bad_alloc&) {
        const Error e = ProgramError(kErrOutOfMemory, "Out of memory");
        report(&e);
    } catch (...) {
        report(nullptr);
    }
    return false;
}

// Sets a flag for the scope's lifetime (while making the window, while
// refreshing, ...); clears it again however the scope is left.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;
    ~ScopedFlag() { flag_ = false; }

private:
    bool& flag_;
};

}  // namespace nl
