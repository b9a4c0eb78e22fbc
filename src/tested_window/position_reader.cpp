// Reading how far the measured window's content moved: by asking the
// window (its list, edit or scroll bar's position) where it can be asked
// across processes, else by matching captures of what it shows. This file
// has the reader, the picture's reading and the wait for the readings to
// settle; the choice of method and the asking are in
// position_reader_methods.cpp.
#include "tested_window/position_reader_impl.h"

#include <utility>

#include "common/wheel_test/image_shift.h"

namespace nl {

namespace {

constexpr std::int64_t kAgreeUs = 30000;  // reads this far apart that agree: settled
constexpr std::int64_t kMostUs = 1000000;
// Two WM_NULL round trips to a target with nothing left to do take well
// under this; one still working through input answers each only when the
// message in hand is done.
constexpr std::int64_t kIdleAnswerUs = 10000;
constexpr DWORD kIdlePauseMs = 3;

}  // namespace

// A sent message goes before queued input, so a target between two
// messages of its input can answer the first pair at once; the pause lets
// it take the next message, which the second pair then waits for.
std::optional<bool> WindowIdle(HWND target) {
    for (int round = 0; round < 2; ++round) {
        if (round > 0) ::Sleep(kIdlePauseMs);
        const std::int64_t asked = ClockUs();
        if (!SyncWithWindow(target)) return std::nullopt;
        if (ClockUs() - asked > kIdleAnswerUs) return false;
    }
    return true;
}

PositionReader::Impl::Reading PositionReader::Impl::Read() {
    Reading r;
    if (method != ReadMethod::Image) {
        r.position = Position();
        r.valid = r.position.has_value();
        if (!r.valid) r.problem = "the position could not be read";
        return r;
    }
    const PictureReader::Read p = picture->Next();
    r.valid = p.taken;
    r.samePicture = p.sameAsLast;
    if (p.position && pictureOffset) r.position = *pictureOffset + *p.position;
    r.problem = !p.taken ? "the screen could not be read"
                : p.position ? std::string()
                             : PictureProblemText(p.problem, p.period);
    if (!r.problem.empty()) lastProblem = r.problem;
    return r;
}

// Why a reading that did not come to rest is unmeasured.
const char* PositionReader::Impl::RestlessText() const {
    return method == ReadMethod::Image ? "the picture did not come to rest within a second"
                                       : "the position did not come to rest within a second";
}

// Reads every pollMs until the readings have agreed for 30 ms with the
// target idle at the end, or a second has passed; `last` is the last
// valid reading. A window that takes its time over each message can
// hold still for 30 ms while messages that move nothing (the first
// few of eight -15s) are still waiting.
PositionReader::Settled PositionReader::Impl::Wait(int pollMs, Reading& last) {
    Settled out;
    out.reason = RestlessText();
    const std::int64_t start = ClockUs();
    std::int64_t runStart = 0;
    bool inRun = false;
    for (;;) {
        Reading now = Read();
        const std::int64_t at = ClockUs();
        if (!now.valid) {
            inRun = false;
        } else {
            if (!inRun || !now.Agrees(last)) runStart = at;
            inRun = true;
            last = std::move(now);
            if (at - runStart >= kAgreeUs) {
                const std::optional<bool> idle = WindowIdle(target);
                if (!idle) {
                    out.reason = "the target does not answer";
                    return out;
                }
                if (*idle) {
                    out.agreed = true;
                    out.settledAtUs = runStart;
                    return out;
                }
                inRun = false;  // still at work: read on
            }
        }
        if (at - start >= kMostUs) {
            if (!last.valid) out.reason = now.problem;
            return out;
        }
        ::Sleep(static_cast<DWORD>(pollMs > 0 ? pollMs : 1));
    }
}

PositionReader::PositionReader(const TestPlace& place, bool horizontal) : impl_(new Impl) {
    impl_->target = place.target;
    impl_->measured = place.measured;
    impl_->horizontal = horizontal;
    impl_->Choose();
    method_ = impl_->method;
}

PositionReader::~PositionReader() = default;

ReadMethod PositionReader::ChooseMethod(const TestPlace& place, bool horizontal, int withinMs, bool& answered) {
    Impl look;
    look.target = place.target;
    look.measured = place.measured;
    look.horizontal = horizontal;
    look.deadlineUs = ClockUs() + 1000 * static_cast<std::int64_t>(withinMs > 0 ? withinMs : 1);
    look.ChooseMethod();
    answered = !look.unanswered;
    return look.method;
}

bool PositionReader::Mark() {
    Impl& m = *impl_;
    SyncWithWindow(m.target);
    Impl::Reading last;
    const Settled settled = m.Wait(30, last);
    if (m.method == ReadMethod::Image) {
        // A new base for the picture, where the last one left this axis:
        // the step just read moved the other axis, whose movement changes
        // this axis's picture without moving it.
        if (!m.marked) m.pictureOffset = 0;
        else m.pictureOffset = m.basePosition;
        m.picture->Start();
        m.basePosition = m.pictureOffset;
    } else {
        m.basePosition = last.position;
    }
    if (!m.marked) m.startPosition = m.basePosition;
    m.marked = true;
    return settled.agreed;
}

PositionReader::Settled PositionReader::Settle(int pollMs) {
    Impl& m = *impl_;
    SyncWithWindow(m.target);
    Impl::Reading last;
    Settled settled = m.Wait(pollMs, last);
    if (settled.agreed) {
        if (last.position && m.basePosition) settled.movement = *last.position - *m.basePosition;
        else if (!last.problem.empty()) settled.reason = last.problem;
        else settled.reason = "the step before it could not be read";
    }
    if (last.position && m.startPosition) settled.position = *last.position - *m.startPosition;
    if (last.valid) m.basePosition = last.position;
    return settled;
}

std::optional<std::int32_t> PositionReader::ReadNow() { return impl_->Read().position; }

PositionReader::Range PositionReader::ReadRange() { return impl_->ReadRange(); }

std::string PositionReader::LastProblem() const { return impl_->lastProblem; }

}  // namespace nl
