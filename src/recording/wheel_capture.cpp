#include "recording/wheel_capture.h"

#include <atomic>
#include <vector>

#include "win32/api.h"
#include "win32/raii.h"

namespace nl {

namespace {
const char* const kCaptureClass = "NotchlogCapture";

// The queue the running hook fills; the hook callback has no other way to it.
std::atomic<HookQueue*> g_hookQueue{nullptr};

static_assert(kRawWheelFlag == RI_MOUSE_WHEEL && kRawHWheelFlag == RI_MOUSE_HWHEEL, "raw input's wheel flags");

struct ThreadStart {
    HANDLE ready;
    bool hooked = false;
};
}  // namespace

WheelCapture::~WheelCapture() {
    Enable(false);
    if (Handle()) Api(::DestroyWindow(Handle()));
}

void WheelCapture::Create(HINSTANCE instance) {
    static const bool registered = RegisterWindowClass(instance, kCaptureClass);
    (void)registered;
    CreateAs(0, kCaptureClass, "capture", 0, RECT{}, HWND_MESSAGE, nullptr, instance);
}

// Runs on the hook's own thread: copies the event and returns at once.
LRESULT CALLBACK WheelCapture::HookProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && (wp == WM_MOUSEWHEEL || wp == WM_MOUSEHWHEEL)) {
        if (HookQueue* queue = g_hookQueue.load(std::memory_order_acquire)) {
            const auto* m = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp);
            HookedWheel e;
            LARGE_INTEGER now{};
            ::QueryPerformanceCounter(&now);
            e.ticks = now.QuadPart;
            e.time = m->time;
            e.extraInfo = static_cast<std::uint32_t>(m->dwExtraInfo);
            e.x = m->pt.x;
            e.y = m->pt.y;
            e.delta = static_cast<std::int16_t>(HIWORD(m->mouseData));
            e.horizontal = wp == WM_MOUSEHWHEEL;
            e.injected = (m->flags & LLMHF_INJECTED) != 0;
            queue->TryPush(e);  // when full, the queue counts the loss
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

DWORD WINAPI WheelCapture::HookThread(void* param) {
    auto* start = static_cast<ThreadStart*>(param);
    // Every mouse event on the desktop waits for this thread: it runs first.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    MSG msg{};
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
    HHOOK hook = ::SetWindowsHookExW(WH_MOUSE_LL, &WheelCapture::HookProc, ::GetModuleHandleW(nullptr), 0);
    start->hooked = hook != nullptr;
    ::SetEvent(start->ready);  // start is not touched after this
    if (!hook) return 1;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    ::UnhookWindowsHookEx(hook);
    return 0;
}

void WheelCapture::Enable(bool on) {
    if (on == Enabled() || !Handle()) return;
    if (on) {
        if (!queue_) queue_ = std::make_unique<HookQueue>();
        g_hookQueue.store(queue_.get(), std::memory_order_release);
        KernelHandle ready(Api(::CreateEventW(nullptr, TRUE, FALSE, nullptr)));
        ThreadStart start{ready.Get()};
        thread_ = KernelHandle(Api(::CreateThread(nullptr, 0, &WheelCapture::HookThread, &start, 0, &threadId_)));
        if (!thread_) Raise(kErrInvalidCall, "The capture thread could not be started.");
        Api(::WaitForSingleObject(ready.Get(), INFINITE));
        if (!start.hooked) {
            Api(::WaitForSingleObject(thread_.Get(), INFINITE));
            thread_.Reset();
            Raise(kErrInvalidCall, "The low-level mouse hook could not be set.");
        }
        const RAWINPUTDEVICE mouse{1, 2, RIDEV_INPUTSINK, Handle()};
        Api(::RegisterRawInputDevices(&mouse, 1, sizeof mouse));
        return;
    }
    const RAWINPUTDEVICE mouse{1, 2, RIDEV_REMOVE, nullptr};
    Api(::RegisterRawInputDevices(&mouse, 1, sizeof mouse));
    Api(::PostThreadMessageW(threadId_, WM_QUIT, 0, 0));
    Api(::WaitForSingleObject(thread_.Get(), INFINITE));
    thread_.Reset();
    g_hookQueue.store(nullptr, std::memory_order_release);
    Drain();  // what the hook queued before it stopped
}

void WheelCapture::Drain() {
    if (queue_) DrainHooked(*queue_, sink_.event, sink_.lost);
}

void WheelCapture::OnRawInput(HRAWINPUT input) {
    RAWINPUT raw{};
    UINT size = sizeof raw;
    if (Api(::GetRawInputData(input, RID_INPUT, &raw, &size, sizeof(RAWINPUTHEADER))) == static_cast<UINT>(-1) ||
        raw.header.dwType != RIM_TYPEMOUSE)
        return;
    const USHORT flags = raw.data.mouse.usButtonFlags;
    if (!(flags & (kRawWheelFlag | kRawHWheelFlag))) return;  // motion, buttons, empty records
    LARGE_INTEGER now{};
    Api(::QueryPerformanceCounter(&now));
    const HANDLE device = raw.header.hDevice;
    WheelSample base;
    base.ticks = now.QuadPart;
    base.msgTime = static_cast<std::uint32_t>(Api(::GetMessageTime()));
    base.extraInfo = static_cast<std::uint32_t>(raw.data.mouse.ulExtraInformation);
    base.position = PointFromWords(Api(::GetMessagePos()));
    base.device = devices_.IndexOf(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(device)), [device] {
        UINT chars = 0;
        if (Api(::GetRawInputDeviceInfoA(device, RIDI_DEVICENAME, nullptr, &chars)) != 0 || chars == 0)
            return std::string();
        std::vector<char> buffer(chars + 1, '\0');
        if (Api(::GetRawInputDeviceInfoA(device, RIDI_DEVICENAME, buffer.data(), &chars)) == static_cast<UINT>(-1))
            return std::string();
        return std::string(buffer.data());
    });
    WheelSample samples[2];
    const int n = RawWheelSamples(flags, static_cast<std::int16_t>(raw.data.mouse.usButtonData), base, samples);
    for (int i = 0; i < n; ++i) sink_.event(samples[i]);
}

LRESULT WheelCapture::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INPUT) OnRawInput(reinterpret_cast<HRAWINPUT>(lp));
    return Default(msg, wp, lp);
}

}  // namespace nl
