// The wheel test's report (what Copy, Save and a scripted run write) and
// the exit code of a scripted run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/wheel_test/wheel_grader.h"

namespace nl {

// The report's head. Empty texts leave their lines out: a target that could
// not be found has no target line, one that could not be located no
// measured window, readings or test point.
struct WheelReportHead {
    std::string run = "wheel test";  // what ran: "wheel test" or "replay"
    std::string version;   // Notchlog's
    std::string dateTime;  // when the test started, "2026-12-07 20:15:03"
    std::string target;    // "0000A1B2 ListBox in "Title" (app.exe, process 1234)": TargetText
    std::string measured;  // the window at the test point: "0000A1B2 ListBox "Title" (process 1234)"
    ReadMethod verticalMethod = ReadMethod::Image, horizontalMethod = ReadMethod::Image;
    std::string delivery;  // "injected" or "posted"
    int testX = 0, testY = 0;
    int linesPerNotch = 0, charsPerNotch = 0;
    // Where settings were tried: the setting's stored text as found and as
    // put back ("(none)" where there was none).
    std::string settingFound, settingPutBack;
};

inline constexpr const char* kWheelResultHeader = "pattern,sent,sound,observed,method,verdict";

// The head, the result lines under their header (when the target was
// located), the findings, the notes and the Result line; CR LF after
// every line, the last one too.
// `extraNotes` follow the grader's notes.
std::string WheelReportText(const WheelReportHead& head, const WheelGrader& grader,
                            const std::vector<std::string>& extraNotes = {});

// A report (a wheel test's or a replay's) with the note that its picture
// could not be written, and why, as its last note: the line before the
// Result line. Unchanged when `reason` is empty.
std::string WithPictureNote(const std::string& report, const std::string& reason);

// The head's lines and the blank line after them.
std::string WheelReportHeadText(const WheelReportHead& head);

// The progress line: "Step 4 of 18: two-notch -240", "Turning around",
// "Going back".
std::string WheelProgressText(const WheelProgress& progress);

// A scripted run's exit code, the first that applies: 3 the report could not
// be written, 2 could not test, 1 a fault found, 4 a graded step unmeasured
// (inconclusive), 0 no fault.
int WheelTestExitCode(const WheelGrader& grader, bool reportWritten);

// What a scripted run or the window was asked from the command line,
// checked before any window is looked for; empty when it can go on, else
// the Result line's reason ("--test-report needs --test-target",
// "unknown delivery: TEXT").
std::string WheelRequestProblem(bool hasTarget, bool hasReport, const std::string& delivery);

// The settings `--test-settings` names ("1,3,10,-1": -1 or 1 to 100, at
// most 8); nullopt with `problem` naming what is wrong.
std::optional<std::vector<int>> ParseSettingsList(const std::string& text, std::string& problem);

}  // namespace nl
