// The frame that brings the whole program up to date with what it holds.
// Handlers change their window's contents (or the recording's) and call
// Update, the one way to ask for a frame; the frame then runs every part in
// turn (the files are written, each window paints what went stale), never
// inside a handler: after the message in hand, at once for a lone message
// and once a frame (or less often, while a flood of messages keeps coming)
// for a burst. It owns the schedule, the clock and one message-only window that
// receives its timers and its "refresh now" requests, so nothing of it
// reaches the windows it serves.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "common/frame/refresh_schedule.h"
#include "win32/window.h"

namespace nl {

// One part of the program the frame brings up to date.
class FramePart {
public:
    virtual ~FramePart() = default;
    // First in each frame, before it counts as started: takes in what
    // waits outside the message queue (events another thread queued), so
    // every part's frame sees it.
    virtual void BeforeFrame() {}
    // Brings what went stale up to date: writes, paints.
    virtual void OnFrame() = 0;
    // After every part's frame: the place to tell the user about what the
    // frame found (it may open a modal box).
    virtual void AfterFrame() {}
    // How often the part needs the frame's clock, in ms (0: not at all):
    // for what only time brings (events another thread queues, a clock
    // shown on screen).
    virtual unsigned TickMs() const { return 0; }
    // On the clock, between frames: true when the part went stale.
    virtual bool OnTick(std::int64_t /*nowUs*/) { return false; }
    // A failure inside this part's frame.
    virtual void OnFrameFailure(const Error* error) noexcept = 0;
};

// Microseconds on the performance counter.
std::int64_t NowUs();

class Frame final : private Window {
public:
    Frame() = default;
    ~Frame() override;

    // Makes the message-only window; `name` tells it apart from outside (it
    // answers the registered message "NotchlogRefreshCost" with what its
    // last frame took, in µs).
    void Create(HINSTANCE instance, const char* name);
    // Frames run the parts in the order they joined; failures outside any
    // part go to the first.
    void Join(FramePart& part);

    // Something changed: counts it and makes sure a frame comes. A frame
    // due now runs once the message in hand has been handled: after it is
    // dispatched (AfterDispatch), or from the queue where no dispatch
    // follows (a message sent from another thread, a modal loop).
    void Update();
    // The message loop's, after each message: runs the frame if it is due.
    void AfterDispatch();
    // While held (a window being made and shown), a due frame waits for the
    // message loop's queue.
    void Hold(bool hold) { held_ = hold; }
    // A part started or stopped wanting the clock.
    void TicksChanged();
    // No more frames (the program is closing).
    void Stop();

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnFailure(const Error* error) noexcept override;
    void Arrange();
    bool RunFrame();
    void RunAndReschedule();
    void OnTick();

    std::vector<FramePart*> parts_;
    RefreshSchedule schedule_;
    bool held_ = false;
    bool stopped_ = false;
    bool running_ = false;
    bool framePosted_ = false;
    bool dueNow_ = false;  // a frame is due once the message in hand is handled
    bool timerArmed_ = false;
    unsigned tickMs_ = 0;  // the clock's period; 0: stopped
    std::int64_t timerDueUs_ = 0;
};

}  // namespace nl
