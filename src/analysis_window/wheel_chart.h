// The strip chart of the analysis window: the last ten seconds of wheel
// events, each a stick from the zero line to its delta, vertical and
// horizontal in two colours, with lines at one notch either way and the
// bounces marked.
#pragma once

#include <windows.h>

#include "recording/wheel_recording.h"
#include "win32/window.h"

namespace nl {

class WheelChart final : public Window {
public:
    explicit WheelChart(const WheelRecording& recording) : recording_(recording) {}
    void Create(HWND parent, int id, const RECT& place, HINSTANCE instance);
    void Redraw();

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // Painting has nothing worth telling the user; the next paint tries again.
    void OnFailure(const Error*) noexcept override {}
    // The whole picture: for WM_PAINT and WM_PRINTCLIENT alike.
    void Draw(HDC dc, const RECT& area) const;

    const WheelRecording& recording_;
};

}  // namespace nl
