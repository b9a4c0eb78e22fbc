#include "support/actors.h"

#include <atomic>
#include <cwctype>
#include <stdexcept>

namespace nle2e {

// ---- input ------------------------------------------------------------------

namespace {
void SendOne(INPUT in) {
    if (::SendInput(1, &in, sizeof in) != 1) ThrowLastError("SendInput");
}
}  // namespace

void MoveCursor(POINT p) {
    if (!::SetCursorPos(p.x, p.y)) ThrowLastError("SetCursorPos");
    WaitUntil([&] {
        POINT now{};
        return ::GetCursorPos(&now) && now.x == p.x && now.y == p.y;
    });
}

void WheelAtCursor(int delta) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = static_cast<DWORD>(delta);
    SendOne(in);
}

void KeyDown(WORD vk) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    SendOne(in);
}

void KeyUp(WORD vk) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    SendOne(in);
}

void ClickAt(POINT p) {
    MoveCursor(p);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendOne(in);
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendOne(in);
}

void BringToFront(HWND w) {
    ::SetForegroundWindow(w);
    WaitUntil([&] { return ::GetForegroundWindow() == w; }, 5s);
}

// ---- prefix settings -----------------------------------------------------------

namespace {
HKEY OpenKey(const std::wstring& subKey) {
    HKEY k = nullptr;
    const LONG rc = ::RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0,
                                      KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &k, nullptr);
    if (rc != ERROR_SUCCESS) {
        ::SetLastError(static_cast<DWORD>(rc));
        ThrowLastError("RegCreateKeyExW(" + Narrow(subKey) + ")");
    }
    return k;
}

void SetString(HKEY k, const std::wstring& name, const std::wstring& value) {
    const LONG rc = ::RegSetValueExW(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (rc != ERROR_SUCCESS) {
        ::SetLastError(static_cast<DWORD>(rc));
        ThrowLastError("RegSetValueExW(" + Narrow(name) + ")");
    }
}
}  // namespace

ScopedUserString::ScopedUserString(std::wstring subKey, std::wstring name, std::wstring value)
    : subKey_(std::move(subKey)), name_(std::move(name)) {
    UniqueRegKey key(OpenKey(subKey_));
    wchar_t old[512] = {};
    DWORD type = 0, size = sizeof old - sizeof(wchar_t);
    if (::RegQueryValueExW(key.Get(), name_.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ)
        previous_ = std::wstring(old);
    SetString(key.Get(), name_, value);
}

ScopedUserString::ScopedUserString(ScopedUserString&& o) noexcept
    : subKey_(std::move(o.subKey_)), name_(std::move(o.name_)), previous_(std::move(o.previous_)), owns_(o.owns_) {
    o.owns_ = false;
}

ScopedUserString::~ScopedUserString() {
    if (!owns_) return;
    try {
        UniqueRegKey key(OpenKey(subKey_));
        if (previous_)
            SetString(key.Get(), name_, *previous_);
        else
            ::RegDeleteValueW(key.Get(), name_.c_str());
    } catch (...) {
    }
}

ScopedUserString WheelLinesSetting(const std::wstring& value) {
    return ScopedUserString(L"Control Panel\\Desktop", L"WheelScrollLines", value);
}

ScopedUserString WindowsVersionSetting(const std::wstring& version) {
    return ScopedUserString(L"Software\\Wine\\AppDefaults\\Notchlog.exe", L"Version", version);
}

// ---- legacy wheel driver -----------------------------------------------------------

struct LegacyWheelDriver::State {
    std::int32_t lines = 0;
    bool hung = false;
    UINT message = 0;
    std::atomic<HWND> window{nullptr};
    UniqueHandle release{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::thread thread;

    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<State*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
        if (self && msg == self->message && msg != 0) return static_cast<LRESULT>(self->lines);
        return ::DefWindowProcW(w, msg, wp, lp);
    }

    void Run() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &State::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MouseZ";
        ::RegisterClassW(&wc);
        message = ::RegisterWindowMessageW(L"MSH_SCROLL_LINES_MSG");
        // Never shown: the driver's window only answers its message.
        HWND w = ::CreateWindowExW(0, L"MouseZ", L"Magellan MSWHEEL", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                   wc.hInstance, nullptr);
        ::SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        window = w;
        if (hung) {
            // Takes no message at all until released: a hung program.
            ::WaitForSingleObject(release.Get(), INFINITE);
        } else {
            const HANDLE released = release.Get();
            for (;;) {
                const DWORD r = ::MsgWaitForMultipleObjects(1, &released, FALSE, INFINITE, QS_ALLINPUT);
                if (r == WAIT_OBJECT_0) break;
                MSG m;
                while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
            }
        }
        ::DestroyWindow(w);
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
        ::UnregisterClassW(L"MouseZ", wc.hInstance);
    }
};

LegacyWheelDriver::LegacyWheelDriver(State* s) : state_(s) {
    state_->thread = std::thread([s] { s->Run(); });
    if (!WaitUntil([s] { return s->window.load() != nullptr; }, 10s))
        throw DriverError("the legacy wheel driver window did not come up");
}

LegacyWheelDriver LegacyWheelDriver::Answering(std::int32_t lines) {
    auto* s = new State;
    s->lines = lines;
    return LegacyWheelDriver(s);
}

LegacyWheelDriver LegacyWheelDriver::Hung() {
    auto* s = new State;
    s->hung = true;
    return LegacyWheelDriver(s);
}

