#include "common/replay/replay_report.h"

#include "common/base/number_text.h"
#include "common/wheel/wheel_handlers.h"

namespace nl {

namespace {

std::int64_t Magnitude(std::int64_t v) { return v < 0 ? -v : v; }

bool PagePerNotch(std::uint32_t step) { return static_cast<std::int32_t>(step) == kWheelPageStep; }

// "1 character", "76 lines", "0 items".
std::string Count(std::int64_t n, std::string unit) {
    if (n == 1 && unit.size() > 2 && unit.back() == 's') unit.pop_back();
    return DecText(n) + " " + unit;
}

// "76 lines down", "1 character right", "3 items up", "0 lines".
std::string Movement(std::int64_t v, const std::string& unit, WheelAxis axis) {
    std::string s = Count(Magnitude(v), unit);
    if (v != 0) s += axis == WheelAxis::V ? (v > 0 ? " down" : " up") : (v > 0 ? " right" : " left");
    return s;
}

// 1, 0.5, 2.25: thousandths without trailing zeros.
std::string SpeedText(std::int32_t milli) {
    std::string s = DecText(milli / 1000);
    if (const std::int32_t fraction = milli % 1000) {
        std::string digits = DecText(1000 + fraction).substr(1);
        while (digits.back() == '0') digits.pop_back();
        s += "." + digits;
    }
    return s;
}

// "41 analysis rows and 10 main rows": the run's rows per vantage, in the
// order the run first holds them.
std::string RowsOfRun(const TraceRun& run) {
    std::string out;
    for (std::size_t i = 0; i < run.order.size(); ++i) {
        if (i > 0) out += i + 1 == run.order.size() ? " and " : ", ";
        const auto v = static_cast<int>(run.order[i]);
        out += DecText(static_cast<std::int64_t>(run.rows[v])) + " " + VantageName(run.order[i]) +
               (run.rows[v] == 1 ? " row" : " rows");
    }
    return out;
}

// "3.2 s": tenths of a second, rounded half up.
std::string SecondsText(std::int64_t us) {
    const std::int64_t tenths = (us + 50000) / 100000;
    return DecText(tenths / 10) + "." + DecText(tenths % 10) + " s";
}

std::string UnitOf(ReadMethod method) { return MethodUnit(method); }
// The reading without its unit: "LB_GETTOPINDEX", "image".
std::string ReadingOf(ReadMethod method) {
    const std::string text = MethodText(method);
    return text.substr(0, text.find_last_of(' '));
}

// Whether the axis can be judged against a sound handler: events were sent,
// its unit counts lines and the setting is a number of lines.
bool Comparable(const ReplaySummary& s, WheelAxis axis) {
    const int i = axis == WheelAxis::V ? 0 : 1;
    return s.tally.Of(axis).events > 0 && CountsLines(s.reading[i].method) && !PagePerNotch(s.tally.Step(axis)) &&
           s.tally.Of(axis).moved.has_value();
}

// A sound handler moved sideways, there is something to scroll sideways,
// and the target did not move.
bool StayedSideways(const ReplaySummary& s) {
    const auto& h = s.tally.Of(WheelAxis::H);
    return h.events > 0 && s.horizontalBar && h.sound != 0 && h.moved == 0;
}

// The first axis that had events and whose end could not be read.
const ReplayTally::Axis* Unread(const ReplaySummary& s) {
    for (WheelAxis axis : {WheelAxis::V, WheelAxis::H})
        if (s.tally.Of(axis).events > 0 && !s.tally.Of(axis).moved) return &s.tally.Of(axis);
    return nullptr;
}

std::string UnreadText(const ReplayTally::Axis& a) {
    return "the target's position could not be read" + (a.unread.empty() ? std::string() : " (" + a.unread + ")");
}


// How far the target ended from a sound handler on the axes that can be
// judged; nullopt where none can.
std::optional<std::int64_t> EndGap(const ReplaySummary& s) {
    std::optional<std::int64_t> gap;
    for (WheelAxis axis : {WheelAxis::V, WheelAxis::H}) {
        if (!Comparable(s, axis)) continue;
        const auto& a = s.tally.Of(axis);
        const std::int64_t g = Magnitude(*a.moved - a.sound);
        if (!gap || g > *gap) gap = g;
    }
    return gap;
}

void AppendAxisLine(std::string& out, const ReplaySummary& s, WheelAxis axis) {
    const ReplayAxisCells c = AxisCells(s, axis);
    out += c.axis + ": " + Count(static_cast<std::int64_t>(s.tally.Of(axis).events), "events") + ", deltas adding up to " +
           c.notches + " notches; a sound handler scrolls " + c.sound + "; ";
    if (!s.tally.Of(axis).moved) out += "the target's position " + c.moved;
    else if (c.moved == "did not move sideways") out += "the target " + c.moved;
    else out += "the target moved " + c.moved;
    if (!c.largest.empty()) out += "; the largest difference along the way: " + c.largest;
    out += kCrLf;
}

}  // namespace

ReplayAxisCells AxisCells(const ReplaySummary& s, WheelAxis axis) {
    const ReplayTally::Axis& a = s.tally.Of(axis);
    const ReplayReading& reading = s.reading[axis == WheelAxis::V ? 0 : 1];
    const std::uint32_t step = s.tally.Step(axis);
    const bool vertical = axis == WheelAxis::V;
    ReplayAxisCells c;
    c.axis = vertical ? "Vertical" : "Horizontal";
    c.events = DecText(static_cast<std::int64_t>(a.events));
    AppendPer120(c.notches, a.deltaSum);
    if (PagePerNotch(step))
        c.sound = Movement(a.sound, "pages", axis) + " (a page per notch)";
    else
        c.sound = Movement(a.sound, vertical ? "lines" : "characters", axis) + " at " +
                  Count(step, vertical ? "lines" : "characters") + " per notch";
    if (!a.moved)
        c.moved = "could not be read" + (a.unread.empty() ? std::string() : " (" + a.unread + ")");
    else if (!vertical && StayedSideways(s))
        c.moved = "did not move sideways";
    else
        c.moved = Movement(*a.moved, UnitOf(reading.method), axis) + " (" + ReadingOf(reading.method) + ")" +
                  (s.stillMoving ? " (still moving)" : "");
    if (Comparable(s, axis) && a.largestGap) c.largest = Count(*a.largestGap, UnitOf(reading.method));
    return c;
}

std::int64_t SoundScroll(WheelAxis axis, std::int64_t deltaSum, std::uint32_t step) {
    const std::int64_t perNotch = PagePerNotch(step) ? 1 : static_cast<std::int64_t>(step);
    // Split so that sum × step cannot overflow: q and r share the sum's sign.
    const std::int64_t q = deltaSum / 120, r = deltaSum % 120;
    const std::int64_t lines = q * perNotch + r * perNotch / 120;
    return axis == WheelAxis::V ? -lines : lines;  // a negative delta scrolls down
}

void ReplayTally::Compare(Axis& a, std::int64_t moved) {
    const std::int64_t gap = Magnitude(moved - a.sound);
    if (!a.largestGap || gap > *a.largestGap) a.largestGap = gap;
}

void ReplayTally::Sent(WheelAxis axis, std::int16_t delta, std::optional<std::int64_t> moved) {
    Axis& a = axes_[Index(axis)];
    ++a.events;
    a.deltaSum += delta;
    a.sound = SoundScroll(axis, a.deltaSum, steps_[Index(axis)]);
    if (moved) Compare(a, *moved);
}

void ReplayTally::Ended(WheelAxis axis, std::optional<std::int64_t> moved, const std::string& unread) {
    Axis& a = axes_[Index(axis)];
    a.moved = moved;
    a.unread = moved ? std::string() : unread;
    if (moved) Compare(a, *moved);
}

namespace {
// Trace, Events, Timing, Lag, Readings: what the replay was.
std::vector<std::string> HeadLines(const ReplaySummary& s) {
    std::vector<std::string> out;
    out.push_back("Trace: run " + DecText(s.pick.run) + " of " + DecText(s.pick.runs) + ", window " +
                  VantageName(s.pick.vantage) + ", " + Count(static_cast<std::int64_t>(s.rows), "rows") + " over " +
                  SecondsText(s.lengthUs) + " (after gap cutting); the run holds " + RowsOfRun(s.pick.where));
    out.push_back("Events: " + DecText(static_cast<std::int64_t>(s.sent)) + " sent, " +
                  DecText(static_cast<std::int64_t>(s.lostSkipped)) + " skipped (rows with source lost)");
    std::string timing = "Timing: speed " + SpeedText(s.speedMilli);
    if (s.maxGapMs == 0) {
        timing += ", every gap kept";
    } else {
        timing += ", gaps longer than " + DecText(s.maxGapMs) + " ms cut to it: " +
                  Count(static_cast<std::int64_t>(s.gapsCut), "gaps") + ", ";
        AppendMs(timing, s.removedUs / 1000);  // seconds with three decimals
        timing += " s removed";
    }
    out.push_back(timing);
    if (s.lagMs)
        out.push_back("Lag: the target came to rest " + DecText(*s.lagMs) + " ms after the last event was sent.");
    else if (s.stillMoving)
        out.push_back("Lag: the target was still moving " + DecText(s.waitedMs / 1000) + " s after the last event was sent" +
                      (s.waitStopped ? " (the wait was stopped)." : "."));
    if (s.sent > 0)
        out.push_back("Readings: positions read after " + DecText(static_cast<std::int64_t>(s.readings)) + " of " +
                      DecText(static_cast<std::int64_t>(s.sent)) + " events.");
    return out;
}

std::vector<std::string> NoteLines(const ReplaySummary& s) {
    std::vector<std::string> out;
    if (s.partialLastLine)
        out.push_back("Note: the file's last line has no line break (the file may still be being written); it was left "
                      "out.");
    if (s.posted && s.extraInfoRows > 0)
        out.push_back("Note: a posted message cannot carry extra information: it was left out of " +
                      Count(static_cast<std::int64_t>(s.extraInfoRows), "rows") + ".");
    if (!s.posted && s.mismatchRows > 0)
        out.push_back("Note: " + Count(static_cast<std::int64_t>(s.mismatchRows), "rows") +
                      " carried Ctrl or Shift in the message but not on the keyboard (as a touchpad pinch does); "
                      "injected input presses the keys, so only posted delivery reproduces that.");
    return out;
}
}  // namespace

std::vector<std::string> ReplayOtherLines(const ReplaySummary& s) {
    if (s.rows == 0) return {};
    std::vector<std::string> out = HeadLines(s);
    for (auto& note : NoteLines(s)) out.push_back(std::move(note));
    return out;
}

std::string ReplayReportLines(const ReplaySummary& s) {
    if (s.rows == 0) return ReplayResultText(s) + kCrLf;  // nothing was loaded: the reason is all there is to say
    std::string out;
    for (const auto& line : HeadLines(s)) out += line + kCrLf;
    for (WheelAxis axis : {WheelAxis::V, WheelAxis::H})
        if (s.tally.Of(axis).events > 0) AppendAxisLine(out, s, axis);
    for (const auto& line : NoteLines(s)) out += line + kCrLf;
    return out + ReplayResultText(s) + kCrLf;
}

std::string ReplayPlanText(const std::string& fileName, const TracePick& pick, std::uint64_t rows, std::int64_t lengthUs) {
    return fileName + ": " + Count(pick.runs, "runs") + "; run " + DecText(pick.run) + ": " + RowsOfRun(pick.where) +
           "; sending the " + Count(static_cast<std::int64_t>(rows), std::string(VantageName(pick.vantage)) + " rows") +
           " over " + SecondsText(lengthUs) + " (after gap cutting).";
}

std::string ReplayResultText(const ReplaySummary& s) {
    if (s.rows == 0) return "Result: could not replay (" + (s.problem.empty() ? std::string("no rows") : s.problem) + ")";
    if (!s.problem.empty()) return "Result: could not replay (" + s.problem + ")";
    std::string out = "Result: replayed " + Count(static_cast<std::int64_t>(s.sent), "events");
    if (const ReplayTally::Axis* unread = Unread(s)) return out + ", but " + UnreadText(*unread);
    if (const auto gap = EndGap(s))
        out += *gap <= 1 ? std::string(", the target ended within one line of a sound handler")
                         : ", the target ended " + DecText(*gap) + " lines from a sound handler";
    if (StayedSideways(s)) out += ", and did not move sideways";
    if (s.stillMoving) out += " (still moving)";
    return out;
}

int ReplayExitCode(const ReplaySummary& s) {
    if (!s.problem.empty()) return 2;
    if (s.stillMoving) return 4;
    const auto gap = EndGap(s);
    if ((gap && *gap > 1) || StayedSideways(s)) return 1;
    return Unread(s) ? 4 : 0;
}

std::string ReplayProgressText(const ReplayProgress& p) {
    switch (p.phase) {
        case ReplayProgress::Phase::Reading: return "Reading the trace";
        case ReplayProgress::Phase::Waiting: return "Waiting for the target to come to rest";
        case ReplayProgress::Phase::Sending: break;
    }
    const std::int64_t elapsed = p.elapsedMs / 1000, length = (p.lengthUs / 1000 + 999) / 1000;
    const auto clock = [](std::int64_t sec) {
        const std::string mm = DecText(100 + sec / 60 % 60).substr(1), ss = DecText(100 + sec % 60).substr(1);
        return DecText(sec / 3600) + ":" + mm + ":" + ss;
    };
    std::string out = "Replaying: " + DecText(static_cast<std::int64_t>(p.sent)) + " of " +
                      DecText(static_cast<std::int64_t>(p.events)) + " events sent, ";
    if (length >= 3600) return out + clock(elapsed) + " of " + clock(length);
    return out + DecText(elapsed) + " of " + DecText(length) + " s";
}

std::string ReplayTraceHeader() { return std::string("seq,scheduled_ms,sent_ms,axis,delta,position") + kCrLf; }

void AppendReplayTraceLine(std::string& out, std::uint64_t seq, std::int64_t scheduledUs, std::int64_t sentUs,
                           WheelAxis axis, std::int16_t delta, std::optional<std::int64_t> position) {
    AppendDec(out, static_cast<std::int64_t>(seq));
    out.push_back(',');
    AppendMs(out, scheduledUs);
    out.push_back(',');
    AppendMs(out, sentUs);
    out += axis == WheelAxis::V ? ",V," : ",H,";
    AppendDec(out, delta);
    out.push_back(',');
    if (position) AppendDec(out, *position);
    out += kCrLf;
}

}  // namespace nl
