#include "win32/paced_sender.h"

#include <algorithm>

#include "common/error_boundary.h"

namespace nl {

namespace {

// A timed wait ends this much after its time at first; the margin then
// follows what the waits actually overshoot, within these bounds.
constexpr std::int64_t kFirstMarginUs = 2000;
constexpr std::int64_t kLeastMarginUs = 300;
constexpr std::int64_t kMostMarginUs = 5000;
constexpr std::int64_t kMarginSpareUs = 250;  // kept above the overshoot seen

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

PacedSender::PacedSender() : wake_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
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
    if (!wake_ || !Wait(0)) return false;
    thread_.Reset();
    dueUs_ = &dueUs;
    deliver_ = std::move(deliver);
    finished_ = std::move(finished);
    sentUs_.clear();
    sentUs_.reserve(dueUs.size());
    stopped_ = false;
    failure_.clear();
    stop_ = false;
    ::ResetEvent(wake_.Get());
    marginTicks_ = kFirstMarginUs * frequency_ / 1000000;
    thread_ = KernelHandle(::CreateThread(nullptr, 0, &PacedSender::ThreadEntry, this, 0, nullptr));
    return static_cast<bool>(thread_);
}

void PacedSender::Stop() {
    stop_ = true;
    if (wake_) ::SetEvent(wake_.Get());
}

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
    const std::int64_t ticksPerMs = frequency_ / 1000 > 0 ? frequency_ / 1000 : 1;
    for (;;) {
        if (stop_.load()) return false;
        const std::int64_t before = Now();
        const std::int64_t early = due - marginTicks_ - before;
        if (early < ticksPerMs) break;
        const DWORD ms = static_cast<DWORD>(early / ticksPerMs);
        if (::WaitForSingleObject(wake_.Get(), ms) == WAIT_OBJECT_0) return false;
        // Learn from the overshoot: grow the margin at once, shrink it slowly.
        const std::int64_t overshoot = Now() - before - static_cast<std::int64_t>(ms) * ticksPerMs;
        const std::int64_t wanted = std::min(std::max(overshoot + kMarginSpareUs * ticksPerMs / 1000,
                                                      kLeastMarginUs * ticksPerMs / 1000),
                                             kMostMarginUs * ticksPerMs / 1000);
        marginTicks_ = wanted > marginTicks_ ? wanted : marginTicks_ - (marginTicks_ - wanted) / 32;
    }
    while (Now() < due)
        if (stop_.load(std::memory_order_relaxed)) return false;
    return true;
}

}  // namespace nl
