// Entry point: makes the window and runs the message loop. The loop is also
// where key preview happens: the window sees each key-down before the
// focused control does.
#include <windows.h>

#include "common/api.h"
#include "common/error.h"
#include "main_window/frm_main.h"

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
    nl::FrmMain& form = nl::FrmMain::Instance();
    try {
        if (!form.Load(instance, showCommand)) return 1;
    } catch (const nl::Error& e) {
        form.ReportError(&e);
        return 1;
    } catch (...) {
        form.ReportError(nullptr);
        return 1;
    }

    MSG msg{};
    for (;;) {
        // Input and posted messages first; when none is left, whatever
        // painting they deferred is released before GetMessage waits (or
        // hands out WM_PAINT).
        BOOL got = nl::Api(::PeekMessageA(&msg, nullptr, 0, 0,
                                          PM_REMOVE | PM_QS_INPUT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE));
        if (got) {
            if (msg.message == WM_QUIT) break;
        } else {
            try {
                form.OnIdle();
            } catch (const nl::Error& e) {
                form.ReportError(&e);
            } catch (...) {
                form.ReportError(nullptr);
            }
            got = nl::Api(::GetMessageA(&msg, nullptr, 0, 0));
            if (got == 0 || got == -1) break;
        }
        try {
            if (form.PreTranslate(msg)) continue;
            nl::Api(::TranslateMessage(&msg));
            form.BeginDispatch(msg);
            nl::Api(::DispatchMessageA(&msg));
            form.EndDispatch();
        } catch (const nl::Error& e) {
            form.EndDispatch();
            form.ReportError(&e);
        } catch (...) {
            form.EndDispatch();
            form.ReportError(nullptr);
        }
    }
    return static_cast<int>(msg.wParam);
}
