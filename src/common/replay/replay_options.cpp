#include "common/replay/replay_options.h"

#include <cwchar>
#include <cwctype>

namespace nl {

namespace {

enum Valued { kRun, kWindow, kMaxGap, kSpeed, kFile, kReport, kTrace };

struct Switch {
    const wchar_t* name;  // without its -- or /
    Valued what;
    const wchar_t* missing;  // the start-up notice's words for a missing value
};
const Switch kSwitches[] = {
    {L"replay", kFile, L" needs a file name."},
    {L"replay-report", kReport, L" needs a file name."},
    {L"replay-trace", kTrace, L" needs a file name."},
    {L"replay-run", kRun, L" needs a run number."},
    {L"replay-window", kWindow, L" needs a window name."},
    {L"replay-max-gap", kMaxGap, L" needs a number of milliseconds."},
    {L"replay-speed", kSpeed, L" needs a speed."},
};

bool IsSwitch(const std::wstring& arg, const wchar_t* name) {
    std::size_t skip = arg.compare(0, 2, L"--") == 0 ? 2 : (arg.compare(0, 1, L"/") == 0 ? 1 : 0);
    if (skip == 0 || arg.size() - skip != std::wcslen(name)) return false;
    for (std::size_t k = 0; name[k] != 0; ++k)
        if (static_cast<wchar_t>(std::towlower(static_cast<wint_t>(arg[skip + k]))) != name[k]) return false;
    return true;
}

// The value for a message: printable ASCII kept, anything else as '?'.
std::string Shown(const std::wstring& text) {
    std::string s = "\"";
    for (wchar_t c : text) s.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
    return s + "\"";
}

// Digits with at most `decimals` places after a point, as a whole number
// of 10^-decimals; false for anything else or beyond `largest`.
bool Decimal(const std::wstring& text, int decimals, std::int64_t largest, std::int64_t& value) {
    const std::size_t dot = text.find(L'.');
    if (dot != std::wstring::npos && (decimals == 0 || text.size() - dot - 1 > static_cast<std::size_t>(decimals)))
        return false;
    std::int64_t v = 0;
    int places = 0, digits = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (k == dot) continue;
        if (text[k] < L'0' || text[k] > L'9') return false;
        v = v * 10 + (text[k] - L'0');
        places += dot != std::wstring::npos && k > dot ? 1 : 0;
        if (++digits > 15) return false;
    }
    for (; places < decimals; ++places) v *= 10;
    if (digits == 0 || v > largest) return false;
    value = v;
    return true;
}

// Takes a valid value into `r`; else the message about it.
std::string CheckValue(Valued what, const std::wstring& text, ReplayOptions& r) {
    std::int64_t v = 0;
    switch (what) {
        case kRun:
            if (!Decimal(text, 0, 0x7FFFFFFF, v) || v < 1)
                return "--replay-run must be a run number from 1, not " + Shown(text);
            r.choice.run = static_cast<int>(v);
            return {};
        case kWindow: {
            std::string name;
            for (wchar_t c : text) name.push_back(c < 0x80 ? static_cast<char>(c) : '?');
            r.choice.vantage = VantageFromName(name);
            if (!r.choice.vantage)
                return "unknown --replay-window name: " + Shown(text) + "; use main, analysis, hook or raw";
            return {};
        }
        case kMaxGap:
            if (!Decimal(text, 0, kLongestMaxGapMs, v))
                return "--replay-max-gap must be from 0 to 3600000 ms, not " + Shown(text);
            r.maxGapMs = v;
            return {};
        case kSpeed:
            if (!Decimal(text, 3, kFastestSpeedMilli, v) || v < kSlowestSpeedMilli)
                return "--replay-speed must be from 0.1 to 10, not " + Shown(text);
            r.speedMilli = static_cast<std::int32_t>(v);
            return {};
        default:
            return {};
    }
}

}  // namespace

std::string ReplayOptions::Problem() const {
    for (const std::string& p : badValue)
        if (!p.empty()) return p;
    return {};
}

std::size_t TakeReplayOption(const std::vector<std::wstring>& args, std::size_t i, ReplayOptions& replay,
                             std::wstring& startupProblem) {
    for (const Switch& s : kSwitches) {
        if (!IsSwitch(args[i], s.name)) continue;
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            startupProblem = args[i] + s.missing;
            return 1;
        }
        const std::wstring& value = args[i + 1];
        switch (s.what) {
            case kFile: replay.file = value; break;
            case kReport: replay.reportPath = value; break;
            case kTrace: replay.tracePath = value; break;
            default: replay.badValue[s.what] = CheckValue(s.what, value, replay);
        }
        return 2;
    }
    return 0;
}

std::string ReplayCombinationProblem(const ReplayOptions& replay, bool testTarget, bool testReport) {
    if (replay.file.empty()) {
        if (!replay.reportPath.empty()) return "--replay-report needs --replay";
        if (!replay.tracePath.empty()) return "--replay-trace needs --replay";
        return {};
    }
    if (testReport) return "--replay and --test-report cannot be combined: choose one";
    if (!testTarget) return "--replay needs --test-target";
    return {};
}

const wchar_t* ReplayOptionsHelp() {
    return L"--replay FILE --test-target WINDOW  (or /replay FILE): sends the wheel events a --wheel-csv file "
           L"recorded to the target, with their timing.\n"
           L"--replay-run N: the Nth run the file holds (default: the last); --replay-window "
           L"main|analysis|hook|raw: whose rows are sent.\n"
           L"--replay-max-gap MS: pauses longer than MS are cut to it (default 2000; 0 keeps them); "
           L"--replay-speed F: F times as fast (0.1 to 10).\n"
           L"--replay-report FILE2: replays without a window, writes the report and exits; "
           L"--replay-trace FILE3: a line per event sent.\n";
}

}  // namespace nl
