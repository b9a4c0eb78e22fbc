#include "driver/driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <initializer_list>

namespace nle2e {

DriverError::DriverError(const std::string& what) : std::runtime_error(what) {}

void ThrowLastError(const std::string& what) {
    const DWORD code = ::GetLastError();
    wchar_t* text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string message = what + " (error " + std::to_string(code);
    if (text) {
        std::wstring t(text);
        ::LocalFree(text);
        while (!t.empty() && (t.back() == L'\n' || t.back() == L'\r')) t.pop_back();
        message += ": " + Narrow(t);
    }
    throw DriverError(message + ")");
}

std::string Narrow(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

std::wstring Widen(const std::string& s) {
    if (s.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}

// ---- owners -----------------------------------------------------------------

UniqueHandle& UniqueHandle::operator=(UniqueHandle&& o) noexcept {
    if (this != &o) {
        Reset();
        h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
}

void UniqueHandle::Reset() {
    if (h_ && h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    h_ = nullptr;
}

ScreenDc::ScreenDc() : dc_(::GetDC(nullptr)) {
    if (!dc_) ThrowLastError("GetDC(NULL)");
}

ScreenDc::~ScreenDc() { ::ReleaseDC(nullptr, dc_); }

// ---- windows ------------------------------------------------------------------

std::wstring ClassNameOf(HWND w) {
    wchar_t buf[256] = {};
    const int n = ::GetClassNameW(w, buf, 256);
    return std::wstring(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::wstring TextOf(HWND w) {
    wchar_t buf[1024] = {};
    const int n = ::InternalGetWindowText(w, buf, 1024);
    return std::wstring(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

namespace {
struct TopLevelSearch {
    DWORD pid;
    const std::wstring* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<TopLevelSearch*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    if (pid == s->pid && ClassNameOf(w) == *s->className) s->found.push_back(w);
    return TRUE;
}
}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid, const std::wstring& className) {
    TopLevelSearch s{pid, &className, {}};
    ::EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::vector<HWND> ChildrenInZOrder(HWND parent) {
    std::vector<HWND> children;
    for (HWND c = ::GetWindow(parent, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        children.push_back(c);
        if (children.size() > 1000) throw DriverError("the child list of a window does not end");
    }
    return children;
}

RECT RectInParentClient(HWND child, HWND parent) {
    RECT r{};
    if (!::GetWindowRect(child, &r)) ThrowLastError("GetWindowRect");
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE ClientSize(HWND w) {
    RECT r{};
    if (!::GetClientRect(w, &r)) ThrowLastError("GetClientRect");
    return SIZE{r.right - r.left, r.bottom - r.top};
}

HWND FocusOfThreadOwning(HWND w) {
    const DWORD tid = ::GetWindowThreadProcessId(w, nullptr);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(tid, &info)) ThrowLastError("GetGUIThreadInfo");
    return info.hwndFocus;
}

LRESULT Send(HWND w, UINT msg, WPARAM wp, LPARAM lp, Millis timeout) {
    DWORD_PTR result = 0;
    ::SetLastError(0);
    if (!::SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, static_cast<UINT>(timeout.count()), &result)) {
        char what[96];
        std::snprintf(what, sizeof what, "SendMessageTimeoutW(message 0x%X)", msg);
        ThrowLastError(what);
    }
    return static_cast<LRESULT>(result);
}

void Post(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (!::PostMessageW(w, msg, wp, lp)) {
        char what[96];
        std::snprintf(what, sizeof what, "PostMessageW(message 0x%X)", msg);
        ThrowLastError(what);
    }
}

std::wstring HandleHex(HWND w) {
    wchar_t buf[16];
    std::swprintf(buf, 16, L"%X", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(w) & 0xFFFFFFFFu));
    return buf;
}

// ---- list boxes ---------------------------------------------------------------

int ListCount(HWND list) {
    const LRESULT n = Send(list, LB_GETCOUNT);
    if (n < 0) throw DriverError("LB_GETCOUNT failed");
    return static_cast<int>(n);
}

std::wstring ListLine(HWND list, int index) {
    const LRESULT len = Send(list, LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (len < 0) throw DriverError("LB_GETTEXTLEN failed for item " + std::to_string(index));
    // The W form: the A form written from another process comes back as
    // UTF-16 in a char buffer under Wine.
    std::wstring text(static_cast<std::size_t>(len) + 1, L'\0');
    const LRESULT got = Send(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    if (got < 0) throw DriverError("LB_GETTEXT failed for item " + std::to_string(index));
    text.resize(std::wcslen(text.c_str()));
    return text;
}

std::vector<std::wstring> ListLines(HWND list) {
    std::vector<std::wstring> lines;
    const int n = ListCount(list);
    lines.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) lines.push_back(ListLine(list, i));
    return lines;
}

ListState ReadList(HWND list) {
    ListState s;
    s.lines = ListLines(list);
    s.selected = static_cast<int>(Send(list, LB_GETCURSEL));
    s.top = static_cast<int>(Send(list, LB_GETTOPINDEX));
    const LRESULT itemHeight = Send(list, LB_GETITEMHEIGHT, 0);
    if (itemHeight <= 0) throw DriverError("LB_GETITEMHEIGHT failed");
    s.visibleRows = static_cast<int>(ClientSize(list).cy / itemHeight);
    return s;
}

// ---- clipboard ----------------------------------------------------------------

namespace {
// Open for the owner's lifetime.
class ClipboardOpen {
public:
    ClipboardOpen(HWND owner, Millis deadline) {
        if (!WaitUntil([&] { return ::OpenClipboard(owner) != FALSE; }, deadline, 10ms))
            ThrowLastError("OpenClipboard");
    }
    ClipboardOpen(const ClipboardOpen&) = delete;
    ClipboardOpen& operator=(const ClipboardOpen&) = delete;
    ~ClipboardOpen() { ::CloseClipboard(); }
};

// A message-only window to own what the driver puts on the clipboard.
class OwnerWindow {
public:
    OwnerWindow()
        : w_(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr)) {
        if (!w_) ThrowLastError("CreateWindowExW(clipboard owner)");
    }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    ~OwnerWindow() { ::DestroyWindow(w_); }
    HWND Get() const { return w_; }

private:
    HWND w_;
};
}  // namespace

std::optional<std::wstring> ReadClipboardText(Millis deadline) {
    ClipboardOpen open(nullptr, deadline);
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data) return std::nullopt;
    const auto* p = static_cast<const wchar_t*>(::GlobalLock(data));
    if (!p) ThrowLastError("GlobalLock(clipboard text)");
    const std::size_t capacity = ::GlobalSize(data) / sizeof(wchar_t);
    std::size_t n = 0;
    while (n < capacity && p[n] != L'\0') ++n;
    std::wstring text(p, n);
    ::GlobalUnlock(data);
    return text;
}

void WriteClipboardText(const std::wstring& text, Millis deadline) {
    OwnerWindow owner;
    ClipboardOpen open(owner.Get(), deadline);
    if (!::EmptyClipboard()) ThrowLastError("EmptyClipboard");
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!mem) ThrowLastError("GlobalAlloc");
    void* p = ::GlobalLock(mem);
    std::memcpy(p, text.c_str(), bytes);
    ::GlobalUnlock(mem);
    if (!::SetClipboardData(CF_UNICODETEXT, mem)) {
        ::GlobalFree(mem);
        ThrowLastError("SetClipboardData");
    }
}

// ---- screen -------------------------------------------------------------------

COLORREF ScreenPixel(int x, int y) {
    ScreenDc screen;
    return ::GetPixel(screen.Get(), x, y);
}

POINT CentreOf(HWND w) {
    RECT r{};
    if (!::GetWindowRect(w, &r)) ThrowLastError("GetWindowRect");
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

namespace {
class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc_(::CreateCompatibleDC(like)) {
        if (!dc_) ThrowLastError("CreateCompatibleDC");
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() { ::DeleteDC(dc_); }
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

class Bitmap {
public:
    explicit Bitmap(HBITMAP b) : b_(b) {}
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    ~Bitmap() {
        if (b_) ::DeleteObject(b_);
    }
    HBITMAP Get() const { return b_; }

private:
    HBITMAP b_;
};
}  // namespace

void SaveScreenBmp(const RECT& r, const std::wstring& path) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) throw DriverError("empty capture rectangle");
    const int stride = (width * 3 + 3) & ~3;  // rows padded to 4 bytes
    const DWORD imageBytes = static_cast<DWORD>(stride) * static_cast<DWORD>(height);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = imageBytes;

    ScreenDc screen;
    MemoryDc memory(screen.Get());
    void* bits = nullptr;
    Bitmap dib(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib.Get() || !bits) ThrowLastError("CreateDIBSection");
    HGDIOBJ old = ::SelectObject(memory.Get(), dib.Get());
    const BOOL copied = ::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY);
    ::GdiFlush();
    ::SelectObject(memory.Get(), old);
    if (!copied) ThrowLastError("BitBlt from the screen");

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;

    UniqueHandle out(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    if (!out) ThrowLastError("CreateFileW(" + Narrow(path) + ")");
    auto write = [&](const void* p, DWORD n) {
        DWORD done = 0;
        if (!::WriteFile(out.Get(), p, n, &done, nullptr) || done != n) ThrowLastError("WriteFile(" + Narrow(path) + ")");
    };
    write(&file, sizeof file);
    write(&info.bmiHeader, sizeof info.bmiHeader);
    write(bits, imageBytes);
}

// ---- registry -----------------------------------------------------------------

const wchar_t* const kDesktopKey = L"Control Panel\\Desktop";
const wchar_t* const kLogPixels = L"LogPixels";

namespace {
UniqueRegKey OpenUserKey(const std::wstring& subKey) {
    HKEY k = nullptr;
    const LONG rc = ::RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                                      nullptr, &k, nullptr);
    if (rc != ERROR_SUCCESS) {
        ::SetLastError(static_cast<DWORD>(rc));
        ThrowLastError("RegCreateKeyExW(HKCU\\" + Narrow(subKey) + ")");
    }
    return UniqueRegKey(k);
}
}  // namespace

ScopedUserDword::ScopedUserDword(std::wstring subKey, std::wstring name, DWORD value)
    : subKey_(std::move(subKey)), name_(std::move(name)) {
    UniqueRegKey key = OpenUserKey(subKey_);
    DWORD type = 0, old = 0, size = sizeof old;
    if (::RegQueryValueExW(key.Get(), name_.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&old), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD)
        previous_ = old;
    const LONG rc =
        ::RegSetValueExW(key.Get(), name_.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    if (rc != ERROR_SUCCESS) {
        ::SetLastError(static_cast<DWORD>(rc));
        ThrowLastError("RegSetValueExW(" + Narrow(name_) + ")");
    }
}

ScopedUserDword::~ScopedUserDword() {
    try {
        if (previous_) {
            UniqueRegKey key = OpenUserKey(subKey_);
            const DWORD v = *previous_;
            ::RegSetValueExW(key.Get(), name_.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
        } else {
            DeleteUserValue(subKey_, name_);
        }
    } catch (...) {
    }
}

void DeleteUserValue(const std::wstring& subKey, const std::wstring& name) {
    UniqueRegKey key = OpenUserKey(subKey);
    ::RegDeleteValueW(key.Get(), name.c_str());
}

void PumpMessages() {
    MSG m;
    while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
}

bool HasPendingPaint(HWND w) {
    if (::GetUpdateRect(w, nullptr, FALSE)) return true;
    for (HWND c : ChildrenInZOrder(w))
        if (HasPendingPaint(c)) return true;
    return false;
}

// ---- the program ----------------------------------------------------------------

std::wstring WindowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') {  // Wine maps the Unix root to Z:
        for (auto& c : path)
            if (c == L'/') c = L'\\';
        path = L"Z:" + path;
    }
    return path;
}

std::wstring NotchlogExePath() {
    wchar_t buf[MAX_PATH * 2] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"NOTCHLOG_EXE", buf, MAX_PATH * 2);
    if (n > 0 && n < MAX_PATH * 2) {
        return WindowsPath(std::wstring(buf, n));
    }
    const DWORD m = ::GetModuleFileNameW(nullptr, buf, MAX_PATH * 2);
    std::wstring self(buf, m);
    const auto slash = self.find_last_of(L"\\/");
    const std::wstring dir = slash == std::wstring::npos ? std::wstring() : self.substr(0, slash + 1);
    // Beside this executable, else at the top of the build folder that
    // holds it (the drivers live in <build>\tests\e2e).
    for (const wchar_t* candidate : {L"Notchlog.exe", L"..\\..\\Notchlog.exe"}) {
        const std::wstring path = dir + candidate;
        if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
    }
    return dir + L"Notchlog.exe";
}

Notchlog Notchlog::Launch(const std::wstring& exe, Millis deadline) {
    Notchlog app;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        ThrowLastError("CreateProcessW(" + Narrow(exe) + ")");
    app.process_ = UniqueHandle(pi.hProcess);
    app.thread_ = UniqueHandle(pi.hThread);
    app.pid_ = pi.dwProcessId;
    app.tid_ = pi.dwThreadId;

    const DWORD idle = ::WaitForInputIdle(pi.hProcess, static_cast<DWORD>(deadline.count()));
    if (idle == WAIT_FAILED) ThrowLastError("WaitForInputIdle");
    const bool shown = WaitUntil(
        [&] {
            if (!app.Running()) return true;  // reported below
            const auto windows = TopLevelWindows(app.pid_, kMainClass);
            for (HWND w : windows) {
                if (::IsWindowVisible(w)) {
                    app.main_ = w;
                    return true;
                }
            }
            return false;
        },
        deadline);
    if (!app.Running()) {
        DWORD code = 0;
        ::GetExitCodeProcess(pi.hProcess, &code);
        throw DriverError("Notchlog.exe ended during start-up with exit code " + std::to_string(code));
    }
    if (!shown || !app.main_) throw DriverError("Notchlog.exe showed no NotchlogMain window in time");
    // A round trip through a child (messages to children are not logged)
    // makes sure everything sent during start-up has been handled.
    Send(app.Log(), WM_NULL);
    return app;
}

Notchlog& Notchlog::operator=(Notchlog&& o) noexcept {
    if (this != &o) {
        Terminate();
        process_ = std::move(o.process_);
        thread_ = std::move(o.thread_);
        pid_ = o.pid_;
        tid_ = o.tid_;
        main_ = o.main_;
    }
    return *this;
}

Notchlog::~Notchlog() { Terminate(); }

bool Notchlog::Running() const {
    return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

HWND Notchlog::Control(int id) const {
    HWND c = ::GetDlgItem(main_, id);
    if (!c) throw DriverError("Notchlog has no control with id " + std::to_string(id));
    return c;
}

HWND Notchlog::Log() const { return Control(kLstMessage); }

std::wstring Notchlog::CopiedBy(int button) const {
    WriteClipboardText(L"(before)");
    Send(Control(button), BM_CLICK);
    const auto text = ReadClipboardText();
    if (!text) throw DriverError("Copy left no text on the clipboard");
    return *text;
}

std::optional<DWORD> Notchlog::WaitForExit(Millis deadline) {
    if (!process_) return std::nullopt;
    // Keeps this thread's windows answering while waiting: a window of the
    // program may have been made a child of one of them, and destroying it
    // then waits for them.
    const auto end = std::chrono::steady_clock::now() + deadline;
    const HANDLE h = process_.Get();
    for (;;) {
        const auto left = std::chrono::duration_cast<Millis>(end - std::chrono::steady_clock::now());
        const DWORD wait = ::MsgWaitForMultipleObjects(1, &h, FALSE, static_cast<DWORD>(std::max<long long>(0, left.count())),
                                                       QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) break;
        if (wait != WAIT_OBJECT_0 + 1) return std::nullopt;  // timed out
        PumpMessages();
    }
    DWORD code = 0;
    if (!::GetExitCodeProcess(h, &code)) ThrowLastError("GetExitCodeProcess");
    return code;
}

std::vector<std::wstring> Notchlog::Settle(Millis deadline) {
    static WPARAM serial = 0;
    std::vector<std::wstring> lines;
    const bool settled = WaitUntil(
        [&] {
            const std::size_t before = static_cast<std::size_t>(ListCount(Log()));
            const WPARAM n = ++serial;
            Post(main_, kSettleMarker, n, 0);
            lines = WaitForLogLine([&](const std::wstring& l) {
                const auto p = ParseLogLine(l);
                return p && p->uMsg == kSettleMarker && static_cast<WPARAM>(static_cast<std::uint16_t>(p->wLo)) ==
                                                            (n & 0xFFFF);
            });
            if (!WaitUntil([&] { return !HasPendingPaint(main_); })) return false;
            // Handled only after a paint that is under way has finished.
            Send(Log(), WM_NULL);
            lines = ListLines(Log());
            return lines.size() == before + 1;
        },
        deadline, 0ms);
    if (!settled) throw DriverError("Notchlog never became idle");
    return lines;
}

DWORD Notchlog::Close(Millis deadline) {
    Post(main_, WM_CLOSE);
    const auto code = WaitForExit(deadline);
    if (!code) throw DriverError("Notchlog.exe did not end after WM_CLOSE");
    return *code;
}

void Notchlog::Terminate() noexcept {
    if (Running()) {
        ::TerminateProcess(process_.Get(), 0xDEAD);
        ::WaitForSingleObject(process_.Get(), 5000);
    }
}

// ---- log lines ------------------------------------------------------------------

namespace {
class Cursor {
public:
    explicit Cursor(const std::wstring& s) : s_(s) {}
    bool Literal(const wchar_t* lit) {
        const std::size_t n = std::wcslen(lit);
        if (s_.compare(i_, n, lit) != 0) return false;
        i_ += n;
        return true;
    }
    bool TwoDigits(int& v) {
        if (i_ + 2 > s_.size() || !std::iswdigit(s_[i_]) || !std::iswdigit(s_[i_ + 1])) return false;
        v = (s_[i_] - L'0') * 10 + (s_[i_ + 1] - L'0');
        i_ += 2;
        return true;
    }
    // Upper-case hex without leading zeros ("0" for zero).
    bool Hex(std::wstring& digits) {
        const std::size_t start = i_;
        while (i_ < s_.size() && (std::iswdigit(s_[i_]) || (s_[i_] >= L'A' && s_[i_] <= L'F'))) ++i_;
        digits = s_.substr(start, i_ - start);
        return !digits.empty() && digits.size() <= 8 && (digits.size() == 1 || digits[0] != L'0');
    }
    // Decimal of a signed 16-bit value: "-" then digits, no leading zeros.
    bool Word(int& v) {
        bool negative = false;
        if (i_ < s_.size() && s_[i_] == L'-') {
            negative = true;
            ++i_;
        }
        const std::size_t start = i_;
        long value = 0;
        while (i_ < s_.size() && std::iswdigit(s_[i_]) && i_ - start < 6) value = value * 10 + (s_[i_++] - L'0');
        const std::size_t n = i_ - start;
        if (n == 0 || (n > 1 && s_[start] == L'0') || (negative && value == 0)) return false;
        v = negative ? -static_cast<int>(value) : static_cast<int>(value);
        return v >= -32768 && v <= 32767;
    }
    // Up to (not including) the next occurrence of `stop`.
    bool Until(const wchar_t* stop, std::wstring& out) {
        const std::size_t at = s_.find(stop, i_);
        if (at == std::wstring::npos) return false;
        out = s_.substr(i_, at - i_);
        i_ = at;
        return true;
    }
    bool AtEnd() const { return i_ == s_.size(); }

private:
    const std::wstring& s_;
    std::size_t i_ = 0;
};

bool ParseMessageField(const std::wstring& field, std::uint32_t& uMsg) {
    std::size_t blanks = 0;
    while (blanks < field.size() && field[blanks] == L' ') ++blanks;
    const std::wstring digits = field.substr(blanks);
    Cursor c(digits);
    std::wstring hex;
    if (!c.Hex(hex) || !c.AtEnd()) return false;
    // Right-aligned in four places; longer numbers are never cut.
    const std::size_t want = digits.size() < 4 ? 4 - digits.size() : 0;
    if (blanks != want) return false;
    uMsg = static_cast<std::uint32_t>(std::wcstoul(hex.c_str(), nullptr, 16));
    return true;
}
}  // namespace

std::optional<LogLine> ParseLogLine(const std::wstring& line) {
    LogLine l;
    Cursor c(line);
    if (!c.TwoDigits(l.hour) || !c.Literal(L":") || !c.TwoDigits(l.minute) || !c.Literal(L":") ||
        !c.TwoDigits(l.second))
        return std::nullopt;
    if (l.hour > 23 || l.minute > 59 || l.second > 59) return std::nullopt;
    if (!c.Literal(L"  hWnd=") || !c.Hex(l.hWnd) || !c.Literal(L"\tuMsg=")) return std::nullopt;
    if (!c.Until(L" wHi=", l.uMsgField) || !ParseMessageField(l.uMsgField, l.uMsg)) return std::nullopt;
    if (!c.Literal(L" wHi=") || !c.Word(l.wHi) || !c.Literal(L" wLo=") || !c.Word(l.wLo) || !c.Literal(L" lHi=") ||
        !c.Word(l.lHi) || !c.Literal(L" lLo=") || !c.Word(l.lLo) || !c.AtEnd())
        return std::nullopt;
    return l;
}

bool IsLogOf(const std::wstring& line, std::uint32_t uMsg) {
    const auto parsed = ParseLogLine(line);
    return parsed && parsed->uMsg == uMsg;
}

std::vector<std::uint32_t> LoggedAmong(const std::vector<std::wstring>& lines, std::size_t from,
                                       const std::vector<std::uint32_t>& only) {
    std::vector<std::uint32_t> found;
    for (std::size_t i = from; i < lines.size(); ++i) {
        const auto l = ParseLogLine(lines[i]);
        if (!l) throw DriverError("not a log line: " + Narrow(lines[i]));
        if (std::find(only.begin(), only.end(), l->uMsg) != only.end()) found.push_back(l->uMsg);
    }
    return found;
}

}  // namespace nle2e
