// Finding the target and watching that it stays testable (naming and
// describing windows is window_facts.cpp's).
// Runs on the sender's thread: no Api wrapper, no exceptions; every failed
// query is an answer ("the target was closed", ...).
#include "tested_window/tested_window.h"

#include <algorithm>
#include <vector>

namespace nl {

namespace {

constexpr UINT kAnswerMs = 2000;
const char* const kCovered = "the target is covered at the test point";
// A bound on the windows one search visits, so windows coming and going
// while it runs cannot keep it going.
constexpr int kMostWindows = 100000;

std::wstring Wide(const std::string& ansi) {
    if (ansi.empty()) return std::wstring();
    const int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), w.data(), n);
    return w;
}

std::wstring TitleOf(HWND w) {
    const int length = ::GetWindowTextLengthW(w);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max(0, ::GetWindowTextW(w, text.data(), length + 1))));
    return text;
}

bool ClassIs(HWND w, const wchar_t* name) {
    wchar_t buffer[260];
    const int n = ::GetClassNameW(w, buffer, 260);
    return n > 0 && ::lstrcmpiW(buffer, name) == 0;
}

bool HasClass(HWND w, const std::wstring& name) { return ClassIs(w, name.c_str()); }

BOOL CALLBACK CollectVisible(HWND w, LPARAM list) {
    auto& all = *reinterpret_cast<std::vector<HWND>*>(list);
    if (::IsWindowVisible(w)) all.push_back(w);
    return all.size() < static_cast<std::size_t>(kMostWindows);
}

// The visible top-level windows, in Z order, frontmost first.
std::vector<HWND> VisibleTopLevels() {
    std::vector<HWND> windows;
    ::EnumWindows(&CollectVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The first visible window of the class among parent's descendants, each
// child before its own children, siblings in Z order.
HWND VisibleDescendantOfClass(HWND parent, const std::wstring& name, int& budget) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child && budget-- > 0; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        if (HasClass(child, name)) return child;
        if (HWND found = VisibleDescendantOfClass(child, name, budget)) return found;
    }
    return nullptr;
}

HWND WindowOfClass(const std::wstring& name) {
    const std::vector<HWND> topLevels = VisibleTopLevels();
    for (HWND w : topLevels)
        if (HasClass(w, name)) return w;
    int budget = kMostWindows;
    for (HWND w : topLevels)
        if (HWND found = VisibleDescendantOfClass(w, name, budget)) return found;
    return nullptr;
}

HWND WindowTitled(const std::wstring& title) {
    for (HWND w : VisibleTopLevels())
        if (TitleOf(w) == title) return w;
    return nullptr;
}

bool Hidden(HWND target) { return !::IsWindowVisible(target) || ::IsIconic(target) || ::IsIconic(::GetAncestor(target, GA_ROOT)); }

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool Answers(HWND w) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &result) != 0;
}

// The window WindowFromPoint finds at `screen` among `top`'s own: the
// deepest visible, enabled child there, as if `top` were in front.
HWND WindowWithinAt(HWND top, POINT screen) {
    HWND w = top;
    for (int depth = 0; depth < 64; ++depth) {
        POINT client = screen;
        ::ScreenToClient(w, &client);
        const HWND child =
            ::ChildWindowFromPointEx(w, client, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT);
        if (!child || child == w) break;
        w = child;
    }
    return w;
}

bool KeyIsDown(int vk) { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }

// Any key or mouse button held down, apart from those the test holds itself
// and Esc, which stops the test (the run looks at it first).
bool SomethingHeld(std::uint16_t keysHeldByTest) {
    for (int vk = 1; vk < 0xFF; ++vk) {
        if (vk == VK_ESCAPE) continue;
        const bool ctrl = vk == VK_CONTROL || vk == VK_LCONTROL || vk == VK_RCONTROL;
        const bool shift = vk == VK_SHIFT || vk == VK_LSHIFT || vk == VK_RSHIFT;
        if ((ctrl && (keysHeldByTest & MK_CONTROL)) || (shift && (keysHeldByTest & MK_SHIFT))) continue;
        if (KeyIsDown(vk)) return true;
    }
    return false;
}

}  // namespace

