// Notchlog's command line: `--log FILE` (or `/log FILE`) appends every
// logged line to FILE; `--max-lines N` keeps at most N lines in the list;
// `--wheel-csv FILE` streams every recorded wheel event to FILE as a CSV row;
// `--analysis` opens the wheel analysis window at start; `--capture-all`
// turns on the capture of every wheel event on the desktop; `--wheel-test`
// opens the wheel test window; `--test-target WINDOW` chooses its target,
// `--test-delivery injected|posted` its delivery, and `--test-report FILE`
// runs the test at start-up without any window and writes its report;
// `--test-picture FILE.png` has a scripted run draw its chart there too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/message_log/log_limit.h"
#include "common/replay/replay_options.h"

namespace nl {

struct Options {
    std::wstring logPath;  // empty: no log file
    std::int32_t maxLines = kDefaultMaxLogLines;  // 0: no limit of the list's own
    std::wstring wheelCsvPath;  // empty: no CSV stream
    bool analysis = false;      // open the analysis window at start
    bool captureAll = false;    // capture every wheel event from the start
    bool wheelTest = false;     // open the wheel test window at start
    std::wstring testTarget;    // the wheel test's target, as given; empty: none
    std::wstring testReport;    // the scripted run's report file; empty: no scripted run
    std::wstring testDelivery;  // as given; empty: injected
    bool testZoom = false;      // the wheel test also grades zoom and pinch
    std::wstring testSettings;  // the lines-per-notch settings to try, as given; empty: none
    std::wstring testJunit;     // a scripted run's JUnit XML file; empty: none
    std::wstring testPicture;   // the scripted run's chart, a PNG file; empty: none
    ReplayOptions replay;       // --replay and the options that go with it
    std::wstring problem;  // what could not be understood; empty when all was
    // A run that writes a report (--test-report or --replay-report, even
    // without its file) is scripted: it shows nothing, and a problem with
    // the arguments becomes its Result line's reason ("unknown option:
    // TEXT", "--log needs a value").
    bool scripted = false;
    std::wstring scriptProblem;
};

Options ParseOptions(const std::vector<std::wstring>& args);

// What the program says about a problem with its arguments: the problem
// and the arguments it accepts.
std::wstring OptionsHelp(const std::wstring& problem);

}  // namespace nl
