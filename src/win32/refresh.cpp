#include "win32/refresh.h"

#include <algorithm>

#include "common/base/error_boundary.h"
#include "win32/api.h"

namespace nl {

namespace {
const char* const kFrameClass = "NotchlogRefresh";
constexpr UINT kFrameNow = WM_APP;
constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT_PTR kClockTimer = 2;
constexpr std::int64_t kFloodProbeUs = 10000;

// Input, posted or sent messages are waiting in this thread's queue.
bool MessagesWaiting() {
    return HIWORD(Api(::GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_HOTKEY | QS_SENDMESSAGE))) != 0;
}
}  // namespace

std::int64_t NowUs() {
    static const double usPerTick = [] {
        LARGE_INTEGER f{};
        Api(::QueryPerformanceFrequency(&f));
        return f.QuadPart > 0 ? 1e6 / static_cast<double>(f.QuadPart) : 1.0;
    }();
    LARGE_INTEGER c{};
    Api(::QueryPerformanceCounter(&c));
    return static_cast<std::int64_t>(static_cast<double>(c.QuadPart) * usPerTick);
}

Frame::~Frame() {
    if (Handle()) Api(::DestroyWindow(Handle()));
}

void Frame::Create(HINSTANCE instance, const char* name) {
    static const bool registered = RegisterWindowClass(instance, kFrameClass);
    (void)registered;
    CreateAs(0, kFrameClass, name, 0, RECT{}, HWND_MESSAGE, nullptr, instance);
}

void Frame::Join(FramePart& part) { parts_.push_back(&part); }

void Frame::Update() {
    schedule_.CountChange();
    if (!schedule_.Stale()) schedule_.MarkStale(NowUs());
    Arrange();
}

void Frame::AfterDispatch() {
    if (dueNow_ && !held_ && !running_ && !stopped_) RunAndReschedule();
}

void Frame::Arrange() {
    if (running_ || stopped_ || !schedule_.Stale() || !Handle()) return;
    const std::int64_t now = NowUs();
    // Already due later: every message of a burst costs only this test.
    if (timerArmed_ && now < timerDueUs_) return;
    const std::int64_t wait = schedule_.WaitBeforeRefresh(now, MessagesWaiting());
    if (wait == 0) {
        // Due now: the message loop runs it after the message in hand; the
        // queue brings it where no dispatch follows (a sender in another
        // thread waits for this message's answer, a modal loop runs).
        dueNow_ = true;
        if (!framePosted_) framePosted_ = Api(::PostMessageA(Handle(), kFrameNow, 0, 0)) != FALSE;
        return;
    }
    // During a flood the timer only probes for its end: it comes through as
    // soon as no other message waits, while the messages themselves bring
    // the frame when it is due.
    const std::int64_t timerUs = schedule_.Flooded() ? std::min(wait, kFloodProbeUs) : wait;
    const auto ms = static_cast<UINT>((timerUs + 999) / 1000);
    timerArmed_ = Api(::SetTimer(Handle(), kFrameTimer, ms, nullptr)) != 0;
    timerDueUs_ = now + wait;
}

bool Frame::RunFrame() {
    dueNow_ = false;
    if (running_ || !schedule_.Stale()) return false;
    ScopedFlag running(running_);
    // What the parts take in first counts as changes of this frame.
    for (FramePart* part : parts_)
        Guarded([part] { part->BeforeFrame(); }, [part](const Error* e) { part->OnFrameFailure(e); });
    if (timerArmed_) Api(::KillTimer(Handle(), kFrameTimer));
    timerArmed_ = false;
    schedule_.RefreshStarted(NowUs(), MessagesWaiting());
    // One part's failure is its own: the others still catch up.
    for (FramePart* part : parts_)
        Guarded([part] { part->OnFrame(); }, [part](const Error* e) { part->OnFrameFailure(e); });
    // The cost of the whole frame, every window's painting included.
    schedule_.RefreshEnded(NowUs());
    return true;
}

void Frame::RunAndReschedule() {
    if (!RunFrame()) return;  // brought already (the queue's request after the dispatch's frame)
    for (FramePart* part : parts_)
        Guarded([part] { part->AfterFrame(); }, [part](const Error* e) { part->OnFrameFailure(e); });
    TicksChanged();
    // What went stale while the frame ran waits for the next one.
    Arrange();
}

void Frame::TicksChanged() {
    if (!Handle()) return;
    unsigned wanted = 0;
    for (const FramePart* part : parts_)
        if (const unsigned ms = stopped_ ? 0 : part->TickMs()) wanted = wanted == 0 ? ms : std::min(wanted, ms);
    if (wanted == tickMs_) return;
    tickMs_ = wanted;
    if (wanted != 0) Api(::SetTimer(Handle(), kClockTimer, wanted, nullptr));
    else Api(::KillTimer(Handle(), kClockTimer));
}

void Frame::OnTick() {
    const std::int64_t now = NowUs();
    bool stale = false;
    for (FramePart* part : parts_) stale = part->OnTick(now) || stale;
    if (stale) Update();
    else TicksChanged();
}

void Frame::Stop() {
    stopped_ = true;
    if (!Handle()) return;
    if (timerArmed_) Api(::KillTimer(Handle(), kFrameTimer));
    timerArmed_ = false;
    TicksChanged();
}

void Frame::OnFailure(const Error* error) noexcept {
    if (!parts_.empty()) parts_.front()->OnFrameFailure(error);
}

LRESULT Frame::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // For measuring from outside: what the last frame took.
    static const UINT costQuery = Api(::RegisterWindowMessageA("NotchlogRefreshCost"));
    if (msg == costQuery && costQuery != 0) return static_cast<LRESULT>(schedule_.LastCostUs());
    if (msg == WM_TIMER && wp == kClockTimer) {
        if (!stopped_) OnTick();
        return 0;
    }
    if (msg == WM_TIMER && wp == kFrameTimer) {
        Api(::KillTimer(Handle(), kFrameTimer));
        timerArmed_ = false;
    } else if (msg == kFrameNow) {
        framePosted_ = false;
    } else {
        return Default(msg, wp, lp);
    }
    if (!stopped_) RunAndReschedule();
    return 0;
}

}  // namespace nl
