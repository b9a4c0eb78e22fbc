// Drives Notchlog.exe from another process as a user and other programs
// would: starts it, reads its window, log and clipboard, gives it real input,
// changes the settings it reads at start, and plays the other windows a test
// needs. Failures throw DriverError, so a test fails instead of hanging.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace nle2e {

using namespace std::chrono_literals;

struct DriverError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void ThrowLastError(const std::string& what) {
    throw DriverError(what + " failed (error " + std::to_string(::GetLastError()) + ")");
}

inline std::string Narrow(const std::wstring& w) {  // UTF-8
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

inline std::wstring Format(const wchar_t* format, ...) {  // swprintf into a string of up to 8191 characters
    wchar_t buf[8192];
    va_list args;
    va_start(args, format);
    const int n = std::vswprintf(buf, 8192, format, args);
    va_end(args);
    return std::wstring(buf, static_cast<std::size_t>(std::clamp(n, 0, 8191)));
}

// A handle as the 32-bit number Notchlog prints (%lX in the log, %ld in the panels).
inline long Handle32(HWND w) { return static_cast<long>(reinterpret_cast<LONG_PTR>(w)); }

// A Unix absolute path as Wine reaches it (drive Z:); any other path unchanged.
inline std::wstring WindowsPath(std::wstring path) {
    if (path.empty() || path[0] != L'/') return path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return L"Z:" + path;
}

// $NOTCHLOG_EXE, else Notchlog.exe at the top of the build folder holding this program.
inline std::wstring NotchlogExePath() {
    wchar_t buf[MAX_PATH * 2] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"NOTCHLOG_EXE", buf, MAX_PATH * 2);
    if (n > 0 && n < MAX_PATH * 2) return WindowsPath(buf);
    std::wstring self(buf, ::GetModuleFileNameW(nullptr, buf, MAX_PATH * 2));
    // The drivers live in <build>\tests\e2e, <build>\tests\bench and <build>\tools\demo.
    return self.substr(0, self.find_last_of(L'\\') + 1) + L"..\\..\\Notchlog.exe";
}

// Polls `condition` until it holds or the deadline passes, handling this
// thread's messages meanwhile: its test windows keep answering.
template <typename Condition>
bool WaitUntil(Condition&& condition, std::chrono::milliseconds deadline = 20s) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        for (MSG m; ::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageW(&m);
    }
    return true;
}

// Notchlog's controls by their role, in creation order.
enum ControlId : int {
    kCopyHoverInfoButton = 101, kHoverPanel, kWheelScrollBar, kCopyWheelInfoButton,
    kWheelHitArea /* the green area */, kCopyLogButton, kClearLogButton, kMessageLog,
    kSampleList /* "Standard ListBox" */, kHoverLabel, kInstructionsLabel, kSampleListLabel, kMessagesLabel,
};

inline LRESULT Send(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {  // throws when not answered in 10 s
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, 10000, &result))
        ThrowLastError("sending message " + std::to_string(msg));
    return static_cast<LRESULT>(result);
}

inline void Post(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    if (!::PostMessageW(w, msg, wp, lp)) ThrowLastError("posting message " + std::to_string(msg));
}

inline std::wstring ClassOf(HWND w) {
    wchar_t buf[300];
    return std::wstring(buf, static_cast<std::size_t>(std::max(0, ::GetClassNameW(w, buf, 300))));
}

inline std::wstring TextOf(HWND w) {  // the caption as the system keeps it; sends nothing
    std::wstring buf(8192, L'\0');
    buf.resize(static_cast<std::size_t>(std::max(0, ::InternalGetWindowText(w, buf.data(), 8192))));
    return buf;
}

inline HWND FocusIn(HWND w) {  // the focus of the thread owning `w`
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(w, nullptr), &info)) ThrowLastError("GetGUIThreadInfo");
    return info.hwndFocus;
}

