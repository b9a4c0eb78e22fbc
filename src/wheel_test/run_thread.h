// A run against another program's window (a wheel test or a replay) on a
// thread of its own, so that the window that started it stays responsive.
// The run tells that window how it goes by posted messages: kProgress when
// the progress line changed, kDone once its result can be taken.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "common/base/error_boundary.h"

namespace nl {

template <typename Result, typename Progress>
class RunThread {
public:
    enum : WPARAM { kProgress = 0, kDone = 1 };
    // Runs the whole run: `stop` is set when it is to stop, `progress` takes
    // what the progress line shows.
    using Run = std::function<Result(const std::atomic<bool>& stop, const std::function<void(const Progress&)>& progress)>;

    RunThread() = default;
    RunThread(const RunThread&) = delete;
    RunThread& operator=(const RunThread&) = delete;
    ~RunThread() {  // stops a running run and waits for its end
        stop_ = true;
        Join();
    }

    // `failed` gives the result when the run itself failed inside Notchlog,
    // from the failure's description.
    void Start(Run run, std::function<Result(const std::string&)> failed, HWND notify, UINT notifyMsg) {
        Join();  // a finished run's thread
        stop_ = false;
        running_ = true;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            progress_ = Progress{};
            result_.reset();
        }
        thread_ = std::thread([this, run = std::move(run), failed = std::move(failed), notify, notifyMsg] {
            Result result;
            std::string failure;
            const bool finished = Guarded(
                [&] {
                    result = run(stop_, [&](const Progress& now) {
                        {
                            std::lock_guard<std::mutex> lock(mutex_);
                            progress_ = now;
                        }
                        ::PostMessageA(notify, notifyMsg, kProgress, 0);
                    });
                },
                [&](const Error* e) { failure = e ? e->Description() : std::string("an unexpected failure"); });
            if (!finished) result = failed(failure);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                result_ = std::move(result);
            }
            running_ = false;
            ::PostMessageA(notify, notifyMsg, kDone, 0);
        });
    }
    void Stop() { stop_ = true; }
    bool Running() const { return running_; }
    Progress Now() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return progress_;
    }
    // The finished run's result, once; nullopt while it runs.
    std::optional<Result> TakeResult() {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::exchange(result_, std::nullopt);
    }

private:
    void Join() {
        if (thread_.joinable()) thread_.join();
    }

    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    mutable std::mutex mutex_;
    Progress progress_{};
    std::optional<Result> result_;
};

}  // namespace nl
