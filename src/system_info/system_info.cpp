#include "system_info/system_info.h"

#include <windows.h>

#include "common/base/version_name.h"
#include "win32/api.h"
#include "win32/late_bind.h"
#include "win32/raii.h"

namespace nl {

namespace {
using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

// Bound at the first call, not at load: older systems lack the function.
IsWow64ProcessFn BindIsWow64Process() {
    static const IsWow64ProcessFn fn = LoadedSystemFunction<IsWow64ProcessFn>("kernel32.dll", "IsWow64Process");
    return fn;
}
}  // namespace

bool IsWow64() {
    try {
        IsWow64ProcessFn fn = BindIsWow64Process();
        if (!fn) return false;
        BOOL flag = 0;
        Api(fn(Api(::GetCurrentProcess()), &flag));
        return flag != 0;
    } catch (...) {
        return false;
    }
}

std::string GetWindowsVersionName() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;  // 148
    OsVersionRecord v;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    v.ok = Api(::GetVersionExA(&info)) == 1;
    v.major = static_cast<std::int32_t>(info.dwMajorVersion);
    v.minor = static_cast<std::int32_t>(info.dwMinorVersion);
    v.platformId = static_cast<std::int32_t>(info.dwPlatformId);
    v.csdVersion.assign(info.szCSDVersion, sizeof info.szCSDVersion);
    return ChooseWindowsVersionName(v, [] { return IsWow64(); });
}

namespace {
std::int32_t QueryLegacyWheelScrollLines() {
    HWND driver = Api(::FindWindowA("MouseZ", "Magellan MSWHEEL"));
    if (!driver) return 0;
    const UINT msg = Api(::RegisterWindowMessageA("MSH_SCROLL_LINES_MSG"));
    if (msg == 0) return 0;
    // The driver is another program's window: a hung one must not hang our
    // start-up, so the send is bounded and a time-out counts as no answer.
    DWORD_PTR reply = 0;
    const LRESULT sent = Api(::SendMessageTimeoutA(driver, msg, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000, &reply));
    if (sent == 0) return 0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(reply));
}
}  // namespace

std::int32_t ReadWheelScrollLines() {
    // Read as a signed Long: a page per notch comes back as -1.
    std::int32_t lines = 0;
    Api(::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    if (lines != 0) return lines;
    return QueryLegacyWheelScrollLines();
}

std::int32_t ReadWheelScrollChars() {
    UINT chars = 3;
    if (!Api(::SystemParametersInfoA(SPI_GETWHEELSCROLLCHARS, 0, &chars, 0))) return 3;
    return chars > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<std::int32_t>(chars);
}

std::int32_t GetWheelScrollLines() {
    static const std::int32_t atStart = ReadWheelScrollLines();
    return atStart;
}

ClockTime LocalClockTime() {
    SYSTEMTIME st{};
    NL_API_VOID(::GetLocalTime(&st));
    return ClockTime{st.wHour, st.wMinute, st.wSecond};
}

int ScreenDpi() {
    WindowDc screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen.Get(), LOGPIXELSX);
    return dpi > 0 ? dpi : 96;
}

}  // namespace nl