inline POINT CentreOf(HWND w) {  // screen coordinates
    RECT r{};
    if (!::GetWindowRect(w, &r)) ThrowLastError("GetWindowRect");
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

inline COLORREF PixelAt(POINT screen) {
    HDC dc = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(dc, screen.x, screen.y);
    ::ReleaseDC(nullptr, dc);
    return c;
}

// A list box's lines from `from` on, read with the W messages: the A form
// from another process writes UTF-16 under Wine.
inline std::vector<std::wstring> ListLines(HWND list, std::size_t from = 0) {
    std::vector<std::wstring> lines;
    for (std::size_t i = from, n = static_cast<std::size_t>(Send(list, LB_GETCOUNT)); i < n; ++i) {
        std::wstring line(static_cast<std::size_t>(Send(list, LB_GETTEXTLEN, i)) + 1, L'\0');
        line.resize(static_cast<std::size_t>(std::max<LRESULT>(0, Send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data())))));
        lines.push_back(line);
    }
    return lines;
}

// A list view's cells, row by row. Its messages carry pointers, so they
// are read through a buffer in the list's own process.
inline std::vector<std::vector<std::string>> ListViewRows(HWND list) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    const HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) ThrowLastError("OpenProcess");
    constexpr int kChars = 512;
    char* const remote = static_cast<char*>(
        ::VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
    std::vector<std::vector<std::string>> rows;
    const int count = static_cast<int>(Send(list, LVM_GETITEMCOUNT));
    const int columns = static_cast<int>(Send(reinterpret_cast<HWND>(Send(list, LVM_GETHEADER)), HDM_GETITEMCOUNT));
    for (int r = 0; remote && r < count; ++r) {
        rows.emplace_back();
        for (int c = 0; c < columns; ++c) {
            LVITEMW item{};
            item.iSubItem = c;
            item.pszText = reinterpret_cast<LPWSTR>(remote + sizeof(LVITEMW));
            item.cchTextMax = kChars;
            wchar_t text[kChars] = {};
            ::WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
            const auto n = static_cast<std::size_t>(Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(r),
                                                         reinterpret_cast<LPARAM>(remote)));
            ::ReadProcessMemory(process, remote + sizeof(LVITEMW), text, sizeof text, nullptr);
            rows.back().push_back(Narrow(std::wstring(text, std::min<std::size_t>(n, kChars))));
        }
    }
    if (remote) ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return rows;
}

inline UINT LoggedMsg(const std::wstring& logLine) {  // the number after "uMsg="
    const std::size_t at = logLine.find(L"\tuMsg=");
    return at == std::wstring::npos ? ~0u : static_cast<UINT>(std::wcstoul(logLine.c_str() + at + 6, nullptr, 16));
}

template <typename Char>
std::vector<std::basic_string<Char>> Split(const std::basic_string<Char>& text, const Char* separator) {
    const std::basic_string<Char> by(separator);
    std::vector<std::basic_string<Char>> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(by, start)) != std::basic_string<Char>::npos; start = at + by.size())
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

inline std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// A file's bytes, read as a viewer would (sharing reading and writing).
inline std::string Contents(const std::wstring& file) {
    std::string bytes;
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    char buf[65536];
    for (DWORD got = 0; ::ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0;) bytes.append(buf, got);
    ::CloseHandle(h);
    return bytes;
}

// Keeps the clipboard open, as a program that forgot to close it would.
// Opening waits: Wine's X11 clipboard sync may hold it a moment.
struct ClipboardHolder {
    ClipboardHolder() {
        if (!WaitUntil([] { return ::OpenClipboard(nullptr) != FALSE; }, 5s)) ThrowLastError("OpenClipboard");
    }
    ClipboardHolder(const ClipboardHolder&) = delete;
    ~ClipboardHolder() { ::CloseClipboard(); }
};

inline std::optional<std::wstring> ReadClipboard() {
    ClipboardHolder open;
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data) return std::nullopt;
    const auto* p = static_cast<const wchar_t*>(::GlobalLock(data));
    std::wstring text(p, wcsnlen(p, ::GlobalSize(data) / sizeof(wchar_t)));
    ::GlobalUnlock(data);
    return text;
}

inline void WriteClipboard(const std::wstring& text) {
    ClipboardHolder open;
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(::GlobalLock(mem), text.c_str(), bytes);
    ::GlobalUnlock(mem);
    if (!::EmptyClipboard() || !::SetClipboardData(CF_UNICODETEXT, mem)) ThrowLastError("writing the clipboard");
}

