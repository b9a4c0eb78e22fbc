// Owners for the platform's handles: each releases what it holds exactly once.
#pragma once

#include <windows.h>

#include <utility>

#include "controls/api.h"

namespace nl {

class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(HGDIOBJ h) : h_(h) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o) {
            Reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    ~GdiObject() { Reset(); }
    HGDIOBJ Get() const { return h_; }
    void Reset() {
        if (h_) ::DeleteObject(h_);
        h_ = nullptr;
    }

private:
    HGDIOBJ h_ = nullptr;
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

// A kernel object handle (a file, say), closed with CloseHandle.
class KernelHandle {
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    KernelHandle& operator=(KernelHandle&& o) noexcept {
        if (this != &o) {
            Reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    ~KernelHandle() { Reset(); }
    HANDLE Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void Reset() {
        if (h_) Api(::CloseHandle(h_));
        h_ = nullptr;
    }

private:
    HANDLE h_ = nullptr;
};

}  // namespace nl
