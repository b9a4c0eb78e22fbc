// Notchlog's command line: `--log FILE` (or `/log FILE`) appends every
// logged line to FILE.
#pragma once

#include <string>
#include <vector>

namespace nl {

struct Options {
    std::wstring logPath;  // empty: no log file
    std::wstring problem;  // what could not be understood; empty when all was
};

Options ParseOptions(const std::vector<std::wstring>& args);

// What the program says about a problem with its arguments: the problem
// and the arguments it accepts.
std::wstring OptionsHelp(const std::wstring& problem);

}  // namespace nl
