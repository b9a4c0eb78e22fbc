#include "common/app/command_line.h"

#include <cwctype>

namespace nl {

namespace {
bool SameSwitch(const std::wstring& arg, const wchar_t* name) {
    std::wstring lower;
    for (wchar_t c : arg) lower.push_back(static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))));
    return lower == name;
}

// Decimal digits only, up to what a list can count.
bool ParseCount(const std::wstring& text, std::int32_t& count) {
    if (text.empty() || text.size() > 10) return false;
    std::int64_t n = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        n = n * 10 + (c - L'0');
    }
    if (n > 0x7FFFFFFF) return false;
    count = static_cast<std::int32_t>(n);
    return true;
}
// The wheel test's options, each with a value: true when args[i] is one
// of them (i then points at its value).
bool TakeWheelTestOption(const std::vector<std::wstring>& args, std::size_t& i, Options& options) {
    static const struct {
        const wchar_t* name;
        std::wstring Options::*value;
        const wchar_t* needs;
    } kOptions[] = {
        {L"test-target", &Options::testTarget, L" needs a window: 0xHEX, a decimal number, title:TEXT or class:NAME."},
        {L"test-report", &Options::testReport, L" needs a file name."},
        {L"test-delivery", &Options::testDelivery, L" needs injected or posted."},
        {L"test-picture", &Options::testPicture, L" needs a file name."},
        {L"test-settings", &Options::testSettings, L" needs settings: lines per notch, -1 or 1 to 100, at most 8, "
                                                   L"separated by commas."},
        {L"test-junit", &Options::testJunit, L" needs a file name."},
    };
    for (const auto& option : kOptions) {
        if (!SameSwitch(args[i], (std::wstring(L"--") + option.name).c_str()) &&
            !SameSwitch(args[i], (std::wstring(L"/") + option.name).c_str()))
            continue;
        if (i + 1 >= args.size() || args[i + 1].empty())
            options.problem = args[i] + option.needs;
        else
            options.*option.value = args[++i];
        return true;
    }
    return false;
}
}  // namespace

// Whether the arguments ask for a scripted run, and its report files: a
// problem before them stops the parse, but not the script.
void FindScript(const std::vector<std::wstring>& args, Options& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool test = SameSwitch(args[i], L"--test-report") || SameSwitch(args[i], L"/test-report") ||
                          SameSwitch(args[i], L"--test-junit") || SameSwitch(args[i], L"/test-junit");
        const bool replay = SameSwitch(args[i], L"--replay-report") || SameSwitch(args[i], L"/replay-report");
        if (!test && !replay) continue;
        options.scripted = true;
        const bool junit = SameSwitch(args[i], L"--test-junit") || SameSwitch(args[i], L"/test-junit");
        if (i + 1 < args.size() && !args[i + 1].empty())
            (junit ? options.testJunit : test ? options.testReport : options.replay.reportPath) = args[++i];
    }
}

// The problem as a scripted run's Result line gives it.
std::wstring ScriptProblem(const std::wstring& problem, const std::wstring& arg) {
    if (problem.rfind(L"Unknown argument: ", 0) == 0) return L"unknown option: " + arg;
    const std::size_t needs = problem.find(L" needs ");
    if (needs != std::wstring::npos) return problem.substr(0, needs) + L" needs a value";
    return problem;
}

Options ParseOptions(const std::vector<std::wstring>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size() && options.problem.empty(); ++i) {
        const std::size_t at = i;
        if (const std::size_t taken = TakeReplayOption(args, i, options.replay, options.problem)) {
            i += taken - 1;
            if (!options.problem.empty()) options.scriptProblem = ScriptProblem(options.problem, args[at]);
            continue;
        }
        if (SameSwitch(args[i], L"--log") || SameSwitch(args[i], L"/log")) {
            if (i + 1 >= args.size() || args[i + 1].empty())
                options.problem = args[i] + L" needs a file name.";
            else
                options.logPath = args[++i];
        } else if (SameSwitch(args[i], L"--wheel-csv") || SameSwitch(args[i], L"/wheel-csv")) {
            if (i + 1 >= args.size() || args[i + 1].empty())
                options.problem = args[i] + L" needs a file name.";
            else
                options.wheelCsvPath = args[++i];
        } else if (SameSwitch(args[i], L"--analysis") || SameSwitch(args[i], L"/analysis")) {
            options.analysis = true;
        } else if (SameSwitch(args[i], L"--capture-all") || SameSwitch(args[i], L"/capture-all")) {
            options.captureAll = true;
        } else if (SameSwitch(args[i], L"--wheel-test") || SameSwitch(args[i], L"/wheel-test")) {
            options.wheelTest = true;
        } else if (SameSwitch(args[i], L"--test-zoom") || SameSwitch(args[i], L"/test-zoom")) {
            options.testZoom = true;
        } else if (TakeWheelTestOption(args, i, options)) {
        } else if (SameSwitch(args[i], L"--max-lines") || SameSwitch(args[i], L"/max-lines")) {
            if (i + 1 >= args.size() || !ParseCount(args[i + 1], options.maxLines))
                options.problem = args[i] + L" needs a number of lines (0 for no limit).";
            else
                ++i;
        } else {
            options.problem = L"Unknown argument: " + args[i];
        }
        if (!options.problem.empty()) options.scriptProblem = ScriptProblem(options.problem, args[at]);
    }
    if (!options.problem.empty()) FindScript(args, options);
    else options.scripted = !options.testReport.empty() || !options.replay.reportPath.empty() || !options.testJunit.empty();
    // Only a scripted run draws its chart to a file.
    if (options.problem.empty() && !options.testPicture.empty() && !options.scripted)
        options.problem = L"--test-picture needs --test-report or --replay-report";
    return options;
}

std::wstring OptionsHelp(const std::wstring& problem) {
    return problem +
           L"\n\nNotchlog accepts:\n"
           L"--log FILE  (or /log FILE): appends every logged line to FILE.\n"
           L"--max-lines N  (or /max-lines N): keeps at most N lines in the message list, dropping the oldest "
           L"(default 5000000; 0: as many as the system allows).\n"
           L"--wheel-csv FILE  (or /wheel-csv FILE): appends every recorded wheel event to FILE as a CSV row.\n"
           L"--analysis  (or /analysis): opens the wheel analysis window at start.\n"
           L"--capture-all  (or /capture-all): records every wheel event on the desktop, not only Notchlog's.\n"
           L"--wheel-test  (or /wheel-test): opens the wheel test window at start.\n"
           L"--test-target WINDOW  (or /test-target WINDOW): chooses the wheel test's target: 0xHEX, a decimal number, "
           L"title:TEXT or class:NAME.\n"
           L"--test-delivery injected|posted  (or /test-delivery ...): how the wheel test delivers its input.\n"
           L"--test-report FILE  (or /test-report FILE): runs the wheel test at start-up without any window, writes "
           L"its report to FILE and exits.\n"
           L"--test-picture FILE.png  (or /test-picture FILE.png): with --test-report or --replay-report, also draws "
           L"the chart of the run to FILE.png (800 x 400 pixels).\n" +
           std::wstring(ReplayOptionsHelp()) + L"\n"
           L"Notchlog goes on without the arguments it did not understand.";
}

}  // namespace nl
