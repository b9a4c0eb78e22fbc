// Finding the target, describing it and watching that it stays testable.
// Runs on the sender's thread: no Api wrapper, no exceptions; every failed
// query is an answer ("the target was closed", ...).
#include "tested_window/tested_window.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "win32/raii.h"

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

void CloseProcess(HANDLE process) { ::CloseHandle(process); }
using ProcessHandle = Owned<HANDLE, &CloseProcess>;

template <typename Fn>
Fn Exported(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name))) : nullptr;
}

// psapi.dll from the system folder, loaded once and kept.
HMODULE Psapi() {
    static const HMODULE psapi = [] {
        wchar_t folder[MAX_PATH] = {};
        const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return HMODULE{};
        return ::LoadLibraryW((std::wstring(folder) + L"\\psapi.dll").c_str());
    }();
    return psapi;
}

// Kernel32 has the process functions since Windows 7 (K32...); before
// that they are psapi.dll's.
template <typename Fn>
Fn ProcessFunction(const char* name) {
    if (Fn f = Exported<Fn>(::GetModuleHandleW(L"kernel32.dll"), (std::string("K32") + name).c_str())) return f;
    return Exported<Fn>(Psapi(), name);
}

// The path of the process's executable: QueryFullProcessImageNameW where
// the system has it (Vista and later, which need only limited rights),
// else the first module's file, else the image's device path; empty when
// none can be read.
std::wstring ImagePath(DWORD processId) {
    using QueryName = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
    using ModuleName = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
    using ImageName = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD);
    static const auto queryName =
        Exported<QueryName>(::GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW");
    static const auto moduleName = ProcessFunction<ModuleName>("GetModuleFileNameExW");
    static const auto imageName = ProcessFunction<ImageName>("GetProcessImageFileNameW");
    std::wstring path(1024, L'\0');
    if (queryName) {
        const ProcessHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
        DWORD size = static_cast<DWORD>(path.size());
        if (process && queryName(process.Get(), 0, path.data(), &size) && size > 0) return path.substr(0, size);
    }
    const ProcessHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) return std::wstring();
    DWORD n = moduleName ? moduleName(process.Get(), nullptr, path.data(), static_cast<DWORD>(path.size())) : 0;
    if (n == 0 && imageName) n = imageName(process.Get(), path.data(), static_cast<DWORD>(path.size()));
    return path.substr(0, std::min<std::size_t>(n, path.size()));
}

std::string AnsiText(const std::wstring& w) {
    if (w.empty()) return std::string();
    const int n = ::WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string a(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) ::WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), a.data(), n, nullptr, nullptr);
    return a;
}

std::string AnsiClassOf(HWND w) {
    char name[260] = "";
    const int n = ::GetClassNameA(w, name, 260);
    return std::string(name, static_cast<std::size_t>(n > 0 ? n : 0));
}

// The title the system keeps for the window: sends it nothing (where
// GetWindowText and GetWindowTextLength may send WM_GETTEXT), so a hung
// window cannot hold the caller up.
std::string AnsiTitleOf(HWND w) {
    wchar_t title[1024];
    const int n = ::InternalGetWindowText(w, title, 1024);
    return AnsiText(std::wstring(title, static_cast<std::size_t>(std::max(0, n))));
}

std::uint32_t Handle32(HWND w) { return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(w) & 0xFFFFFFFFu); }

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

std::string DescribeWindow(HWND target) {
    char className[260] = "";
    const int n = ::GetClassNameA(target, className, 260);
    className[n > 0 ? n : 0] = '\0';
    std::string title(static_cast<std::size_t>(std::max(0, ::GetWindowTextLengthA(target))) + 1, '\0');
    title.resize(static_cast<std::size_t>(std::max(0, ::GetWindowTextA(target, title.data(), static_cast<int>(title.size())))));
    DWORD pid = 0;
    ::GetWindowThreadProcessId(target, &pid);
    char head[64];
    std::snprintf(head, sizeof head, "%08X ", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(target) & 0xFFFFFFFFu));
    return head + std::string(className) + " \"" + title + "\" (process " + std::to_string(pid) + ")";
}

std::string ProgramNameOf(DWORD processId) {
    const std::wstring path = ImagePath(processId);
    return AnsiText(path.substr(path.find_last_of(L"\\/") + 1));
}

WindowFacts FactsOf(HWND w) {
    WindowFacts f;
    f.handle = Handle32(w);
    f.className = AnsiClassOf(w);
    f.title = AnsiTitleOf(w);
    const HWND top = ::GetAncestor(w, GA_ROOT);
    f.topLevel = !top || top == w;
    if (!f.topLevel) {
        f.topTitle = AnsiTitleOf(top);
        f.topClass = AnsiClassOf(top);
    }
    DWORD processId = 0;
    ::GetWindowThreadProcessId(w, &processId);
    f.processId = processId;
    if (processId != 0) f.program = ProgramNameOf(processId);
    return f;
}

std::string DescribeTestedWindow(HWND target) { return TargetText(FactsOf(target)); }

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

MeasuredFacts MeasuredFactsOf(const MeasuredReading& reading) {
    MeasuredFacts f;
    if (reading.measured) {
        f.handle = Handle32(reading.measured);
        f.className = AnsiClassOf(reading.measured);
    }
    f.down = reading.vertical;
    f.sideways = reading.horizontal;
    f.problem = reading.problem;
    return f;
}

ScrollFacts ScrollFactsOf(HWND w) {
    ScrollFacts f;
    f.className = AnsiClassOf(w);
    f.style = static_cast<std::uint32_t>(::GetWindowLongPtrW(w, GWL_STYLE));
    int budget = 10000;  // a bound on the children looked at
    for (HWND child = ::GetWindow(w, GW_CHILD); child && budget-- > 0; child = ::GetWindow(child, GW_HWNDNEXT))
        f.children.push_back({AnsiClassOf(child), static_cast<std::uint32_t>(::GetWindowLongPtrW(child, GWL_STYLE)),
                              ::IsWindowVisible(child) != FALSE});
    return f;
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
