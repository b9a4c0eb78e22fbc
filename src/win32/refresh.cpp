#include "win32/refresh.h"

#include <algorithm>
#include <utility>

#include "common/error_boundary.h"
#include "win32/api.h"

namespace nl {

namespace {
const char* const kRefreshClass = "NotchlogRefresh";
constexpr UINT kRefreshNow = WM_APP;
constexpr UINT_PTR kRefreshTimer = 1;
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

Refresher::~Refresher() {
    if (Handle()) Api(::DestroyWindow(Handle()));
}

void Refresher::Create(HINSTANCE instance, const char* name) {
    static const bool registered = RegisterWindowClass(instance, kRefreshClass);
    (void)registered;
    CreateAs(0, kRefreshClass, name, 0, RECT{}, HWND_MESSAGE, nullptr, instance);
}

void Refresher::Update(unsigned views) {
    if (views != 0) {
        staleViews_ |= views;
        schedule_.CountChange();
        if (!schedule_.Stale()) schedule_.MarkStale(NowUs());
    }
    Schedule();
}

void Refresher::Schedule() {
    if (refreshing_ || stopped_ || !schedule_.Stale() || !Handle()) return;
    const std::int64_t now = NowUs();
    // Already due later: every message of a burst costs only this test.
    if (timerArmed_ && now < timerDueUs_) return;
    const std::int64_t wait = schedule_.WaitBeforeRefresh(now, MessagesWaiting());
    if (wait == 0) {
        // A sender in another thread waits for this message's answer: it
        // gets it first, and the refresh follows right after. While the
        // window is being made and shown, the refresh waits for the message
        // loop: painting the half-made window would be wasted.
        if (!held_ && !Api(::InSendMessage())) {
            RefreshAndReschedule();
        } else if (!refreshPosted_) {
            refreshPosted_ = Api(::PostMessageA(Handle(), kRefreshNow, 0, 0)) != FALSE;
        }
        return;
    }
    // During a flood the timer only probes for its end: it comes through as
    // soon as no other message waits, while the messages themselves bring
    // the refresh when it is due.
    const std::int64_t timerUs = schedule_.Flooded() ? std::min(wait, kFloodProbeUs) : wait;
    const auto ms = static_cast<UINT>((timerUs + 999) / 1000);
    timerArmed_ = Api(::SetTimer(Handle(), kRefreshTimer, ms, nullptr)) != 0;
    timerDueUs_ = now + wait;
}

void Refresher::Refresh() {
    if (refreshing_ || !schedule_.Stale()) return;
    ScopedFlag refreshing(refreshing_);
    if (timerArmed_) Api(::KillTimer(Handle(), kRefreshTimer));
    timerArmed_ = false;
    const unsigned views = std::exchange(staleViews_, 0u);
    schedule_.RefreshStarted(NowUs(), MessagesWaiting());
    owner_.Paint(views);
    schedule_.RefreshEnded(NowUs());
}

void Refresher::RefreshAndReschedule() {
    Refresh();
    owner_.AfterRefresh();
    // What went stale while the refresh painted waits for the next one.
    Schedule();
}

void Refresher::Stop() {
    stopped_ = true;
    if (timerArmed_) Api(::KillTimer(Handle(), kRefreshTimer));
    timerArmed_ = false;
}

LRESULT Refresher::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // For measuring from outside: what the last refresh took.
    static const UINT costQuery = Api(::RegisterWindowMessageA("NotchlogRefreshCost"));
    if (msg == costQuery && costQuery != 0) return static_cast<LRESULT>(schedule_.LastCostUs());
    if (msg == WM_TIMER && wp == kRefreshTimer) {
        Api(::KillTimer(Handle(), kRefreshTimer));
        timerArmed_ = false;
    } else if (msg == kRefreshNow) {
        refreshPosted_ = false;
    } else {
        return Default(msg, wp, lp);
    }
    if (!stopped_) RefreshAndReschedule();
    return 0;
}

}  // namespace nl
