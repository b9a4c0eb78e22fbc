// Reading how far the measured window's content moved: by asking the
// window (its list, edit or scroll bar's position) where it can be asked
// across processes, else by matching captures of what it shows.
#include "tested_window/tested_window.h"

#include <commctrl.h>

#include <algorithm>

#include "common/wheel_test/image_shift.h"
#include "tested_window/picture_reader.h"

namespace nl {

namespace {

constexpr UINT kAnswerMs = 2000;
constexpr std::int64_t kAgreeUs = 30000;  // reads this far apart that agree: settled
constexpr std::int64_t kMostUs = 1000000;
// Two WM_NULL round trips to a target with nothing left to do take well
// under this; one still working through input answers each only when the
// message in hand is done.
constexpr std::int64_t kIdleAnswerUs = 10000;
constexpr DWORD kIdlePauseMs = 3;

std::wstring ClassOf(HWND w) {
    wchar_t buffer[260];
    const int n = ::GetClassNameW(w, buffer, 260);
    return std::wstring(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
}

bool IsClass(const std::wstring& name, const wchar_t* wanted) { return ::lstrcmpiW(name.c_str(), wanted) == 0; }

bool IsEditClass(const std::wstring& name) {
    // Edit, RichEdit, RichEdit20A/W, RICHEDIT50W and their kin.
    return IsClass(name, L"Edit") || (name.size() >= 8 && IsClass(name.substr(0, 8), L"RichEdit"));
}

// A scroll bar control along the axis; not a size box.
bool IsScrollBarAlong(HWND w, bool horizontal) {
    if (!IsClass(ClassOf(w), L"ScrollBar")) return false;
    const LONG_PTR style = ::GetWindowLongPtrW(w, GWL_STYLE);
    if (style & (SBS_SIZEBOX | SBS_SIZEGRIP)) return false;
    return ((style & SBS_VERT) != 0) != horizontal;
}

HWND VisibleScrollBarChild(HWND parent, bool horizontal) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::IsWindowVisible(child) && IsScrollBarAlong(child, horizontal)) return child;
    return nullptr;
}

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

struct PositionReader::Impl {
    HWND target = nullptr, measured = nullptr;
    HWND asked = nullptr;  // the window a message method asks
    bool horizontal = false;
    ReadMethod method = ReadMethod::Image;
    // The base of the next movement, and where the first Mark found it
    // (a message's own position; for the picture, pixels from the first Mark).
    std::optional<std::int32_t> basePosition, startPosition;
    bool marked = false;
    // The picture: followed from its base, which was this far from where
    // the first Mark found it (unknown once a movement could not be read).
    std::optional<PictureReader> picture;
    std::optional<std::int32_t> pictureOffset{0};
    std::string lastProblem = "the picture could not be followed";
    // A look at the method without a reader (ChooseMethod): every message
    // shares this deadline (ClockUs; 0: none), and once one goes unanswered
    // no more are sent.
    std::int64_t deadlineUs = 0;
    mutable bool unanswered = false;

    // Any answer of the asked window, or nullopt when it does not answer.
    std::optional<std::int32_t> AskWith(UINT msg, WPARAM wp, LPARAM lp) const {
        if (unanswered) return std::nullopt;
        UINT waitMs = kAnswerMs;
        if (deadlineUs != 0) {
            const std::int64_t leftMs = (deadlineUs - ClockUs()) / 1000;
            if (leftMs <= 0) {
                unanswered = true;
                return std::nullopt;
            }
            waitMs = static_cast<UINT>(std::min<std::int64_t>(leftMs, kAnswerMs));
        }
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(asked, msg, wp, lp, SMTO_ABORTIFHUNG, waitMs, &result)) {
            if (deadlineUs != 0 && ::IsWindow(asked)) unanswered = true;
            return std::nullopt;
        }
        return static_cast<std::int32_t>(static_cast<LRESULT>(result));
    }

    std::optional<std::int32_t> Ask(UINT msg) const {
        const auto value = AskWith(msg, 0, 0);
        // A position or a count can be negative only on a scroll bar: elsewhere that is an error.
        if (value && *value < 0 && msg != SBM_GETPOS) return std::nullopt;
        return value;
    }

    std::optional<std::int32_t> ScrollInfoPosition() const {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_POS | SIF_RANGE;
        if (!::GetScrollInfo(asked, horizontal ? SB_HORZ : SB_VERT, &info) || info.nMax <= info.nMin) return std::nullopt;
        return info.nPos;
    }

    std::optional<std::int32_t> Position() const {
        switch (method) {
            case ReadMethod::ListBoxTop: return Ask(LB_GETTOPINDEX);
            case ReadMethod::ListViewTop: return Ask(LVM_GETTOPINDEX);
            case ReadMethod::EditFirstLine: return Ask(EM_GETFIRSTVISIBLELINE);
            case ReadMethod::ScrollBarControl: return Ask(SBM_GETPOS);
            case ReadMethod::ScrollInfo: return ScrollInfoPosition();
            case ReadMethod::Image:
            case ReadMethod::Clock:
            case ReadMethod::ImageZoom:
            case ReadMethod::RichEditZoom: break;
        }
        return std::nullopt;
    }

