// Entry point: makes the window and runs the message loop. The loop is also
// where key preview happens: the window sees each key-down before the
// focused control does.
#include <windows.h>

#include "win32/api.h"
#include "main_window/main_window.h"

namespace {
template <typename Fn>
Fn KernelFunction(const char* name) {
    HMODULE kernel = nl::Api(::GetModuleHandleA("kernel32.dll"));
    return kernel ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(nl::Api(::GetProcAddress(kernel, name))))
                  : nullptr;
}

// No DLL is to be picked up from the current directory. Both functions are
// looked up in the loaded kernel32, as older systems lack them.
void HardenDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryWFn = BOOL(WINAPI*)(LPCWSTR);
    if (auto fn = KernelFunction<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories"))
        nl::Api(fn(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */));
    if (auto fn = KernelFunction<SetDllDirectoryWFn>("SetDllDirectoryW")) nl::Api(fn(L""));
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    HardenDllSearch();
    nl::MainWindow& window = nl::MainWindow::Instance();
    try {
        const nl::Options options = nl::ParseOptions(nl::SplitCommandLine(nl::Api(::GetCommandLineW())));
        if (!window.Create(instance, showCommand, options)) return 1;
    } catch (const nl::Error& e) {
        window.ReportError(&e);
        return 1;
    } catch (...) {
        window.ReportError(nullptr);
        return 1;
    }

    MSG msg{};
    for (;;) {
        const BOOL got = nl::Api(::GetMessageA(&msg, nullptr, 0, 0));
        if (got == 0 || got == -1) break;
        try {
            if (window.PreTranslate(msg)) continue;
            nl::Api(::TranslateMessage(&msg));
            nl::Api(::DispatchMessageA(&msg));
        } catch (const nl::Error& e) {
            window.ReportError(&e);
        } catch (...) {
            window.ReportError(nullptr);
        }
    }
    return static_cast<int>(msg.wParam);
}
