#include "common/replay/replay_trace.h"

#include <array>

#include "common/base/number_text.h"

namespace nl {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Longer than any row Notchlog writes by far; a longer "line" is not a trace.
constexpr std::size_t kLongestLine = 1 << 20;

using Fields = std::array<std::string_view, kWheelCsvColumns>;

std::string Quoted(std::string_view text) {
    const std::size_t shown = 40;
    std::string s = "\"";
    s.append(text.substr(0, shown));
    if (text.size() > shown) s += "...";
    return s + "\"";
}

std::string WhereText(std::uint32_t line, int column) {
    return "line " + DecText(line) + ", column " + DecText(column + 1) + " (" + WheelCsvColumnName(column) + ")";
}

// Decimal digits only; false when empty, too long or not digits.
bool Digits(std::string_view text, std::size_t maxDigits, std::uint64_t& value) {
    if (text.empty() || text.size() > maxDigits) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

bool HexDigits(std::string_view text, std::size_t maxDigits, std::uint32_t& value) {
    if (text.empty() || text.size() > maxDigits) return false;
    value = 0;
    for (char c : text) {
        const int d = c >= '0' && c <= '9' ? c - '0'
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (d < 0) return false;
        value = value << 4 | static_cast<std::uint32_t>(d);
    }
    return true;
}

// Milliseconds with up to three decimals, as microseconds.
bool Milliseconds(std::string_view text, std::int64_t& us) {
    const std::size_t dot = text.find('.');
    std::uint64_t whole = 0, fraction = 0;
    if (!Digits(text.substr(0, dot), 12, whole)) return false;
    std::size_t decimals = 0;
    if (dot != std::string_view::npos) {
        decimals = text.size() - dot - 1;
        if (!Digits(text.substr(dot + 1), 3, fraction)) return false;
    }
    for (; decimals < 3; ++decimals) fraction *= 10;
    us = static_cast<std::int64_t>(whole * 1000 + fraction);
    return true;
}

bool Delta(std::string_view text, std::int16_t& delta) {
    const bool negative = !text.empty() && text.front() == '-';
    std::uint64_t m = 0;
    if (!Digits(text.substr(negative ? 1 : 0), 5, m) || m > (negative ? 32768u : 32767u)) return false;
    delta = static_cast<std::int16_t>(negative ? -static_cast<std::int32_t>(m) : static_cast<std::int32_t>(m));
    return true;
}

// What one line says, as far as loading needs it.
struct ParsedRow {
    TraceRow row;
    Vantage vantage = Vantage::Main;
    bool lost = false;
};

// Splits and checks one row; empty on success, else the problem.
std::string ParseRow(std::string_view line, std::uint32_t lineNumber, ParsedRow& out) {
    Fields f;
    std::size_t n = 0;
    for (std::size_t start = 0;; ++n) {
        const std::size_t comma = line.find(',', start);
        if (n < f.size()) f[n] = line.substr(start, comma == std::string_view::npos ? comma : comma - start);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (++n != f.size())
        return "line " + DecText(lineNumber) + " has " + DecText(static_cast<std::int64_t>(n)) + " fields, not " +
               DecText(kWheelCsvColumns);
    auto bad = [&](int column, const char* what) { return WhereText(lineNumber, column) + ": " + Quoted(f[column]) + what; };
    TraceRow& r = out.row;
    r.line = lineNumber;
    if (!Digits(f[kColSeq], 15, r.seq)) return bad(kColSeq, " is not a sequence number");
    if (!Milliseconds(f[kColTimeMs], r.timeUs)) return bad(kColTimeMs, " is not a time in ms (up to three decimals)");
    const auto vantage = VantageFromName(f[kColWindow]);
    if (!vantage) return bad(kColWindow, " is not main, analysis, hook or raw");
    out.vantage = *vantage;
    out.lost = f[kColSource] == "lost";
    if (out.lost) return {};  // its delta is a count, its other fields empty
    if (f[kColAxis] != "V" && f[kColAxis] != "H") return bad(kColAxis, " is not V or H");
    r.axis = f[kColAxis] == "V" ? WheelAxis::V : WheelAxis::H;
    if (!Delta(f[kColDelta], r.delta)) return bad(kColDelta, " is not a whole number from -32768 to 32767");
    r.extraInfo = 0;
    if (!f[kColExtraInfo].empty() && !HexDigits(f[kColExtraInfo], 8, r.extraInfo))
        return bad(kColExtraInfo, " is not up to eight hex digits");
    std::uint32_t keys = 0;
    if (!HexDigits(f[kColKeys], 4, keys)) return bad(kColKeys, " is not up to four hex digits");
    r.keys = static_cast<std::uint16_t>(keys);
    r.keyMismatch = !f[kColKeyMismatch].empty();
    return {};
}

std::string RunText(int run) { return "run " + DecText(run); }

}  // namespace

std::optional<Vantage> VantageFromName(std::string_view name) {
    for (int w = 0; w < 4; ++w) {
        const std::string_view known = VantageName(static_cast<Vantage>(w));
        bool same = known.size() == name.size();
        for (std::size_t i = 0; same && i < name.size(); ++i)
            same = known[i] == (name[i] >= 'A' && name[i] <= 'Z' ? name[i] - 'A' + 'a' : name[i]);
        if (same) return static_cast<Vantage>(w);
    }
    return std::nullopt;
}


bool TraceScan::AddLine(std::string_view line) {
    ++lines_;
    if (lines_ == 1) {
        if (line.substr(0, kByteOrderMark.size()) == kByteOrderMark) line.remove_prefix(kByteOrderMark.size());
        if (line != kWheelCsvHeader) problem_ = "the first line is not Notchlog's wheel CSV header";
        return problem_.empty();
    }
    ParsedRow parsed;
    problem_ = ParseRow(line, lines_, parsed);
    if (!problem_.empty()) return false;
    if (runs_.empty() || parsed.row.seq <= lastSeq_) runs_.push_back(TraceRun{lines_, lines_, {}, {}, {}});
    lastSeq_ = parsed.row.seq;
    TraceRun& run = runs_.back();
    run.lastLine = lines_;
    const int v = static_cast<int>(parsed.vantage);
    if (!parsed.lost && run.rows[v] == 0) run.order.push_back(parsed.vantage);
    ++(parsed.lost ? run.lost : run.rows)[v];
    return true;
}

std::optional<TracePick> PickRows(const std::vector<TraceRun>& runs, const TraceChoice& choice,
                                  std::string& problem) {
    const int count = static_cast<int>(runs.size());
    if (count == 0) return problem = "the file holds no rows", std::nullopt;
    if (choice.run > count)
        return problem = "there is no " + RunText(choice.run) + ": the file holds " + DecText(count) +
                         (count == 1 ? " run" : " runs"),
               std::nullopt;
    TracePick pick;
    pick.runs = count;
    pick.run = choice.run > 0 ? choice.run : count;
    pick.where = runs[static_cast<std::size_t>(pick.run - 1)];
    std::optional<Vantage> vantage = choice.vantage;
    for (int w = 0; w < 4 && !vantage; ++w)
        if (pick.where.rows[w] > 0) vantage = static_cast<Vantage>(w);
    if (!vantage) return problem = RunText(pick.run) + " holds no rows to replay", std::nullopt;
    if (pick.where.rows[static_cast<int>(*vantage)] == 0)
        return problem = RunText(pick.run) + " holds no rows of window " + VantageName(*vantage), std::nullopt;
    pick.vantage = *vantage;
    return pick;
}

TraceCollector::TraceCollector(const TracePick& pick) : pick_(pick) {
    rows_.reserve(static_cast<std::size_t>(pick.where.rows[static_cast<int>(pick.vantage)]));
}

bool TraceCollector::AddLine(std::string_view line) {
    ++lines_;
    if (lines_ < pick_.where.firstLine || lines_ > pick_.where.lastLine) return true;
    ParsedRow parsed;
    problem_ = ParseRow(line, lines_, parsed);
    if (!problem_.empty()) return false;
    if (parsed.vantage != pick_.vantage || parsed.lost) return true;
    if (!rows_.empty() && parsed.row.timeUs < rows_.back().timeUs) {
        std::string now, before;
        AppendMs(now, parsed.row.timeUs), AppendMs(before, rows_.back().timeUs);
        problem_ = WhereText(lines_, kColTimeMs) + ": " + now + " is earlier than " + before + " on line " +
                   DecText(rows_.back().line) + " (time goes backwards)";
        return false;
    }
    rows_.push_back(parsed.row);
    return true;
}

TraceLoad LoadTrace(const ChunkSource& source, const TraceChoice& choice) {
    TraceLoad load;
    TraceScan scan;
    LineSplitter lines;
    bool any = false;
    source([&](std::string_view chunk) {
        any = any || !chunk.empty();
        bool ok = true;
        lines.Feed(chunk, [&](std::string_view line) { ok = ok && scan.AddLine(line); });
        if (ok && lines.Partial().size() > kLongestLine)
            load.problem = "line " + DecText(scan.Lines() + 1) + " is far too long for a row";
        return ok && load.problem.empty();
    });
    if (!load.problem.empty()) return load;
    if (!scan.Problem().empty()) return load.problem = scan.Problem(), load;
    if (!any) return load.problem = "the file is empty", load;
    if (scan.Lines() == 0) {  // the header alone, still without its line break
        TraceScan header;
        return load.problem = header.AddLine(lines.Partial()) ? "the file holds no rows" : header.Problem(), load;
    }
    load.partialLastLine = !lines.Partial().empty();
    const auto pick = PickRows(scan.Runs(), choice, load.problem);
    if (!pick) return load;
    load.pick = *pick;
    load.lostSkipped = pick->where.lost[static_cast<int>(pick->vantage)];

    TraceCollector collector(*pick);
    LineSplitter again;
    std::uint32_t seen = 0;
    source([&](std::string_view chunk) {
        bool ok = true;
        again.Feed(chunk, [&](std::string_view line) {
            if (ok && ++seen <= pick->where.lastLine) ok = collector.AddLine(line);
        });
        return ok && seen < pick->where.lastLine;
    });
    if (!collector.Problem().empty()) return load.problem = collector.Problem(), load;
    if (seen < pick->where.lastLine) return load.problem = "the file became shorter while it was read", load;
    load.rows = std::move(collector.Rows());
    return load;
}

}  // namespace nl
