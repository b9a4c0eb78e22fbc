// Naming and describing windows: the report's lines about the target and
// the measured window, the program a window belongs to (its executable's
// name, through kernel32 or psapi.dll, whichever the system has) and the
// class and styles that tell how a test will read a window. Any thread may
// call these; no Api wrapper, no exceptions: what cannot be read is left
// empty.
#include "tested_window/tested_window.h"

#include <algorithm>
#include <cstdio>

#include "win32/raii.h"

namespace nl {

namespace {

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

}  // namespace

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

}  // namespace nl
