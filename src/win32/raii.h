// Owners for the platform's handles: each releases what it holds exactly once.
#pragma once

#include <windows.h>

#include <utility>

#include "win32/api.h"

namespace nl {

// Holds one handle and gives it back with Release exactly once.
template <typename Handle, void (*Release)(Handle)>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle h) : h_(h) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned& operator=(Owned&& o) noexcept {
        if (this != &o) {
            Reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    ~Owned() { Reset(); }
    Handle Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    // Gives up the handle, to a call that takes it over (SetWindowRgn).
    Handle Take() { return std::exchange(h_, nullptr); }
    void Reset() {
        if (h_) Release(h_);
        h_ = nullptr;
    }

private:
    Handle h_ = nullptr;
};

inline void DeleteGdiObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void CloseKernelHandle(HANDLE h) { Api(::CloseHandle(h)); }

inline void DeleteMemoryDc(HDC h) { ::DeleteDC(h); }

using GdiObject = Owned<HGDIOBJ, &DeleteGdiObject>;
// A DC made with CreateCompatibleDC, for drawing off screen.
using MemoryDc = Owned<HDC, &DeleteMemoryDc>;

// A kernel object handle (a file, say); INVALID_HANDLE_VALUE counts as none.
class KernelHandle : public Owned<HANDLE, &CloseKernelHandle> {
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE h) : Owned(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
};

// A DC obtained with GetDC, released with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND w) : w_(w), dc_(Api(::GetDC(w))) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) Api(::ReleaseDC(w_, dc_));
    }
    HDC Get() const { return dc_; }

private:
    HWND w_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND w) : w_(w) { dc_ = Api(::BeginPaint(w, &ps_)); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { Api(::EndPaint(w_, &ps_)); }
    HDC Dc() const { return dc_; }

private:
    HWND w_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

// Selects an object into a DC for the scope's lifetime.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;
    ~SelectScope() {
        if (old_) ::SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace nl
