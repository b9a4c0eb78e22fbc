// How a PositionReader reads its axis: the choice of method (a list's or an
// edit's top, a scroll-bar control, the window's own scroll bar, else the
// picture) and the readings of those that ask the window: its position
// and the range below the last row in view.
#include "tested_window/position_reader_impl.h"

#include <commctrl.h>

#include <algorithm>

namespace nl {

namespace {

constexpr UINT kAnswerMs = 2000;

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

// Any answer of the asked window, or nullopt when it does not answer.
std::optional<std::int32_t> PositionReader::Impl::AskWith(UINT msg, WPARAM wp, LPARAM lp) const {
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

std::optional<std::int32_t> PositionReader::Impl::Ask(UINT msg) const {
    const auto value = AskWith(msg, 0, 0);
    // A position or a count can be negative only on a scroll bar: elsewhere that is an error.
    if (value && *value < 0 && msg != SBM_GETPOS) return std::nullopt;
    return value;
}

std::optional<std::int32_t> PositionReader::Impl::ScrollInfoPosition() const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS | SIF_RANGE;
    if (!::GetScrollInfo(asked, horizontal ? SB_HORZ : SB_VERT, &info) || info.nMax <= info.nMin) return std::nullopt;
    return info.nPos;
}

std::optional<std::int32_t> PositionReader::Impl::Position() const {
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
PositionReader::Range PositionReader::Impl::ReadRange() const {
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
std::optional<std::int32_t> PositionReader::Impl::EditLinesShown(std::int32_t first, LONG height) const {
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
bool PositionReader::Impl::Try(ReadMethod candidate, HWND w) {
    method = candidate;
    asked = w;
    return Position().has_value();
}

// The first method that reads the measured window; Image when none does.
void PositionReader::Impl::ChooseMethod() {
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

void PositionReader::Impl::Choose() {
    ChooseMethod();
    if (method == ReadMethod::Image) picture.emplace(measured, horizontal);
}

}  // namespace nl
