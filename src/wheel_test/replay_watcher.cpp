#include "wheel_test/replay_watcher.h"

#include "common/base/error_boundary.h"

namespace nl {

namespace {
constexpr int kMostReadings = 4;
}  // namespace

ReplayWatcher::ReplayWatcher(const TestPlace& place, Delivery how, PositionReader* readers[2],
                             const std::atomic<std::size_t>& sent, std::size_t events)
    : place_(place), how_(how), readers_{readers[0], readers[1]}, sent_(sent), positions_(events) {
    thread_ = std::thread([this] { Loop(); });
}

ReplayWatcher::~ReplayWatcher() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void ReplayWatcher::Offer(std::size_t index, bool horizontal, std::uint16_t heldKeys) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (busy_ || failed_) return;
        job_ = Job{index, horizontal, heldKeys};
        busy_ = true;
    }
    changed_.notify_all();
}

void ReplayWatcher::Drain() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
}

std::string ReplayWatcher::Problem() {
    std::lock_guard<std::mutex> lock(mutex_);
    return problem_;
}

void ReplayWatcher::Loop() {
    for (;;) {
        Job job{};
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return quit_ || job_.has_value(); });
            if (!job_) return;
            job = *job_;
            job_.reset();
        }
        std::string problem;
        Guarded([&] { Watch(job); }, [&](const Error* e) {
            problem = "the replay failed inside Notchlog: " + (e ? e->Description() : std::string("unexpected"));
        });
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!problem.empty() && problem_.empty()) problem_ = problem, failed_ = true;
            busy_ = false;
        }
        changed_.notify_all();
    }
}

// A sent message goes before queued input, so a round trip can come back
// while the input still waits: a reading counts once two readings, each
// after a round trip and a moment's pause, agree.
std::optional<std::int32_t> ReplayWatcher::Read(bool horizontal, bool& answered) {
    std::optional<std::int32_t> before;
    for (int round = 0; round < kMostReadings; ++round) {
        if (round > 0) ::Sleep(1);
        if (!(answered = SyncWithWindow(place_.target))) return std::nullopt;
        const std::optional<std::int32_t> now = readers_[horizontal ? 1 : 0]->ReadNow();
        if (round > 0 && now == before) return now;
        before = now;
    }
    return std::nullopt;
}

void ReplayWatcher::Watch(const Job& job) {
    std::string problem;
    bool answered = true;
    const std::optional<std::int32_t> position = Read(job.horizontal, answered);
    if (!answered) {
        problem = "the target does not answer";
    } else {
        if (sent_.load() == job.index + 1) positions_[job.index] = position;  // no later event meanwhile
        if (job.index + 1 < positions_.size()) problem = CheckTestedWindow(place_, how_, job.heldKeys);
    }
    if (problem.empty()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (problem_.empty()) problem_ = problem;
    failed_ = true;
}

}  // namespace nl
