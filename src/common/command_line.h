// Notchlog's command line: `--log FILE` (or `/log FILE`) appends every
// logged line to FILE; `--max-lines N` keeps at most N lines in the list;
// `--wheel-csv FILE` streams every recorded wheel event to FILE as a CSV row;
// `--analysis` opens the wheel analysis window at start; `--capture-all`
// turns on the capture of every wheel event on the desktop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/log_limit.h"
#include "common/replay_options.h"

namespace nl {

struct Options {
    std::wstring logPath;  // empty: no log file
    std::int32_t maxLines = kDefaultMaxLogLines;  // 0: no limit of the list's own
    std::wstring wheelCsvPath;  // empty: no CSV stream
    bool analysis = false;      // open the analysis window at start
    bool captureAll = false;    // capture every wheel event from the start
    ReplayOptions replay;       // --replay and the options that go with it
    std::wstring problem;  // what could not be understood; empty when all was
};

Options ParseOptions(const std::vector<std::wstring>& args);

// What the program says about a problem with its arguments: the problem
// and the arguments it accepts.
std::wstring OptionsHelp(const std::wstring& problem);

}  // namespace nl
