// Replaying a recorded wheel trace into another window: a trace recorded by
// one Notchlog comes out of a second one's recording row for row; target
// windows of known kinds move by their own arithmetic and the report says
// how far that is from a sound handler; bad input sends nothing; Esc stops
// a replay, releases the keys and puts the pointer back.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "driver/wheel_targets.h"
#include "driver/wheel_test_runs.h"

namespace nle2e {
namespace {

namespace fs = std::filesystem;
struct TempFile {  // a file of its own in the temporary folder, removed at the end
    const fs::path path;
    explicit TempFile(const wchar_t* what)
        : path(fs::temp_directory_path() / Format(L"notchlog-replay-%lu-%d-%ls", ::GetCurrentProcessId(), ++serial, what)) {}
    ~TempFile() { std::error_code e; fs::remove(path, e); }
    std::wstring Quoted() const { return L"\"" + path.wstring() + L"\""; }
    static inline int serial = 0;
};

// One row of a trace as Notchlog writes it; the columns replay does not read are left empty.
struct RecordedRow {
    int ms;  // time_ms
    char axis;
    int delta;
    unsigned keys = 0;
    unsigned extra = 0;
    const char* source = "injected";
};

std::string TraceCsv(const std::vector<RecordedRow>& rows, int firstSeq = 1, bool header = true) {
    std::string out = header ? kWheelCsvHeaderText + "\r\n" : std::string();
    int seq = firstSeq;
    for (const auto& r : rows)
        out += Narrow(Format(L"%d,%d.000,,,main,%c,%d,,,,,,,%hs,%08X,,%04X,,,,,,,,\r\n", seq++, r.ms, r.axis, r.delta,
                             r.source, r.extra, r.keys));
    return out;
}

void Write(const fs::path& file, const std::string& bytes, bool append = false) {
    FILE* f = _wfopen(file.wstring().c_str(), append ? L"ab" : L"wb");
    if (!f) throw DriverError("cannot write " + file.string());
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::vector<std::string> LinesOf(const std::string& text) { return WheelTestReport{0, text}.Lines(); }

// Notchlog.exe replaying as a script would: its exit code, its report and
// the lines of its trace file.
struct ReplayRun : WheelTestReport {
    std::vector<std::string> trace;
    std::vector<std::string> Body() const {  // the lines after the head's blank line
        const auto lines = Lines();
        const auto blank = std::find(lines.begin(), lines.end(), "");
        return blank == lines.end() ? std::vector<std::string>() : std::vector<std::string>(blank + 1, lines.end());
    }
};

struct ReplayScript {
    TempFile traceFile{L"trace.csv"};
    WheelTestScript script;
    explicit ReplayScript(const std::wstring& args)
        : script(args + L" --replay-trace " + traceFile.Quoted(), L"--replay-report") {}
    bool Running() const { return script.Running(); }
    ReplayRun Wait() {
        ReplayRun run{script.Wait(), {}};
        std::error_code e;
        if (fs::exists(traceFile.path, e)) run.trace = LinesOf(Contents(traceFile.path.wstring()));
        return run;
    }
};

ReplayRun Replay(const std::wstring& args) { return ReplayScript(args).Wait(); }

// ---- known kinds ------------------------------------------------------------

// Where a window of the kind stands after each delta, by its own way of
// stepping, at 3 lines per notch: what the trace file's position column
// must show.
int Step(WheelTargetKind kind, int delta, int& rest) {
    if (kind == WheelTargetKind::Truncating) return -(delta / 120) * 3;
    if (kind == WheelTargetKind::EveryMessage) return delta < 0 ? 3 : delta > 0 ? -3 : 0;
    rest -= delta * (kind == WheelTargetKind::FixedFour ? 4 : 3);
    const int units = rest / 120;
    rest -= units * 120;
    return units;
}

// Sub-notch, whole and double notches down, then a notch back up in halves;
// 12 ms apart, so the position is read after each. (These kinds ignore the
// horizontal wheel.) A sound handler ends 12 lines down.
const std::vector<int> kMixedDeltas = {-30, -30, -30, -30, -30, -30, -30, -30, -120, -240, 60, 60};

// Each kind moves by its own arithmetic. Lines, items and rows compare with
// a sound handler's lines: then the Result line says how far the target
// ended, and the exit code follows.
TEST(Replay, TargetsOfKnownKindsMoveByTheirOwnArithmeticAndTheReportSaysHowFar) {
    TempFile csv(L"mixed.csv");
    std::vector<RecordedRow> trace;
    for (int d : kMixedDeltas) trace.push_back({100 + 12 * static_cast<int>(trace.size()), 'V', d});
    Write(csv.path, TraceCsv(trace));
    const struct {
        WheelTargetKind kind;
        const char* moved;   // the Vertical line's end
        const char* result;  // after "Result: replayed 12 events"
        DWORD code;
    } rows[] = {
        {WheelTargetKind::Accumulating, "12 units down (SBM_GETPOS)", "", 0},
        {WheelTargetKind::Truncating, "9 units down (SBM_GETPOS)", "", 0},
        {WheelTargetKind::EveryMessage, "24 units down (SBM_GETPOS)", "", 0},
        {WheelTargetKind::List, "12 items down (LB_GETTOPINDEX); the largest difference along the way: ",
         ", the target ended within one line of a sound handler", 0},
        {WheelTargetKind::FixedFour, "16 items down (LB_GETTOPINDEX); the largest difference along the way: ",
         ", the target ended 4 lines from a sound handler", 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(Narrow(WheelTargetName(r.kind)));
        WheelTarget target(r.kind);
        const ReplayRun run = Replay(L"--replay " + csv.Quoted() + L" --test-target " + HexForm(target.Content()));
        auto body = run.Body();
        ASSERT_EQ(body.size(), 7u) << run.text;
        const std::string largest = "; the largest difference along the way: ";  // depends on the readings taken
        if (const auto at = body[5].find(largest); at != std::string::npos) body[5].resize(at + largest.size());
        // How long the target took to come to rest, and how many readings it allowed along the way, vary.
        EXPECT_TRUE(std::regex_match(body[3], std::regex("Lag: the target came to rest \\d+ ms after the last event was sent\\.")))
            << body[3];
        EXPECT_TRUE(std::regex_match(body[4], std::regex("Readings: positions read after \\d+ of 12 events\\."))) << body[4];
        body.erase(body.begin() + 3, body.begin() + 5);
        EXPECT_EQ(body, (std::vector<std::string>{
                            "Trace: run 1 of 1, window main, 12 rows over 0.1 s (after gap cutting); the run holds "
                            "12 main rows",
                            "Events: 12 sent, 0 skipped (rows with source lost)",
                            "Timing: speed 1, gaps longer than 2000 ms cut to it: 0 gaps, 0.000 s removed",
                            std::string("Vertical: 12 events, deltas adding up to -4.000 notches; a sound handler "
                                        "scrolls 12 lines down at 3 lines per notch; the target moved ") + r.moved,
                            std::string("Result: replayed 12 events") + r.result}));
        EXPECT_EQ(run.exitCode, r.code);
        // The trace file: a line per event, each position where the kind's arithmetic puts it.
        ASSERT_EQ(run.trace.size(), trace.size() + 1);
        int at = 0, rest = 0;
        for (std::size_t i = 0; i < trace.size(); ++i) {
            at += Step(r.kind, kMixedDeltas[i], rest);
            const auto fields = Split(run.trace[i + 1], ",");
            ASSERT_EQ(fields.size(), 6u) << run.trace[i + 1];
            EXPECT_EQ(fields[0] + "," + fields[1] + "," + fields[3] + "," + fields[4],
                      Narrow(Format(L"%d,%d.000,V,%d", static_cast<int>(i) + 1, static_cast<int>(i) * 12,
                                    kMixedDeltas[i])));
            EXPECT_TRUE(std::regex_match(fields[2], std::regex("\\d+\\.\\d{3}"))) << fields[2];
            // A reading the target was too slow for (a later event was on its way) is left out.
            if (i + 1 == trace.size() || !fields[5].empty()) {
                EXPECT_EQ(fields[5], std::to_string(at)) << "after row " << i + 1;
            }
        }
    }
}

// A target that falls behind: the replay waits until it comes to rest,
// says how long that took, and grades where it came to rest.
TEST(Replay, WaitsForATargetThatFallsBehindAndSaysHowFarBehindItWas) {
    TempFile csv(L"fast.csv");
    std::vector<RecordedRow> trace;
    for (int i = 0; i < 60; ++i) trace.push_back({4 * i, 'V', -120});  // 0.24 s of input, 2.1 s of work at 35 ms each
    Write(csv.path, TraceCsv(trace));
    WheelTarget target(WheelTargetKind::Slow);
    const ReplayRun run = Replay(L"--replay " + csv.Quoted() + L" --test-target " + HexForm(target.Window()));
    const auto body = run.Body();
    ASSERT_GE(body.size(), 6u) << run.text;
    int lagMs = 0;
    ASSERT_EQ(std::sscanf(body[3].c_str(), "Lag: the target came to rest %d ms after the last event was sent.", &lagMs), 1)
        << body[3];
    EXPECT_GT(lagMs, 1000);
    EXPECT_EQ(body[5].substr(body[5].rfind(";")), "; the target moved 180 units down (SBM_GETPOS)") << body[5];
    EXPECT_EQ(run.LastLine(), "Result: replayed 60 events");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(target.Position(), 180);
    ASSERT_EQ(run.trace.size(), 61u);
    EXPECT_NE(run.trace.back().back(), ',') << "the last event's position is always read";
}

TEST(Replay, AFileAppendedOverTwoRunsReplaysItsLastOrTheOneChosen) {
    TempFile csv(L"two-runs.csv");
    Write(csv.path, TraceCsv({{0, 'V', -120}, {20, 'V', -120}, {40, 'V', -120}}));
    Write(csv.path, TraceCsv({{0, 'V', -240}}, 1, false), true);  // seq starts again: a second run
    const struct {
        const wchar_t* args;
        const char* trace;
        int down;
    } rows[] = {
        {L"", "Trace: run 2 of 2, window main, 1 row over 0.0 s (after gap cutting); the run holds 1 main row", 6},
        {L" --replay-run 1", "Trace: run 1 of 2, window main, 3 rows over 0.0 s (after gap cutting); the run holds 3 main rows",
         9},
    };
    for (const auto& r : rows) {
        WheelTarget target(WheelTargetKind::Accumulating);
        const ReplayRun run =
            Replay(L"--replay " + csv.Quoted() + L" --test-target " + HexForm(target.Window()) + r.args);
        EXPECT_EQ(run.Body().empty() ? "" : run.Body()[0], r.trace) << run.LastLine();
        EXPECT_EQ(target.Position(), r.down);
        EXPECT_EQ(run.exitCode, 0u);
    }
}

// Every kind of bad input: its Result line, exit code 2, and the target
// never moved (nothing was sent).
TEST(Replay, BadInputSaysWhatWasWrongAndSendsNothing) {
    WheelTarget target(WheelTargetKind::Accumulating);
    const std::wstring form = L" --test-target " + HexForm(target.Window());
    const std::string good = TraceCsv({{0, 'V', -120}, {10, 'V', -120}});
    const struct {
        std::string file;  // empty: none there
        std::wstring args;
        std::string last;  // after "Result: could not replay ("
    } rows[] = {
        {"", form, "cannot open "},  // then the path and the system's reason
        {"seq,time\r\n1,0\r\n", form, "the first line is not Notchlog's wheel CSV header)"},
        {good + "3,20.000,main,V\r\n", form, "line 4 has 4 fields, not 25)"},
        {good + "3,20.000,,,main,V,x,,,,,,,injected,00000000,,0000,,,,,,,,\r\n", form,
         "line 4, column 7 (delta): \"x\" is not a whole number from -32768 to 32767)"},
        {TraceCsv({{50, 'V', -120}, {40, 'V', -120}}), form,
         "line 3, column 2 (time_ms): 40.000 is earlier than 50.000 on line 2 (time goes backwards))"},
        {good, form + L" --replay-window analysis", "run 1 holds no rows of window analysis)"},
        {good, form + L" --replay-window mouse", "unknown --replay-window name: \"mouse\"; use main, analysis, hook or raw)"},
        {good, form + L" --replay-run 2", "there is no run 2: the file holds 1 run)"},
        {good, form + L" --replay-speed 11", "--replay-speed must be from 0.1 to 10, not \"11\")"},
        {good, form + L" --replay-max-gap 3600001", "--replay-max-gap must be from 0 to 3600000 ms, not \"3600001\")"},
        {good, L"", "--replay needs --test-target)"},
        {good, form + L" --test-report x.txt", "--replay and --test-report cannot be combined: choose one)"},
    };
    for (const auto& r : rows) {
        TempFile csv(L"bad.csv");
        if (!r.file.empty()) Write(csv.path, r.file);
        const ReplayRun run = Replay(L"--replay " + csv.Quoted() + r.args);
        const std::string last = "Result: could not replay (" + r.last;
        EXPECT_EQ(run.LastLine().substr(0, r.file.empty() ? last.size() : std::string::npos), last) << Narrow(r.args);
        EXPECT_EQ(run.exitCode, 2u) << Narrow(r.args);
    }
    EXPECT_EQ(target.Position(), 0);
}

// ---- keys, extra information and the pointer --------------------------------

// A Notchlog recording into a CSV file of its own with its analysis window
// open, sized so that the centre of its client area is bare (between its two
// panels): wheel input there reaches the analysis window itself.
struct Recorder {
    TempFile csv{L"recording.csv"};
    Notchlog app{L"--analysis --wheel-csv " + csv.Quoted()};
    HWND analysis = nullptr;
    POINT centre{};

    explicit Recorder(int top) {
        if (!WaitUntil([&] { return (analysis = ShownWindowOf(app.Pid(), L"NotchlogAnalysis")) != nullptr; }))
            throw DriverError("no analysis window");
        RECT window{}, client{};
        ::GetWindowRect(analysis, &window), ::GetClientRect(analysis, &client);
        const int frameX = (window.right - window.left) - client.right, frameY = (window.bottom - window.top) - client.bottom;
        for (int width = 560; width < 760; width += 2) {
            ::SetWindowPos(analysis, nullptr, 10, top, width + frameX, 200 + frameY, SWP_NOZORDER | SWP_NOACTIVATE);
            Send(analysis, WM_NULL);
            ::GetClientRect(analysis, &client);
            const POINT inside{client.right / 2, client.bottom / 2};
            if (::ChildWindowFromPointEx(analysis, inside, CWP_ALL) != analysis) continue;
            centre = inside;
            ::ClientToScreen(analysis, &centre);
            return;
        }
        throw DriverError("the analysis window has no bare centre");
    }
    std::vector<std::vector<std::string>> Rows() const { return WheelCsvRows(csv.path.wstring()); }
};

// Axis, delta, extra information and keys: what a replay must reproduce.
std::vector<std::string> Essentials(const std::vector<std::vector<std::string>>& rows, bool withExtra = true) {
    std::vector<std::string> out;
    for (const auto& r : rows)
        out.push_back(r.at(4) + "," + r.at(5) + "," + r.at(6) + "," + (withExtra ? r.at(14) : "-") + "," + r.at(16));
    return out;
}

TEST(Replay, ASecondNotchlogRecordsWhatTheFirstRecordedRowForRow) {
    // The first goes on recording (its file open for writing) while its trace is replayed.
    Recorder first(10);
    Foreground(first.analysis);
    MoveCursor(first.centre);
    const auto pause = [] {  // gaps the replay keeps
        const auto until = std::chrono::steady_clock::now() + 15ms;
        WaitUntil([&] { return std::chrono::steady_clock::now() >= until; });
    };
    InjectWheel({30, 30, 30, 30});
    pause();
    InjectWheel({60, 60}, true);
    pause();
    InjectWheel({-15, -15}, false, 0xFF515700);  // a pen's signature in the extra information
    pause();
    InjectWheel({8}, false, 0xFF515733);
    Key(VK_CONTROL);
    InjectWheel({-120});
    Key(VK_CONTROL, true);
    pause();
    Key(VK_SHIFT);
    InjectWheel({-30}, true);
    Key(VK_SHIFT, true);
    ASSERT_TRUE(WaitUntil([&] { return first.Rows().size() >= 11; })) << first.Rows().size();
    const auto recorded = first.Rows();
    ASSERT_EQ(recorded.size(), 11u);
    const auto expected = Essentials(recorded);
    EXPECT_EQ(expected[8], "analysis,V,8,FF515733,0000");
    EXPECT_EQ(expected[9], "analysis,V,-120,00000000,0008");
    EXPECT_EQ(expected[10], "analysis,H,-30,00000000,0004");
    const struct {
        const wchar_t* delivery;
        bool carriesExtra;
    } rows[] = {{L"injected", true}, {L"posted", false}};
    for (const auto& r : rows) {
        SCOPED_TRACE(Narrow(r.delivery));
        Recorder second(420);
        const ReplayRun run = Replay(L"--replay " + first.csv.Quoted() + L" --test-target " + HexForm(second.analysis) +
                                     L" --test-delivery " + r.delivery);
        // The analysis window's picture changes as its rows come in: where its
        // content ended is read, or the report says it could not be, never a pass.
        const bool read = run.LastLine() == "Result: replayed 11 events";
        EXPECT_TRUE(read || run.LastLine().rfind("Result: replayed 11 events, but the target's position could not be read (", 0) == 0)
            << run.LastLine();
        EXPECT_EQ(run.exitCode, read ? 0u : 4u);
        ASSERT_TRUE(WaitUntil([&] { return second.Rows().size() >= 11; })) << second.Rows().size();
        const auto replayed = second.Rows();
        EXPECT_EQ(Essentials(replayed, r.carriesExtra), Essentials(recorded, r.carriesExtra));
        if (!r.carriesExtra) {
            for (const auto& row : replayed) EXPECT_EQ(row.at(14), "00000000");
        }
    }
}


// 500 events 20 ms apart, each `delta` with `keys`.
std::string LongTrace(int delta, unsigned keys) {
    std::vector<RecordedRow> rows;
    for (int i = 0; i < 500; ++i) rows.push_back({i * 20, 'V', delta, keys});
    return TraceCsv(rows);
}

TEST(Replay, EscStopsALongReplayReleasesTheKeysAndPutsThePointerBack) {
    WheelTarget target(WheelTargetKind::Accumulating);
    TempFile csv(L"long.csv");
    Write(csv.path, LongTrace(-30, MK_CONTROL | MK_SHIFT));
    const POINT rest{3, 1000};
    MoveCursor(rest);
    ReplayScript script(L"--replay " + csv.Quoted() + L" --test-target " + HexForm(target.Window()));
    ASSERT_TRUE(WaitUntil([&] { return target.Position() > 0 || !script.Running(); }));
    Key(VK_ESCAPE);
    const ReplayRun run = script.Wait();
    Key(VK_ESCAPE, true);
    EXPECT_EQ(run.LastLine(), "Result: could not replay (stopped)");
    EXPECT_EQ(run.exitCode, 2u);
    const POINT now = CursorNow();
    EXPECT_TRUE(now.x == rest.x && now.y == rest.y) << "the pointer stayed at " << now.x << "," << now.y;
    EXPECT_EQ((::GetAsyncKeyState(VK_CONTROL) | ::GetAsyncKeyState(VK_SHIFT)) & 0x8000, 0) << "Ctrl or Shift still held";
    EXPECT_LT(run.trace.size(), 500u);
}

// The window route: --replay without --replay-report replays in the wheel
// test window; Start stops it, and the report shows there and is copied whole.
TEST(Replay, InTheWheelTestWindowStartStopsItAndCopyGivesTheReport) {
    enum : int { kStartButton = 307, kCopyButton = 308, kProgressLine = 310, kResultsList = 311, kFindingsBox = 312,
                 kResultLine = 316 };
    WheelTarget target(WheelTargetKind::Accumulating);
    TempFile csv(L"window.csv");
    Write(csv.path, LongTrace(-40, 0));
    Notchlog app(L"--replay " + csv.Quoted() + L" --test-target " + HexForm(target.Window()));
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = ShownWindowOf(app.Pid(), L"NotchlogWheelTest")) != nullptr; }));
    const auto text = [&](int id) {  // asked, as an edit keeps its text to itself
        wchar_t buffer[1024] = {};
        Send(::GetDlgItem(window, id), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer));
        return Narrow(buffer);
    };
    ASSERT_TRUE(WaitUntil([&] { return target.Position() > 0; }));
    // While it runs, the line above the table says what it sends.
    const std::string plan = Narrow(csv.path.filename().wstring()) +
                             ": 1 run; run 1: 500 main rows; sending the 500 main rows over 10.0 s (after gap cutting).";
    EXPECT_TRUE(WaitUntil([&] { return text(kResultLine) == plan; })) << text(kResultLine);
    EXPECT_EQ(text(kStartButton), "Stop");
    Send(::GetDlgItem(window, kStartButton), BM_CLICK);
    ASSERT_TRUE(WaitUntil([&] { return text(kResultLine) == "Result: could not replay (stopped)"; }))
        << "no report in the window";
    EXPECT_TRUE(std::regex_match(text(kProgressLine), std::regex("Stopped: \\d+ of 500 events sent\\."))) << text(kProgressLine);
    const auto rows = ListViewRows(::GetDlgItem(window, kResultsList));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at(0), "Vertical");
    EXPECT_EQ(text(kFindingsBox).substr(0, 40), "Trace: run 1 of 1, window main, 500 rows");
    WriteClipboard(L"(before the copy)");
    Send(window, WM_COMMAND, MAKEWPARAM(kCopyButton, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(window, kCopyButton)));
    const std::string copied = Narrow(ReadClipboard().value_or(L""));
    EXPECT_TRUE(std::regex_match(copied, std::regex("Notchlog [^\r]* replay, [^]*\r\n\r\nTrace: run 1 of 1, window main, "
                                                    "500 rows[^\r]*\r\n[^]*\r\nResult: could not replay \\(stopped\\)\r\n")))
        << copied;
    EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
}  // namespace nle2e
