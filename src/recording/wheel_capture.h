// Capture of every wheel event on the desktop, while the user scrolls any
// program: a low-level mouse hook on a thread of its own, and raw input
// delivered to a message-only window of the program (never the main
// window). Nothing is injected into other processes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "common/wheel/captured_wheel.h"
#include "common/wheel/device_names.h"
#include "common/wheel/wheel_recorder.h"
#include "win32/raii.h"
#include "win32/window.h"

namespace nl {

class WheelCapture final : private Window {
public:
    // What the capture hands over, on the GUI thread: each event as a sample
    // (its ticks still absolute), and the count of hook events the queue had
    // no room for.
    struct Sink {
        std::function<void(WheelSample&)> event;
        std::function<void(std::uint64_t lost)> lost;
    };
    // Raw input devices are named in `devices` as they are first seen.
    WheelCapture(Sink sink, DeviceNames& devices) : sink_(std::move(sink)), devices_(devices) {}
    ~WheelCapture() override;

    void Create(HINSTANCE instance);
    // Turns both sources on or off; off unhooks, ends the thread and
    // unregisters raw input.
    void Enable(bool on);
    bool Enabled() const { return static_cast<bool>(thread_); }
    // Hands over what the hook queued (the program's frame asks, whenever
    // something waits).
    void Drain();
    bool Waiting() const { return queue_ && queue_->Waiting(); }

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnRawInput(HRAWINPUT input);
    static DWORD WINAPI HookThread(void* self);
    static LRESULT CALLBACK HookProc(int code, WPARAM wp, LPARAM lp);

    Sink sink_;
    DeviceNames& devices_;
    std::unique_ptr<HookQueue> queue_;
    KernelHandle thread_;
    DWORD threadId_ = 0;
};

}  // namespace nl