HWND FindTestedWindow(const WindowForm& form, std::string& problem) {
    problem.clear();
    HWND found = nullptr;
    switch (form.kind) {
        case WindowForm::Kind::Handle:
            // Handles are 32-bit values, sign-extended on 64-bit Windows.
            found = reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<std::int32_t>(form.handle)));
            if (!::IsWindow(found)) {
                problem = form.given + " is not a window";
                return nullptr;
            }
            return found;
        case WindowForm::Kind::Title: found = WindowTitled(Wide(form.text)); break;
        case WindowForm::Kind::Class: found = WindowOfClass(Wide(form.text)); break;
    }
    if (!found) problem = "no window matches " + form.given;
    return found;
}

MeasuredReading PreviewMeasuredReading(HWND target, int withinMs) {
    MeasuredReading out;
    TestPlace place;
    out.problem = LocateTestPlace(target, place);
    if (out.problem == kCovered) {
        // A test brings the target to the front first (injected input):
        // what it would find there then.
        place.measured = WindowWithinAt(target, place.testPoint);
        out.problem.clear();
    }
    if (!out.problem.empty()) return out;
    out.measured = place.measured;
    const std::int64_t deadlineUs = ClockUs() + 1000 * static_cast<std::int64_t>(withinMs);
    bool answered = true;
    out.vertical = PositionReader::ChooseMethod(place, false, withinMs, answered);
    const int leftMs = static_cast<int>((deadlineUs - ClockUs()) / 1000);
    if (answered) out.horizontal = PositionReader::ChooseMethod(place, true, leftMs, answered);
    if (!answered) out.problem = "the target does not answer";
    return out;
}

std::string LocateTestPlace(HWND target, TestPlace& place) {
    place = TestPlace{};
    place.target = target;
    if (!::IsWindow(target)) return "the target was closed";
    if (Hidden(target)) return "the target was hidden or minimised";
    RECT client{};
    ::GetClientRect(target, &client);
    place.testPoint = POINT{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    ::ClientToScreen(target, &place.testPoint);
    ::GetWindowRect(target, &place.targetRect);
    HWND there = ::WindowFromPoint(place.testPoint);
    if (!there || (there != target && !::IsChild(target, there))) return kCovered;
    place.measured = there;
    return std::string();
}

std::string CheckTestedWindow(const TestPlace& place, Delivery delivery, std::uint16_t keysHeldByTest) {
    if (!::IsWindow(place.target)) return "the target was closed";
    if (Hidden(place.target)) return "the target was hidden or minimised";
    RECT now{};
    if (!::GetWindowRect(place.target, &now) || !SameRect(now, place.targetRect)) return "the target moved or changed size";
    if (::WindowFromPoint(place.testPoint) != place.measured) return kCovered;
    if (!Answers(place.target)) return "the target does not answer";
    if (delivery == Delivery::Injected) {
        POINT cursor{};
        if (!::GetCursorPos(&cursor) || cursor.x != place.testPoint.x || cursor.y != place.testPoint.y)
            return "the pointer was moved";
        if (SomethingHeld(keysHeldByTest)) return "a key or mouse button is held down";
    }
    return std::string();
}

bool HasHorizontalBar(HWND measured) {
    if (::GetWindowLongPtrW(measured, GWL_STYLE) & WS_HSCROLL) return true;
    for (HWND child = ::GetWindow(measured, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassIs(child, L"ScrollBar") && ::IsWindowVisible(child) &&
            !(::GetWindowLongPtrW(child, GWL_STYLE) & (SBS_VERT | SBS_SIZEBOX | SBS_SIZEGRIP)))
            return true;
    }
    return false;
}

bool SyncWithWindow(HWND target) { return Answers(target) && Answers(target); }

std::int64_t ClockUs() {
    static const std::int64_t frequency = [] {
        LARGE_INTEGER f{};
        ::QueryPerformanceFrequency(&f);
        return f.QuadPart > 0 ? f.QuadPart : 1;
    }();
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart / frequency * 1000000 + now.QuadPart % frequency * 1000000 / frequency;
}

}  // namespace nl
