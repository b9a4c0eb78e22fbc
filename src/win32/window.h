// The way every window of the program is tied to its object: the object is
// the window's create parameter, kept in GWLP_USERDATA from WM_NCCREATE to
// WM_NCDESTROY, and each message reaches the object's OnMessage inside the
// program's one error boundary.
#pragma once

#include <windows.h>

#include "common/base/error.h"

namespace nl {

// A message sent to one of the program's own windows or controls.
LRESULT SendTo(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0);

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return hWnd_; }

    // Registers a class whose windows are served by objects of this kind;
    // `base` gives the rest (icon, cursor, brush, style, extra bytes).
    static bool RegisterWindowClass(HINSTANCE instance, const char* className, WNDCLASSA base = {});

protected:
    // Creates the window with this object as its create parameter.
    HWND CreateAs(DWORD exStyle, const char* className, const char* caption, DWORD style, const RECT& place,
                  HWND parent, HMENU menuOrId, HINSTANCE instance);

    // A top-level window of the program's own beside the main window: the
    // program's icon, the button face behind its controls, Tab between
    // them, at the default place and `at96` in size (pixels at 96 dpi,
    // scaled to `dpi`). Raises with `failure` when it cannot be made.
    void CreateToolWindow(HINSTANCE instance, const char* className, const char* caption, SIZE at96, int dpi,
                          const char* failure);

    // The object's own handling; what it does not handle goes to Default.
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);
    // A failure that reached the window procedure; never throws.
    virtual void OnFailure(const Error* error) noexcept;

private:
    static LRESULT CALLBACK Procedure(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    HWND hWnd_ = nullptr;
};

}  // namespace nl
