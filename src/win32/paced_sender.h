// Sends a timed sequence of events on a thread of its own, each as close to
// its due time as the system allows: it sleeps on the finest timer the
// system offers until shortly before the time, then watches the performance
// counter for the last fraction of a millisecond. The windows stay free to
// handle their messages meanwhile. Safe to stop from any thread at any time.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "win32/raii.h"

namespace nl {

class PacedSender {
public:
    // Called on the sender's thread for event `index` at its due time, with
    // the time it was called (microseconds since the first event was due);
    // returning false ends the run there.
    using Deliver = std::function<bool(std::size_t index, std::int64_t sentUs)>;
    // Called on the sender's thread once the run has ended, however it ended.
    using Finished = std::function<void()>;

    PacedSender();
    ~PacedSender();  // stops a run and waits for its thread
    PacedSender(const PacedSender&) = delete;
    PacedSender& operator=(const PacedSender&) = delete;

    // Starts a run: event i is due dueUs[i] microseconds after the start (in
    // rising order; `dueUs` must stay alive until the run has ended). False
    // when a run is going on or the thread cannot be made.
    bool Start(const std::vector<std::int64_t>& dueUs, Deliver deliver, Finished finished = nullptr);
    // Asks the run to end before its next event (within 10 ms); returns at once.
    void Stop();
    // Waits until the thread has ended; true when it has (false on timeout).
    bool Wait(DWORD timeoutMs = INFINITE);

    // Valid once the run has ended (Wait returned true):
    const std::vector<std::int64_t>& SentUs() const { return sentUs_; }  // per event sent
    bool WasStopped() const { return stopped_; }
    // What went wrong inside Deliver (an exception), empty when nothing did.
    const std::string& Failure() const { return failure_; }

private:
    static DWORD WINAPI ThreadEntry(void* self);
    void Run();
    // Waits until the counter reaches `due`; false when stopped first.
    bool WaitUntil(std::int64_t due);
    std::int64_t Now() const;  // performance-counter ticks

    KernelHandle thread_;
    std::atomic<bool> stop_{false};
    const std::vector<std::int64_t>* dueUs_ = nullptr;
    Deliver deliver_;
    Finished finished_;
    std::vector<std::int64_t> sentUs_;
    bool stopped_ = false;
    std::string failure_;
    std::int64_t frequency_ = 1;
    std::int64_t overshoot90_ = 0;  // ticks: what nine sleeps in ten overshoot at most
};

}  // namespace nl
