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

}  // namespace nl
