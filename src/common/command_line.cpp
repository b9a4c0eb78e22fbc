#include "common/command_line.h"

#include <cwctype>

namespace nl {

namespace {
bool SameSwitch(const std::wstring& arg, const wchar_t* name) {
    std::wstring lower;
    for (wchar_t c : arg) lower.push_back(static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))));
    return lower == name;
}
}  // namespace

Options ParseOptions(const std::vector<std::wstring>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size() && options.problem.empty(); ++i) {
        if (SameSwitch(args[i], L"--log") || SameSwitch(args[i], L"/log")) {
            if (i + 1 >= args.size() || args[i + 1].empty())
                options.problem = args[i] + L" needs a file name.";
            else
                options.logPath = args[++i];
        } else {
            options.problem = L"Unknown argument: " + args[i];
        }
    }
    return options;
}

std::wstring OptionsHelp(const std::wstring& problem) {
    return problem +
           L"\n\nNotchlog accepts:\n"
           L"--log FILE  (or /log FILE): appends every logged line to FILE.\n\n"
           L"Notchlog goes on without the arguments it did not understand.";
}

}  // namespace nl
