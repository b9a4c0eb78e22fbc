#include "win32/paced_sender.h"

#include <algorithm>

#include "common/base/error_boundary.h"

namespace nl {

namespace {

// Sleeps end late by a varying amount: the margin before each due time at
// which sleeping stops and watching the counter starts follows the 90th
// percentile of what they overshoot (a running estimate: up nine steps
// after a longer overshoot, down one after a shorter one), plus a spare.
// A margin that chased the worst cases would spin for milliseconds, and on
// a busy machine a thread that spins that long loses its processor and is
// later still.
constexpr std::int64_t kEstimateStepUs = 20;
constexpr std::int64_t kMarginSpareUs = 250;
constexpr std::int64_t kLeastMarginUs = 300;
constexpr std::int64_t kMostMarginUs = 3000;
constexpr std::int64_t kLongestSleepMs = 10;  // a stop waits no longer than this

// The finest timer the system offers (timeBeginPeriod(1)) while a run
// lasts. winmm is loaded from the system folder for the run only, so the
// program does not load it at start-up; without it, waits are coarser and
// the margin grows to match. Calls no Api wrapper: any thread may own it.
class FinestTimer {
public:
    FinestTimer() {
        wchar_t dir[MAX_PATH] = {};
        const UINT n = ::GetSystemDirectoryW(dir, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return;
        module_ = ::LoadLibraryW((std::wstring(dir, n) + L"\\winmm.dll").c_str());
        if (!module_) return;
        begin_ = reinterpret_cast<Period>(reinterpret_cast<void (*)()>(::GetProcAddress(module_, "timeBeginPeriod")));
        end_ = reinterpret_cast<Period>(reinterpret_cast<void (*)()>(::GetProcAddress(module_, "timeEndPeriod")));
        active_ = begin_ && end_ && begin_(1) == 0;  // TIMERR_NOERROR
    }
    ~FinestTimer() {
        if (active_) end_(1);
        if (module_) ::FreeLibrary(module_);
    }
    FinestTimer(const FinestTimer&) = delete;
    FinestTimer& operator=(const FinestTimer&) = delete;

private:
    using Period = UINT(WINAPI*)(UINT);
    HMODULE module_ = nullptr;
    Period begin_ = nullptr, end_ = nullptr;
    bool active_ = false;
};

}  // namespace

PacedSender::PacedSender() {
    LARGE_INTEGER f{};
    ::QueryPerformanceFrequency(&f);
    frequency_ = f.QuadPart > 0 ? f.QuadPart : 1;
}

PacedSender::~PacedSender() {
    Stop();
    Wait();
}

std::int64_t PacedSender::Now() const {
    LARGE_INTEGER c{};
    ::QueryPerformanceCounter(&c);
    return c.QuadPart;
}

bool PacedSender::Start(const std::vector<std::int64_t>& dueUs, Deliver deliver, Finished finished) {
    if (!Wait(0)) return false;
    thread_.Reset();
    dueUs_ = &dueUs;
    deliver_ = std::move(deliver);
    finished_ = std::move(finished);
    sentUs_.clear();
    sentUs_.reserve(dueUs.size());
    stopped_ = false;
    failure_.clear();
    stop_ = false;
    overshoot90_ = frequency_ / 1000;  // a millisecond until the sleeps tell
    thread_ = KernelHandle(::CreateThread(nullptr, 0, &PacedSender::ThreadEntry, this, 0, nullptr));
    return static_cast<bool>(thread_);
}

void PacedSender::Stop() { stop_ = true; }

bool PacedSender::Wait(DWORD timeoutMs) {
    return !thread_ || ::WaitForSingleObject(thread_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD WINAPI PacedSender::ThreadEntry(void* self) {
    static_cast<PacedSender*>(self)->Run();
    return 0;
}

void PacedSender::Run() {
    const auto report = [this](const Error* e) { failure_ = e ? e->Description() : "an unexpected failure"; };
    {
        FinestTimer timer;
        ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
        const std::vector<std::int64_t>& due = *dueUs_;
        const std::int64_t start = Now();
        for (std::size_t i = 0; i < due.size(); ++i) {
            // Ticks from microseconds in two steps, so that neither overflows.
            const std::int64_t at = start + due[i] / 1000000 * frequency_ + due[i] % 1000000 * frequency_ / 1000000;
            if (!WaitUntil(at)) {
                stopped_ = true;
                break;
            }
            const std::int64_t ticks = Now() - start;
            const std::int64_t sent = ticks / frequency_ * 1000000 + ticks % frequency_ * 1000000 / frequency_;
            sentUs_.push_back(sent);
            bool goOn = false;
            if (!Guarded([&] { goOn = deliver_(i, sent); }, report) || !goOn) break;
        }
    }
    if (finished_) Guarded([&] { finished_(); }, report);
}

bool PacedSender::WaitUntil(std::int64_t due) {
    const std::int64_t perMs = frequency_ / 1000 > 0 ? frequency_ / 1000 : 1;
    const std::int64_t step = kEstimateStepUs * perMs / 1000;
    for (;;) {
        if (stop_.load()) return false;
        const std::int64_t margin =
            std::min(std::max(overshoot90_ + kMarginSpareUs * perMs / 1000, kLeastMarginUs * perMs / 1000),
                     kMostMarginUs * perMs / 1000);
        const std::int64_t before = Now();
        const std::int64_t early = due - margin - before;
        if (early < perMs) break;
        // A plain sleep, not a timed wait on an object: under Wine a sleep is
        // timed by the process itself, while a timed wait needs the wine
        // server to be scheduled in time (tens of ms late on a busy machine).
        const DWORD ms = static_cast<DWORD>(std::min<std::int64_t>(early / perMs, kLongestSleepMs));
        ::Sleep(ms);
        const std::int64_t overshoot = Now() - before - static_cast<std::int64_t>(ms) * perMs;
        overshoot90_ = overshoot > overshoot90_ ? overshoot90_ + 9 * step : std::max<std::int64_t>(overshoot90_ - step, 0);
    }
    while (Now() < due)
        if (stop_.load(std::memory_order_relaxed)) return false;
    return true;
}

}  // namespace nl