inline void SendInputOf(DWORD type, WORD vk, DWORD flags, int wheel = 0) {
    INPUT in{};
    in.type = type;
    if (type == INPUT_KEYBOARD) in.ki.wVk = vk, in.ki.dwFlags = flags;
    else in.mi.dwFlags = flags, in.mi.mouseData = static_cast<DWORD>(wheel);
    if (::SendInput(1, &in, sizeof in) != 1) ThrowLastError("SendInput");
}

inline void MoveCursor(POINT p) {
    if (!::SetCursorPos(p.x, p.y)) ThrowLastError("SetCursorPos");
    WaitUntil([&] {
        POINT now{};
        return ::GetCursorPos(&now) && now.x == p.x && now.y == p.y;
    });
}

// Wheel input as a device driver would inject it: one input per delta, in one call.
inline void InjectWheel(std::initializer_list<int> deltas, bool horizontal = false, ULONG_PTR extraInfo = 0) {
    std::vector<INPUT> inputs;
    for (int d : deltas) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = horizontal ? MOUSEEVENTF_HWHEEL : MOUSEEVENTF_WHEEL;
        in.mi.mouseData = static_cast<DWORD>(d);
        in.mi.dwExtraInfo = extraInfo;
        inputs.push_back(in);
    }
    if (::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size()) ThrowLastError("SendInput");
}

// Notchlog's wheel CSV: its header, and a file's rows after it, each split
// into its fields (none when the header differs or the last line is unfinished).
inline const std::string kWheelCsvHeaderText =
    "seq,time_ms,msg_time,interval_ms,window,axis,delta,notches,step,truncated,rounded,accumulated,carry,source,"
    "extra_info,pen_touch,keys,key_mismatch,x,y,pos_x,pos_y,bounce,target,device";
inline std::vector<std::vector<std::string>> WheelCsvRows(const std::wstring& file) {
    auto lines = Split(Contents(file), "\r\n");
    if (lines.empty() || lines[0] != kWheelCsvHeaderText || !lines.back().empty()) return {};
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) rows.push_back(Split(lines[i], ","));
    return rows;
}

inline void Wheel(int delta) { SendInputOf(INPUT_MOUSE, 0, MOUSEEVENTF_WHEEL, delta); }  // 120: a notch forward
inline void Key(WORD vk, bool up = false) { SendInputOf(INPUT_KEYBOARD, vk, up ? KEYEVENTF_KEYUP : 0); }

inline void Foreground(HWND w) {
    ::SetForegroundWindow(w);
    if (!WaitUntil([&] { return ::GetForegroundWindow() == w; }, 5s)) throw DriverError("no foreground window");
}

constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";  // LogPixels, WheelScrollLines
constexpr const wchar_t* kAppDefaultsKey = L"Software\\Wine\\AppDefaults\\Notchlog.exe";  // Version

// A value under HKEY_CURRENT_USER for the owner's lifetime; what was there
// before (or nothing) is put back.
class ScopedValue {
public:
    ScopedValue(const wchar_t* subKey, const wchar_t* name, DWORD value) : ScopedValue(subKey, name, REG_DWORD, &value, 4) {}
    ScopedValue(const wchar_t* subKey, const wchar_t* name, const std::wstring& value)
        : ScopedValue(subKey, name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) {}
    ScopedValue(const ScopedValue&) = delete;
    ~ScopedValue() {
        if (had_) ::RegSetKeyValueW(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str(), oldType_, old_, oldSize_);
        else ::RegDeleteKeyValueW(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str());
    }

private:
    ScopedValue(const wchar_t* subKey, const wchar_t* name, DWORD type, const void* data, DWORD size) : subKey_(subKey), name_(name) {
        had_ = ::RegGetValueW(HKEY_CURRENT_USER, subKey, name, RRF_RT_ANY | RRF_NOEXPAND, &oldType_, old_, &oldSize_) == 0;
        if (const LONG rc = ::RegSetKeyValueW(HKEY_CURRENT_USER, subKey, name, type, data, size))
            throw DriverError("setting " + Narrow(name_) + ": error " + std::to_string(rc));
    }
    std::wstring subKey_, name_;
    DWORD oldType_ = REG_NONE;
    BYTE old_[1024];
    DWORD oldSize_ = sizeof old_;
    bool had_ = false;
};

