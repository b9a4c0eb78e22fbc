#include "common/command_line.h"

#include <cwctype>

namespace nl {

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool SameSwitch(const std::wstring& arg, const wchar_t* name) {
    std::wstring lower;
    for (wchar_t c : arg) lower.push_back(static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))));
    return lower == name;
}
}  // namespace

std::vector<std::wstring> SplitCommandLine(const std::wstring& line) {
    std::size_t i = 0;
    // The program's name: quotes group, backslashes are taken as they are.
    bool quoted = false;
    for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i)
        if (line[i] == L'"') quoted = !quoted;

    std::vector<std::wstring> args;
    for (;;) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i >= line.size()) return args;
        std::wstring arg;
        quoted = false;
        while (i < line.size() && (quoted || !IsBlank(line[i]))) {
            std::size_t slashes = 0;
            while (i < line.size() && line[i] == L'\\') ++slashes, ++i;
            if (i < line.size() && line[i] == L'"') {
                arg.append(slashes / 2, L'\\');
                if (slashes % 2) {
                    arg.push_back(L'"');
                } else if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
                    arg.push_back(L'"');  // "" inside quotes: a literal quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                arg.append(slashes, L'\\');
                if (i < line.size() && (quoted || !IsBlank(line[i]))) arg.push_back(line[i++]);
            }
        }
        args.push_back(arg);
    }
}

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
