// Reading a wheel trace back from Notchlog's own CSV: the rows of one run
// and one vantage, ready to be sent again. The file is streamed twice
// (once to find its runs, once to take the chosen rows), so that only the
// chosen rows are ever held, however long the file is.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/wheel/wheel_csv.h"

namespace nl {

// Cuts bytes, given in chunks of any size, into lines ending in LF (a CR
// before the LF is dropped). What follows the last LF waits for more.
class LineSplitter {
public:
    template <typename OnLine>
    void Feed(std::string_view chunk, OnLine&& onLine) {
        while (!chunk.empty()) {
            const std::size_t lf = chunk.find('\n');
            if (lf == std::string_view::npos) {
                partial_.append(chunk);
                return;
            }
            std::string_view line = chunk.substr(0, lf);
            if (!partial_.empty()) line = (partial_.append(line), std::string_view(partial_));
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            onLine(line);
            partial_.clear();
            chunk.remove_prefix(lf + 1);
        }
    }
    // The text after the last line break: a line still being written.
    const std::string& Partial() const { return partial_; }

private:
    std::string partial_;
};

// One row to send again.
struct TraceRow {
    std::uint64_t seq = 0;
    std::int64_t timeUs = 0;  // time_ms in microseconds
    std::uint32_t extraInfo = 0;  // 0 where the row has none
    std::uint32_t line = 0;  // where it stands in the file, from 1 (the header)
    std::int16_t delta = 0;
    std::uint16_t keys = 0;
    WheelAxis axis = WheelAxis::V;
    bool keyMismatch = false;  // the message's Ctrl or Shift flag disagreed with the keyboard
};

// Which rows to send: the Nth run (from 1; 0 the last) and a vantage (the
// CSV's `window` column; none: the first of main, analysis, hook, raw that
// the run holds).
struct TraceChoice {
    int run = 0;
    std::optional<Vantage> vantage;
};

// One run of a file that several runs of Notchlog appended to: its lines
// and, per vantage, the rows it holds and the lost rows among them.
struct TraceRun {
    std::uint32_t firstLine = 0, lastLine = 0;
    std::uint64_t rows[4] = {};
    std::uint64_t lost[4] = {};
    // The vantages in the order the run first holds a row of each.
    std::vector<Vantage> order;
};

// The first pass: checks every line and finds the runs. Lines come without
// their line ends, the header first.
class TraceScan {
public:
    // False when the line is bad; Problem() then names the line and column.
    bool AddLine(std::string_view line);
    const std::string& Problem() const { return problem_; }
    std::uint32_t Lines() const { return lines_; }
    const std::vector<TraceRun>& Runs() const { return runs_; }

private:
    std::string problem_;
    std::uint32_t lines_ = 0;
    std::uint64_t lastSeq_ = 0;
    std::vector<TraceRun> runs_;
};

// The run and the vantage chosen, with where they lie in the file.
struct TracePick {
    int run = 1;  // from 1
    int runs = 1;
    Vantage vantage = Vantage::Main;
    TraceRun where;
};

// Applies a choice to the runs found; nullopt with `problem` set when the
// file holds no such run or no rows for the vantage.
std::optional<TracePick> PickRows(const std::vector<TraceRun>& runs, const TraceChoice& choice,
                                  std::string& problem);

// The second pass: takes the picked rows, in file order, and checks that
// their time never goes backwards.
class TraceCollector {
public:
    explicit TraceCollector(const TracePick& pick);
    bool AddLine(std::string_view line);  // every line again, the header first
    const std::string& Problem() const { return problem_; }
    std::vector<TraceRow>& Rows() { return rows_; }

private:
    TracePick pick_;
    std::string problem_;
    std::uint32_t lines_ = 0;
    std::vector<TraceRow> rows_;
};

// What loading gives: the rows, or the problem that stopped it.
struct TraceLoad {
    std::vector<TraceRow> rows;
    TracePick pick;
    std::uint64_t lostSkipped = 0;  // rows of the chosen run and vantage with source `lost`
    bool partialLastLine = false;   // a last line without a line break was left out
    std::string problem;            // empty when loaded
};

// Feeds the file's bytes to `consume` in chunks, from the start, until the
// end or until `consume` returns false; called once per pass. It may throw:
// loading then fails with the exception.
using ChunkSource = std::function<void(const std::function<bool(std::string_view)>& consume)>;

// Both passes over the bytes `source` gives. Lines added after the first
// pass (a file still being written) are left out of the second.
TraceLoad LoadTrace(const ChunkSource& source, const TraceChoice& choice);

// "main", "analysis", "hook", "raw" (any case); nullopt for anything else.
std::optional<Vantage> VantageFromName(std::string_view name);

}  // namespace nl