// A top-level window of class `className` (registered here) that counts the
// messages reaching it; shown topmost without taking the foreground.
class TestWindow {
public:
    TestWindow(const std::wstring& className, const std::wstring& title, RECT r, bool shown = true) : class_(className) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &TestWindow::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = class_.c_str();
        if (!::RegisterClassW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) ThrowLastError("RegisterClassW");
        w_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, class_.c_str(), title.c_str(),
                               WS_POPUP | WS_BORDER, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                               nullptr, wc.hInstance, nullptr);
        if (!w_) ThrowLastError("CreateWindowExW");
        ::SetWindowLongPtrW(w_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        if (shown) ::ShowWindow(w_, SW_SHOWNOACTIVATE);
    }
    TestWindow(const TestWindow&) = delete;
    ~TestWindow() {
        ::DestroyWindow(w_);
        ::UnregisterClassW(class_.c_str(), ::GetModuleHandleW(nullptr));
    }
    HWND Get() const { return w_; }
    int Received(UINT msg) { return received_[msg]; }
    void Answer(UINT msg, LRESULT value) { answerMsg_ = msg, answer_ = value; }

private:
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (auto* self = reinterpret_cast<TestWindow*>(::GetWindowLongPtrW(w, GWLP_USERDATA))) {
            ++self->received_[msg];
            if (msg == self->answerMsg_ && msg != 0) return self->answer_;
        }
        return ::DefWindowProcW(w, msg, wp, lp);
    }
    std::wstring class_;
    HWND w_ = nullptr;
    std::map<UINT, int> received_;
    UINT answerMsg_ = 0;
    LRESULT answer_ = 0;
};

// The legacy wheel driver's window, answering its lines-per-notch question.
struct LegacyWheelDriver : TestWindow {
    explicit LegacyWheelDriver(LRESULT lines) : TestWindow(L"MouseZ", L"Magellan MSWHEEL", {0, 0, 10, 10}, false) {
        Answer(::RegisterWindowMessageW(L"MSH_SCROLL_LINES_MSG"), lines);
    }
};

inline HWND ShownWindowOf(DWORD pid, const wchar_t* className) {  // a visible top-level one
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, className, nullptr));) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(w, &owner);
        if (owner == pid && ::IsWindowVisible(w)) return w;
    }
    return nullptr;
}

struct MessageBoxSeen {
    HWND box;
    std::wstring caption, text;
};

inline MessageBoxSeen WaitForMessageBox(DWORD pid) {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = ShownWindowOf(pid, L"#32770")) && ::GetDlgItem(box, 0xFFFF); }))
        throw DriverError("no message box appeared");
    return MessageBoxSeen{box, TextOf(box), TextOf(::GetDlgItem(box, 0xFFFF))};
}

inline void Press(const MessageBoxSeen& box, int id) {  // IDOK or IDCANCEL; waits until the box is gone
    Post(::GetDlgItem(box.box, id), BM_CLICK);
    if (!WaitUntil([&] { return !::IsWindow(box.box); })) throw DriverError("the message box stayed open");
}

