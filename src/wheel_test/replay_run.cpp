#include "wheel_test/replay_run.h"

#include <utility>

#include "common/base/error_boundary.h"
#include "common/replay/replay_schedule.h"
#include "common/wheel_test/window_form.h"
#include "common/wheel/wheel_handlers.h"
#include "wheel_test/replay_rest.h"
#include "wheel_test/replay_watcher.h"
#include "wheel_test/session.h"
#include "win32/paced_sender.h"
#include "win32/trace_file.h"

namespace nl {

namespace {

constexpr std::size_t kTraceFlushBytes = 64 * 1024;
constexpr DWORD kProgressEveryMs = 250;

// What the sender's thread works with while the run lasts. It only sends:
// the watcher reads and checks on a thread of its own, so the sender keeps
// to the schedule however slowly the target takes its input.
struct Run {
    const std::vector<TraceRow>& rows;
    const ReplaySchedule& schedule;
    const TracePick& pick;
    Delivery how;
    HWND target;
    WheelDelivery& delivery;
    const std::atomic<bool>& stop;
    std::atomic<std::size_t> sent{0};
    std::atomic<std::int64_t> lastSentUs{0};  // ClockUs when the last event sent went
    std::optional<ReplayWatcher> watcher;
    std::string problem;

    // Ctrl and Shift as the replay holds them at some time (injected only).
    // The watcher checks on its own thread while the sender may already
    // press the next row's keys, so it allows every key the run holds.
    std::uint16_t KeysTheRunHolds() const {
        std::uint16_t keys = 0;
        if (how == Delivery::Injected)
            for (const TraceRow& row : rows) keys |= row.keys & (MK_CONTROL | MK_SHIFT);
        return keys;
    }
    std::uint16_t heldKeys = 0;  // KeysTheRunHolds, taken before the first row

    // Sends row i at its due time; false ends the run.
    bool Deliver(std::size_t i) {
        const TraceRow& row = rows[i];
        if (stop || EscPressed()) return Fail("stopped");
        if (watcher->Failed()) return Fail(watcher->Problem());
        const bool ctrl = (row.keys & MK_CONTROL) != 0, shift = (row.keys & MK_SHIFT) != 0;
        if (how == Delivery::Injected) delivery.HoldKeys(ctrl, shift);
        if (!::IsWindow(target)) return Fail("the target was closed");
        const bool horizontal = row.axis == WheelAxis::H;
        if (std::string refused = delivery.Send(horizontal, row.delta, 1, row.keys, row.extraInfo); !refused.empty())
            return Fail("the system refused the input: " + refused);
        lastSentUs = ClockUs();
        ++sent;
        if (ReadsPositionAfter(schedule, i)) {
            if (i + 1 == rows.size()) watcher->Drain();  // nothing is left to delay: the last is always read
            watcher->Offer(i, horizontal, heldKeys);
        }
        return true;
    }