LegacyWheelDriver::LegacyWheelDriver(LegacyWheelDriver&& o) noexcept : state_(std::exchange(o.state_, nullptr)) {}

LegacyWheelDriver::~LegacyWheelDriver() {
    if (!state_) return;
    ::SetEvent(state_->release.Get());
    if (state_->thread.joinable()) state_->thread.join();
    delete state_;
}

HWND LegacyWheelDriver::Window() const { return state_->window; }

// ---- clipboard holder --------------------------------------------------------------

struct ClipboardHolder::State {
    std::atomic<bool> open{false};
    UniqueHandle release{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::thread thread;
};

ClipboardHolder::ClipboardHolder() : state_(new State) {
    State* s = state_;
    s->thread = std::thread([s] {
        HWND owner = ::CreateWindowExW(0, L"STATIC", L"clipboard holder", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                       nullptr, nullptr);
        WaitUntil([&] { return ::OpenClipboard(owner) != FALSE; }, 10s);
        s->open = true;
        ::WaitForSingleObject(s->release.Get(), INFINITE);
        ::CloseClipboard();
        ::DestroyWindow(owner);
    });
    if (!WaitUntil([s] { return s->open.load(); }, 10s)) throw DriverError("could not take the clipboard");
}

void ClipboardHolder::Release() {
    if (!state_) return;
    ::SetEvent(state_->release.Get());
    if (state_->thread.joinable()) state_->thread.join();
}

ClipboardHolder::~ClipboardHolder() {
    Release();
    delete state_;
}

// ---- message boxes -------------------------------------------------------------------

namespace {
std::vector<HWND> Boxes(DWORD pid) { return TopLevelWindows(pid, L"#32770"); }

std::wstring TextViaMessage(HWND w) {
    wchar_t buf[4096] = {};
    Send(w, WM_GETTEXT, sizeof buf / sizeof buf[0], reinterpret_cast<LPARAM>(buf));
    return buf;
}
}  // namespace

bool HasMessageBox(DWORD pid) {
    for (HWND b : Boxes(pid))
        if (::IsWindowVisible(b)) return true;
    return false;
}

MessageBoxWindow WaitForMessageBox(DWORD pid, Millis deadline) {
    MessageBoxWindow found;
    const bool ok = WaitUntil(
        [&] {
            for (HWND b : Boxes(pid)) {
                if (::IsWindowVisible(b) && ::GetDlgItem(b, 0xFFFF)) {
                    found.box = b;
                    return true;
                }
            }
            return false;
        },
        deadline);
    if (!ok) throw DriverError("no message box appeared");
    found.caption = TextViaMessage(found.box);
    found.text = TextViaMessage(::GetDlgItem(found.box, 0xFFFF));
    return found;
}

void PressButton(const MessageBoxWindow& box, int id, Millis deadline) {
    HWND button = ::GetDlgItem(box.box, id);
    if (!button) throw DriverError("the message box has no button " + std::to_string(id));
    Post(button, BM_CLICK);
    if (!WaitUntil([&] { return !::IsWindow(box.box); }, deadline))
        throw DriverError("the message box did not close");
}

// ---- probe windows ------------------------------------------------------------------

ProbeWindow::ProbeWindow(const RECT& r, const std::wstring& title) {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"NotchlogProbe";
        return ::RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    // Shown without taking the foreground, so keys keep going to Notchlog.
    hwnd_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, L"NotchlogProbe", title.c_str(),
                              WS_POPUP | WS_BORDER, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                              nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) ThrowLastError("CreateWindowExW(NotchlogProbe)");
    ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    WaitUntil([&] { return ::IsWindowVisible(hwnd_) != FALSE; });
}

ProbeWindow::~ProbeWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

// ---- texts ----------------------------------------------------------------------------

std::wstring HandleDecimal(HWND w) {
    return std::to_wstring(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(w)));
}

std::wstring RectTextOf(HWND w) {
    RECT r{};
    ::GetWindowRect(w, &r);
    return L"(" + std::to_wstring(r.left) + L", " + std::to_wstring(r.top) + L")-(" + std::to_wstring(r.right) +
           L", " + std::to_wstring(r.bottom) + L") " + std::to_wstring(r.right - r.left) + L"x" +
           std::to_wstring(r.bottom - r.top);
}

std::vector<std::wstring> SplitOn(const std::wstring& text, const std::wstring& sep) {
    std::vector<std::wstring> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(sep, start);
        if (at == std::wstring::npos) {
            out.push_back(text.substr(start));
            return out;
        }
        out.push_back(text.substr(start, at - start));
        start = at + sep.size();
    }
}

bool IsTimeStamp(const std::wstring& s) {
    if (s.size() != 8 || s[2] != L':' || s[5] != L':') return false;
    for (int i : {0, 1, 3, 4, 6, 7})
        if (!std::iswdigit(s[static_cast<std::size_t>(i)])) return false;
    return (s[0] - L'0') * 10 + (s[1] - L'0') < 24 && s[3] < L'6' && s[6] < L'6';
}

std::wstring ThroughAnsi(const std::wstring& text, std::size_t maxBytes) {
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string ansi(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &ansi[0], n, nullptr, nullptr);
    if (ansi.size() > maxBytes) ansi.resize(maxBytes);
    const int w = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring back(static_cast<std::size_t>(w), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &back[0], w);
    return back;
}

}  // namespace nle2e