// A process this driver started, ended by its handle if it still runs when
// the object goes.
class ChildProcess {
public:
    // `out` and `err`, when given, are inheritable handles the child's
    // standard output and error go to.
    ChildProcess(const std::wstring& exe, std::wstring commandLine, HANDLE out = nullptr, HANDLE err = nullptr) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        if (out || err) {
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdOutput = out;
            si.hStdError = err;
        }
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, out || err, 0, nullptr, nullptr, &si,
                              &pi))
            ThrowLastError("starting " + Narrow(exe));
        ::CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        pid_ = pi.dwProcessId;
    }
    ChildProcess(const ChildProcess&) = delete;
    ~ChildProcess() { End(); }
    void End() {
        if (!process_) return;
        if (Running()) ::TerminateProcess(process_, 0xDEAD), ::WaitForSingleObject(process_, 5000);
        ::CloseHandle(process_);
        process_ = nullptr;
    }
    bool Running() const { return process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    HANDLE Handle() const { return process_; }
    DWORD Pid() const { return pid_; }

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// One running Notchlog.exe, ended by its handle if it still runs when the
// object goes.
class Notchlog {
public:
    static constexpr UINT kMarker = WM_APP + 0x3FF;

    // Returns once the main window is shown and start-up is done; `args` follow the program's name.
    explicit Notchlog(const std::wstring& args = L"")
        : process_(NotchlogExePath(), L"\"" + NotchlogExePath() + L"\"" + (args.empty() ? L"" : L" " + args)) {
        // Waiting answers this thread's windows: a legacy driver's is asked during start-up.
        WaitUntil([&] { return (main_ = ShownWindowOf(Pid(), L"NotchlogMain")) || !Running(); });
        if (!main_) throw DriverError("Notchlog.exe showed no window");
        Send(Control(kMessageLog), WM_NULL);  // handled once the program takes messages: start-up is over
    }
    Notchlog(const Notchlog&) = delete;

    HWND Main() const { return main_; }
    DWORD Pid() const { return process_.Pid(); }
    HANDLE Process() const { return process_.Handle(); }
    bool Running() const { return process_.Running(); }
    HWND Control(int id) const {
        if (HWND c = ::GetDlgItem(main_, id)) return c;
        throw DriverError("no control " + std::to_string(id));
    }
    std::size_t LogCount() const { return static_cast<std::size_t>(Send(Control(kMessageLog), LB_GETCOUNT)); }
    std::vector<std::wstring> Log(std::size_t from = 0) const { return ListLines(Control(kMessageLog), from); }

    // Posts a marker message and waits for its line; returns the count of
    // lines up to and including it.
    std::size_t Mark() {
        static int serial = 0;
        serial = serial % 30000 + 1;
        const std::wstring tag = Format(L"\tuMsg=%X wHi=0 wLo=%d ", kMarker, serial);
        std::size_t next = LogCount();
        Post(main_, kMarker, static_cast<WPARAM>(serial));
        const bool found = WaitUntil([&] {
            for (const auto& line : Log(next)) {
                if (line.find(tag) != std::wstring::npos) return true;
                ++next;
            }
            return false;
        });
        if (!found) throw DriverError("the marker never reached the log");
        return next + 1;
    }

    // Waits until nothing more gets logged, painting included; returns the log.
    std::vector<std::wstring> Settle() {
        auto painted = [this] {
            bool pending = ::GetUpdateRect(main_, nullptr, FALSE);
            for (HWND c = ::GetWindow(main_, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
                pending = pending || ::GetUpdateRect(c, nullptr, FALSE);
            return !pending;
        };
        for (int round = 0; round < 100; ++round) {
            const std::size_t before = LogCount();
            if (Mark() != before + 1 || !WaitUntil(painted)) continue;
            Send(Control(kMessageLog), WM_NULL);  // after a paint under way
            if (LogCount() == before + 1) return Log();
        }
        throw DriverError("Notchlog never became idle");
    }

    // What a Copy button's click (its notification, sent to the main window)
    // puts on the clipboard; the focus stays where it is.
    std::wstring Copy(int button) {
        WriteClipboard(L"(before the copy)");
        Send(main_, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(Control(button)));
        if (auto text = ReadClipboard()) return *text;
        throw DriverError("the copy left no text on the clipboard");
    }

    std::optional<DWORD> WaitForExit() {  // the exit code
        DWORD code = 0;
        if (!WaitUntil([&] { return !Running(); }) || !::GetExitCodeProcess(Process(), &code)) return std::nullopt;
        return code;
    }

    DWORD Close() {  // posts WM_CLOSE; returns the exit code
        Post(main_, WM_CLOSE);
        if (const auto code = WaitForExit()) return *code;
        throw DriverError("Notchlog.exe did not end after WM_CLOSE");
    }

private:
    ChildProcess process_;
    HWND main_ = nullptr;
};

}  // namespace nle2e
