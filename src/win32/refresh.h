// The refresh that brings a window's screen up to date with what it holds,
// for any window of the program. Handlers change the window's contents and
// call Update with what went stale; the refresh then paints, at once for a
// lone message and once a frame (or less often, while a flood of messages
// keeps coming) for a burst. It owns the schedule, the clock and a
// message-only window that receives its timer and its "refresh now"
// requests, so nothing of it reaches the window it serves.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/refresh_schedule.h"
#include "win32/window.h"

namespace nl {

// The window a refresh serves.
class Refreshable {
public:
    virtual ~Refreshable() = default;
    // Brings the given views (the window's own bits) up to date on screen.
    virtual void Paint(unsigned views) = 0;
    // After each refresh: the place to tell the user about what the
    // refresh found (it may open a modal box).
    virtual void AfterRefresh() {}
    // A failure inside the refresh.
    virtual void OnRefreshFailure(const Error* error) noexcept = 0;
};

// Microseconds on the performance counter.
std::int64_t NowUs();

class Refresher final : private Window {
public:
    explicit Refresher(Refreshable& owner) : owner_(owner) {}
    ~Refresher() override;

    // Makes the message-only window; `name` tells the program's refreshes
    // apart from outside (it answers the registered message
    // "NotchlogRefreshCost" with what its last refresh took, in µs).
    void Create(HINSTANCE instance, const char* name);

    // Marks views stale and refreshes now or schedules it (views 0: only
    // what was already stale).
    void Update(unsigned views);
    // While held (the window being made and shown), a due refresh is
    // posted to the message loop instead of run at once.
    void Hold(bool hold) { held_ = hold; }
    // No more refreshes (the window is closing).
    void Stop();

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnFailure(const Error* error) noexcept override { owner_.OnRefreshFailure(error); }
    void Schedule();
    void Refresh();
    void RefreshAndReschedule();

    Refreshable& owner_;
    RefreshSchedule schedule_;
    unsigned staleViews_ = 0;
    bool held_ = false;
    bool stopped_ = false;
    bool refreshing_ = false;
    bool refreshPosted_ = false;
    bool timerArmed_ = false;
    std::int64_t timerDueUs_ = 0;
};

}  // namespace nl
