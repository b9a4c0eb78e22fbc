// Notchlog's command line: `--log FILE` (or `/log FILE`) appends every
// logged line to FILE.
#pragma once

#include <string>
#include <vector>

namespace nl {

// Splits a Windows command line into arguments the way the C runtime does:
// blanks separate, double quotes group, 2n backslashes before a quote give
// n backslashes and a quote that groups, 2n+1 give n backslashes and a
// literal quote. The program's own name, the first argument, is left out.
std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine);

struct Options {
    std::wstring logPath;  // empty: no log file
    std::wstring problem;  // what could not be understood; empty when all was
};

Options ParseOptions(const std::vector<std::wstring>& args);

// What the program says about a problem with its arguments: the problem
// and the arguments it accepts.
std::wstring OptionsHelp(const std::wstring& problem);

}  // namespace nl
