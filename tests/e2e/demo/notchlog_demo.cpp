// notchlog_demo.exe OUT.bmp
//
// Starts Notchlog, lets it come up, saves a picture of its window as a
// 24-bit BMP, prints every line of its message log to stdout, closes it and
// waits for it to end. Meant for a display nobody looks at (Xvfb): the
// picture and the printed log show what the program did.
//
// The demo is a list of steps run in order; to show more, add a step.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <exception>
#include <string>

#include "driver/driver.h"

namespace {

using nle2e::Notchlog;

struct Demo {
    Notchlog& app;
    std::wstring bmpPath;
};

void Say(const char* text) { std::fprintf(stderr, "notchlog_demo: %s\n", text); }

// Prints one text as a line of stdout (UTF-8, LF).
void PrintLine(const std::wstring& text) {
    const std::string s = nle2e::Narrow(text);
    std::fwrite(s.data(), 1, s.size(), stdout);
    std::fputc('\n', stdout);
}

// The green target area shows its colour once the window has been painted.
void WaitForFirstPaint(Demo& d) {
    const HWND picture1 = d.app.Control(nle2e::kPicture1);
    const bool painted = nle2e::WaitUntil([&] {
        const POINT c = nle2e::CentreOf(picture1);
        return nle2e::ScreenPixel(c.x, c.y) == RGB(0x80, 0xFF, 0x80);
    });
    if (!painted) Say("the green area never showed on the screen; capturing what is there");
}

void CaptureWindow(Demo& d) {
    RECT r{};
    if (!::GetWindowRect(d.app.Main(), &r)) nle2e::ThrowLastError("GetWindowRect(main window)");
    nle2e::SaveScreenBmp(r, d.bmpPath);
}

void PrintMessageLog(Demo& d) {
    for (const auto& line : nle2e::ListLines(d.app.Log())) PrintLine(line);
}

struct Step {
    const char* name;
    void (*run)(Demo&);
};

const Step kSteps[] = {
    {"wait for the first paint", WaitForFirstPaint},
    {"capture the window", CaptureWindow},
    {"print the message log", PrintMessageLog},
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // LF line ends, as written
    if (argc != 2) {
        std::fprintf(stderr, "usage: notchlog_demo.exe OUT.bmp\n");
        return 2;
    }
    try {
        Notchlog app = Notchlog::Launch();
        Demo demo{app, nle2e::WindowsPath(argv[1])};
        for (const Step& step : kSteps) {
            try {
                step.run(demo);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "notchlog_demo: step \"%s\" failed: %s\n", step.name, e.what());
                return 1;
            }
        }
        std::fflush(stdout);
        const DWORD code = app.Close();
        if (code != 0) {
            std::fprintf(stderr, "notchlog_demo: Notchlog.exe ended with exit code %lu\n",
                         static_cast<unsigned long>(code));
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "notchlog_demo: %s\n", e.what());
        return 1;
    }
}
