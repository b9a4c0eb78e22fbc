// What a wheel test and a replay both do with the window under test: the
// command line's choice of it, the report's head with the wheel settings,
// placing it (in front, its test point and measured window), settling a
// reading, Esc, and a scripted run's end (the report file, the Result line
// on standard output, a failure to write on standard error).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/app/command_line.h"
#include "common/chart/run_chart.h"
#include "common/wheel_test/junit.h"
#include "common/wheel_test/wheel_report.h"
#include "tested_window/tested_window.h"

namespace nl {

// The report's head as a run begins: Notchlog's version, the date and time,
// the run ("wheel test" or "replay").
WheelReportHead NewHead(const char* run);
// The same with the target, the delivery and the wheel settings read now,
// the way the main window reads them at start-up.
WheelReportHead BeginReportHead(HWND target, Delivery how, const char* run);
// Brings the target's top-level window to the front for injected input,
// then finds the test point and the measured window; empty or the reason.
std::string PlaceTarget(HWND target, Delivery how, TestPlace& place);
// The head's lines about the measured window, the readings and the test point.
void DescribePlace(WheelReportHead& head, const TestPlace& place, ReadMethod vertical, ReadMethod horizontal);
// Esc, held now or pressed since the last look.
bool EscPressed();
// Settles a reading after a step; an image is settled twice, as a window's
// picture reaches the screen a little after it handled the messages.
PositionReader::Settled SettleStep(PositionReader& reader, int pollMs);
// The text in the ANSI code page, as window titles and classes are read.
std::string Ansi(const std::wstring& text);

// What the command line chose: the target (null with `problem` set when
// none could be chosen) and the delivery.
struct WheelTestChoice {
    HWND target = nullptr;
    Delivery delivery = Delivery::Injected;
    std::vector<int> settings;  // --test-settings
    bool zoom = false;          // --test-zoom
    std::string problem;  // the Result line's reason
};
WheelTestChoice ChooseFromCommandLine(const Options& options);

// A scripted run's end: writes `report` to `path` (replacing it, written
// beside it first; an empty path writes nothing), and the Result line to
// standard output when that is a file or a pipe; when the report cannot be
// written, says why on standard error. True when the report was written.
// `--test-picture`: the run's chart drawn to `path` as an 800 x 400 PNG file.
// Returns the report, with a note as its last when the picture could not
// be written; unchanged when none was asked for.
std::string WithPicture(const std::wstring& path, const RunChart& chart, const std::string& report);

bool FinishScriptedRun(const std::wstring& path, const std::string& report, const std::string& resultLine);

// `--test-junit FILE.xml`: the run's results as JUnit XML in UTF-8 (an empty
// path writes nothing). False when it could not be written, which standard
// error then says.
bool WriteJunit(const std::wstring& path, const WheelReportHead& head, const char* classname,
                const std::vector<JunitCase>& cases, const std::string& report);

}  // namespace nl