    // The range below the last row in view and a page, where the method tells them.
    Range ReadRange() const {
        Range r;
        const std::optional<std::int32_t> top = Position();
        if (!top || horizontal) return r;
        RECT client{};
        ::GetClientRect(asked, &client);
        switch (method) {
            case ReadMethod::ListBoxTop: {
                const auto count = Ask(LB_GETCOUNT), itemHeight = Ask(LB_GETITEMHEIGHT);
                if (!count || !itemHeight || *itemHeight <= 0) break;
                r.page = std::max<std::int32_t>(1, client.bottom / *itemHeight);
                r.freeBelow = *count - (*top + *r.page);
                break;
            }
            case ReadMethod::ListViewTop: {
                const auto count = Ask(LVM_GETITEMCOUNT), perPage = Ask(LVM_GETCOUNTPERPAGE);
                if (!count || !perPage) break;
                r.page = std::max<std::int32_t>(1, *perPage);
                r.freeBelow = *count - (*top + *r.page);
                break;
            }
            case ReadMethod::EditFirstLine: {
                const auto count = Ask(EM_GETLINECOUNT);
                if (!count) break;
                r.page = EditLinesShown(*top, client.bottom);
                r.freeBelow = *count - (*top + r.page.value_or(0));
                break;
            }
            case ReadMethod::ScrollBarControl:
            case ReadMethod::ScrollInfo: {
                SCROLLINFO info{};
                info.cbSize = sizeof info;
                info.fMask = SIF_ALL;
                const bool got = method == ReadMethod::ScrollInfo
                                     ? ::GetScrollInfo(asked, SB_VERT, &info) != FALSE
                                     : AskWith(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info)).value_or(0) != 0;
                if (!got || info.nMax <= info.nMin) break;
                const int page = static_cast<int>(info.nPage);
                if (page > 0) r.page = page;
                r.freeBelow = info.nMax - std::max(page - 1, 0) - info.nPos;
                break;
            }
            case ReadMethod::Image:
            case ReadMethod::Clock:
            case ReadMethod::ImageZoom:
            case ReadMethod::RichEditZoom: break;
        }
        if (r.freeBelow && *r.freeBelow < 0) r.freeBelow = 0;
        return r;
    }

    // Lines an edit control shows: its client height over the distance
    // between its first two lines shown (EM_POSFROMCHAR answers in its
    // result, so it crosses processes); nullopt where that cannot be told.
    std::optional<std::int32_t> EditLinesShown(std::int32_t first, LONG height) const {
        const auto a = AskWith(EM_LINEINDEX, static_cast<WPARAM>(first), 0);
        const auto b = AskWith(EM_LINEINDEX, static_cast<WPARAM>(first + 1), 0);
        if (!a || !b || *a < 0 || *b <= *a) return std::nullopt;
        const auto pa = AskWith(EM_POSFROMCHAR, static_cast<WPARAM>(*a), 0);
        const auto pb = AskWith(EM_POSFROMCHAR, static_cast<WPARAM>(*b), 0);
        if (!pa || !pb || *pa == -1 || *pb == -1) return std::nullopt;
        const int lineHeight = static_cast<short>(HIWORD(*pb)) - static_cast<short>(HIWORD(*pa));
        if (lineHeight <= 0) return std::nullopt;
        return std::max<std::int32_t>(1, height / lineHeight);
    }

    // Tries `candidate` on `w`; keeps it when a reading works.
    bool Try(ReadMethod candidate, HWND w) {
        method = candidate;
        asked = w;
        return Position().has_value();
    }

    // The first method that reads the measured window; Image when none does.
    void ChooseMethod() {
        if (!horizontal) {
            const std::wstring name = ClassOf(measured);
            if (IsClass(name, L"ListBox") && Try(ReadMethod::ListBoxTop, measured)) return;
            if (IsClass(name, WC_LISTVIEWW) && Try(ReadMethod::ListViewTop, measured)) return;
            if (IsEditClass(name) && Try(ReadMethod::EditFirstLine, measured)) return;
            if (IsScrollBarAlong(measured, false) && Try(ReadMethod::ScrollBarControl, measured)) return;
        }
        if (HWND bar = VisibleScrollBarChild(measured, horizontal); bar && Try(ReadMethod::ScrollBarControl, bar)) return;
        if (Try(ReadMethod::ScrollInfo, measured)) return;
        method = ReadMethod::Image;
        asked = measured;
    }

    void Choose() {
        ChooseMethod();
        if (method == ReadMethod::Image) picture.emplace(measured, horizontal);
    }

    // One reading: a position (the picture's, from where the first Mark
    // found it), or why there is none.
    struct Reading {
        bool valid = false;  // a position was read, or a picture taken
        std::optional<std::int32_t> position;
        bool samePicture = false;  // the picture is the one the reading before took
        std::string problem;
        bool Agrees(const Reading& before) const {
            return samePicture || (position && position == before.position);
        }
    };

    Reading Read() {
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
    const char* RestlessText() const {
        return method == ReadMethod::Image ? "the picture did not come to rest within a second"
                                           : "the position did not come to rest within a second";
    }

    // Reads every pollMs until the readings have agreed for 30 ms with the
    // target idle at the end, or a second has passed; `last` is the last
    // valid reading. A window that takes its time over each message can
    // hold still for 30 ms while messages that move nothing (the first
    // few of eight -15s) are still waiting.
    Settled Wait(int pollMs, Reading& last) {
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
};

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