    bool Fail(std::string why) {
        problem = std::move(why);
        return false;
    }
};

std::uint32_t StepOf(int perNotch) {
    return perNotch < 0 ? static_cast<std::uint32_t>(kWheelPageStep) : static_cast<std::uint32_t>(perNotch);
}

ReplaySummary NewSummary(const WheelReportHead& head, const ReplayOptions& options, Delivery how) {
    ReplaySummary s;
    s.maxGapMs = options.maxGapMs;
    s.speedMilli = options.speedMilli;
    s.posted = how == Delivery::Posted;
    s.tally = ReplayTally(StepOf(head.linesPerNotch), StepOf(head.charsPerNotch));
    return s;
}

// Loads the trace into `rows` and fills in what the report says of it;
// false with the summary's problem set when nothing can be sent.
bool Load(const ReplayOptions& options, std::vector<TraceRow>& rows, ReplaySummary& s) {
    if (std::string problem = options.Problem(); !problem.empty()) {
        s.problem = problem;
        return false;
    }
    TraceLoad load = LoadTraceFile(options.file, options.choice);
    if (!load.problem.empty()) {
        s.problem = load.problem;
        return false;
    }
    rows = std::move(load.rows);
    s.pick = load.pick;
    s.rows = rows.size();
    s.lostSkipped = load.lostSkipped;
    s.partialLastLine = load.partialLastLine;
    for (const TraceRow& row : rows) {
        s.extraInfoRows += row.extraInfo != 0 ? 1 : 0;
        s.mismatchRows += row.keyMismatch ? 1 : 0;
    }
    return true;
}

// Sends every row on the paced sender's thread and waits for its end,
// passing the progress on and stopping it in a long gap once Esc is pressed
// or a check failed.
void Send(Run& run, const std::function<void(const ReplayProgress&)>& progress, std::vector<std::int64_t>& sentUs) {
    PacedSender sender;
    ReplayProgress now;
    now.phase = ReplayProgress::Phase::Sending;
    now.events = run.rows.size();
    now.lengthUs = run.schedule.dueUs.empty() ? 0 : run.schedule.dueUs.back();
    now.pick = run.pick;
    const std::int64_t startUs = ClockUs();
    if (!sender.Start(run.schedule.dueUs, [&run](std::size_t i, std::int64_t) { return run.Deliver(i); })) {
        run.problem = "the replay's thread could not be started";
        return;
    }
    progress(now);  // what is sent, at once
    while (!sender.Wait(kProgressEveryMs)) {
        now.sent = run.sent.load();
        now.elapsedMs = std::min<std::int64_t>((ClockUs() - startUs) / 1000, now.lengthUs / 1000);
        progress(now);
        if (run.stop || EscPressed() || run.watcher->Failed()) sender.Stop();
    }
    sender.Wait();
    run.watcher->Drain();
    if (run.problem.empty() && sender.WasStopped())
        run.problem = run.watcher->Failed() ? run.watcher->Problem() : "stopped";
    if (run.problem.empty() && !sender.Failure().empty())
        run.problem = "the replay failed inside Notchlog: " + sender.Failure();
    sentUs = sender.SentUs();
}

// What was sent and read, into the tally and the trace file.
void Account(const Run& run, const std::vector<std::int64_t>& sentUs, const std::optional<std::int32_t> bases[2],
             const std::optional<std::int32_t> rest[2], ReplaySummary& s, TraceFileWriter& trace) {
    const std::vector<std::optional<std::int32_t>>& read = run.watcher->Positions();  // along the way
    std::vector<std::optional<std::int32_t>> positions = read;
    // Each axis's last event: where the target came to rest after it.
    for (int axis = 0; axis < 2; ++axis) {
        if (!rest[axis]) continue;
        for (std::size_t i = run.sent; i-- > 0;)
            if ((run.rows[i].axis == WheelAxis::V) == (axis == 0)) {
                positions[i] = rest[axis];
                break;
            }
    }
    for (const auto& p : positions) s.readings += p ? 1 : 0;
    for (std::size_t i = 0; i < run.sent; ++i) {
        const TraceRow& row = run.rows[i];
        const int axis = row.axis == WheelAxis::V ? 0 : 1;
        std::optional<std::int64_t> moved;
        if (positions[i] && bases[axis]) moved = static_cast<std::int64_t>(*positions[i]) - *bases[axis];
        s.tally.Sent(row.axis, row.delta, moved);
        s.points.push_back(ReplayPoint{i < sentUs.size() ? sentUs[i] : 0, row.axis, s.tally.Of(row.axis).sound,
                                       read[i] && bases[axis] ? std::optional<std::int64_t>(*read[i] - *bases[axis])
                                                              : std::nullopt});
        if (!trace.Active()) continue;
        AppendReplayTraceLine(trace.Buffer(), row.seq, run.schedule.dueUs[i], i < sentUs.size() ? sentUs[i] : 0,
                              row.axis, row.delta,
                              positions[i] ? std::optional<std::int64_t>(*positions[i]) : std::nullopt);
        trace.Flush(kTraceFlushBytes);
    }
}

}  // namespace

ReplayResult RunReplay(HWND target, Delivery how, const ReplayOptions& options, const std::atomic<bool>& stop,
                       const std::function<void(const ReplayProgress&)>& progress) {
    ReplayResult result;
    result.head = BeginReportHead(target, how, "replay");
    ReplaySummary& s = result.summary;
    s = NewSummary(result.head, options, how);
    EscPressed();  // forget a press from before the start

    progress(ReplayProgress{});
    std::vector<TraceRow> rows;
    if (!Load(options, rows, s)) return result;
    const ReplaySchedule schedule = MakeSchedule(rows, options.maxGapMs, options.speedMilli);
    s.gapsCut = schedule.gapsCut;
    s.removedUs = schedule.removedUs;
    s.lengthUs = schedule.dueUs.empty() ? 0 : schedule.dueUs.back();

    TestPlace place;
    if (std::string problem = PlaceTarget(target, how, place); !problem.empty()) {
        s.problem = problem;
        return result;
    }
    PositionReader vertical(place, false), horizontal(place, true);
    DescribePlace(result.head, place, vertical.Method(), horizontal.Method());
    s.reading[0] = ReplayReading{vertical.Method()};
    s.reading[1] = ReplayReading{horizontal.Method()};
    s.horizontalBar = HasHorizontalBar(place.measured);

    TraceFileWriter trace;
    if (std::string problem = trace.Open(options.tracePath); !problem.empty()) {
        s.problem = problem;
        return result;
    }
    WheelDelivery delivery(how, place);  // releases the keys and puts the pointer back however it ends
    if (std::string problem = delivery.Begin(); !problem.empty()) {
        s.problem = problem;
        return result;
    }
    vertical.Mark();
    horizontal.Mark();
    PositionReader* readers[2] = {&vertical, &horizontal};
    const std::optional<std::int32_t> bases[2] = {vertical.ReadNow(), horizontal.ReadNow()};
    Run run{rows, schedule, s.pick, how, place.target, delivery, stop, {}, {}, {}, {}};
    run.watcher.emplace(place, how, readers, run.sent, rows.size());
    run.heldKeys = run.KeysTheRunHolds();
    std::vector<std::int64_t> sentUs;
    if (std::string problem = CheckTestedWindow(place, how); !problem.empty()) run.problem = problem;
    else Send(run, progress, sentUs);
    delivery.End();
    s.sent = run.sent;
    s.problem = run.problem;
    std::optional<std::int32_t> rest[2];
    std::string unread;
    if (s.problem.empty()) {
        ReplayProgress waiting;
        waiting.phase = ReplayProgress::Phase::Waiting;
        waiting.sent = waiting.events = s.sent;
        progress(waiting);
        bool axes[2] = {false, false};
        for (std::size_t i = 0; i < s.sent; ++i) axes[rows[i].axis == WheelAxis::V ? 0 : 1] = true;
        unread = WaitForRest(place.target, readers, axes, run.lastSentUs, stop, s, rest);
    }
    Account(run, sentUs, bases, rest, s, trace);
    trace.Flush();
    if (s.problem.empty()) ReadWhereEnded(readers, bases, rest, unread, s);
    if (s.problem.empty() && !sentUs.empty()) {
        const std::int64_t endUs = sentUs.back() + 1000 * (s.lagMs ? *s.lagMs : s.waitedMs);
        for (WheelAxis axis : {WheelAxis::V, WheelAxis::H})
            if (s.tally.Of(axis).events > 0)
                s.rest[axis == WheelAxis::V ? 0 : 1] =
                    ReplayPoint{endUs, axis, s.tally.Of(axis).sound, s.tally.Of(axis).moved};
    }
    return result;
}

ReplayResult UnreplayedResult(const std::string& target, const std::string& reason) {
    ReplayResult result;
    result.head = NewHead("replay");
    result.head.target = target;
    result.summary.problem = reason;
    return result;
}

int RunScriptedReplay(const Options& options) {
    ReplayResult result;
    const std::wstring reportPath = options.replay.reportPath.empty() ? options.testReport : options.replay.reportPath;
    std::string problem = Ansi(options.scriptProblem);
    if (problem.empty())
        problem = ReplayCombinationProblem(options.replay, !options.testTarget.empty(), !options.testReport.empty());
    WheelTestChoice choice;
    if (problem.empty()) problem = options.replay.Problem();
    if (problem.empty()) {
        choice = ChooseFromCommandLine(options);
        problem = choice.problem;
    }
    if (!problem.empty() || !choice.target) {
        result = UnreplayedResult(std::string(), problem);
    } else {
        const std::atomic<bool> never{false};
        result = RunReplay(choice.target, choice.delivery, options.replay, never, [](const ReplayProgress&) {});
    }
    const std::string report = WithPicture(options.testPicture, ReplayChart(result.summary), result.Report());
    const bool written = FinishScriptedRun(reportPath, report, ReplayResultText(result.summary));
    const bool junit = WriteJunit(options.testJunit, result.head, "notchlog.replay", ReplayCases(result.summary), report);
    if (reportPath.empty()) return 2;  // a report option without its file: nothing to write to
    return written && junit ? ReplayExitCode(result.summary) : 3;
}

// ---- on a thread of its own ------------------------------------------------

void ReplayThread::Start(HWND target, Delivery delivery, const ReplayOptions& options, HWND notify, UINT notifyMsg) {
    RunThread::Start([target, delivery, options](const std::atomic<bool>& stop,
                                                 const std::function<void(const ReplayProgress&)>& progress) {
        return RunReplay(target, delivery, options, stop, progress);
    },
                     [target](const std::string& what) {
                         return UnreplayedResult(DescribeTestedWindow(target), "Notchlog failed: " + what);
                     },
                     notify, notifyMsg);
}

}  // namespace nl
