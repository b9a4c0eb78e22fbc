// The wheel test's patterns and their grading, one step at a time: the
// grader says what to send next, the runner sends it, measures how far the
// content moved and feeds that back. Which step follows may depend on what
// was measured (an `end` step after a half that fell short, the stop after
// `notch`), so the whole test can be played here without any window.
//
// Movements are signed whole units, positive towards the end (down, right).
// U, the movement of one notch down, is the yardstick: a sound handler
// moves (the sum of a half's deltas / 120) x U, truncated toward zero.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nl {

// What the test knows when it starts.
struct WheelTestSetup {
    int linesPerNotch = 3;  // the wheel setting; -1 a page per notch
    int charsPerNotch = 3;  // the horizontal wheel's setting
    std::string verticalMethod = "LB_GETTOPINDEX items";  // the reading and its unit, as the report prints it
    bool verticalInLines = true;  // items, lines or rows: comparable with the lines-per-notch setting
    std::string horizontalMethod = "image px";
    bool horizontalBar = false;  // WS_HSCROLL or a visible horizontal scroll-bar child: something to scroll sideways
};

// `count` messages of `delta` on one wheel, measured after the last one.
struct WheelStep {
    std::string pattern;
    std::string sent;  // "3x-120", "H+120", ...
    bool horizontal = false;
    std::int16_t delta = 0;
    int count = 0;
    bool timed = false;  // the burst: the catch-up is timed from the send's return
    int number = 0;      // 1 for the first step sent
};

enum class WheelVerdict { Ok, Fault, Info, Unmeasured };

struct WheelResultLine {
    std::string pattern, sent;
    std::optional<int> sound;     // empty where there is nothing to compare with
    std::optional<int> observed;  // empty: unmeasured
    std::string method;
    WheelVerdict verdict = WheelVerdict::Info;
    std::string finding;  // the fault's text, empty for any other verdict
    std::string note;     // a note this line gives the report, if any
};

enum class WheelOutcome { Running, NoFault, Faults, CouldNotTest };

class WheelGrader {
public:
    explicit WheelGrader(WheelTestSetup setup);

    // The step to send now; nullopt once the test is over.
    std::optional<WheelStep> Next() const;
    // What the current step did: the movement (nullopt: unmeasured) and,
    // for the timed step, the milliseconds until the content came to rest
    // (nullopt: it never did). An image may come to rest and still tell no
    // movement, when the content moved further than the window is high.
    void Feed(std::optional<int> movement, std::optional<int> catchUpMs = std::nullopt);
    // Ends the test before its end: "the target was closed", "stopped", ...
    // The lines so far stay; there are no findings or notes.
    void Stop(const std::string& reason);

    WheelOutcome Outcome() const;
    const std::vector<WheelResultLine>& Lines() const { return lines_; }
    // Each fault's text once, in the order of the patterns that found them.
    std::vector<std::string> Findings() const;
    // The lines' notes in the same order, then the count of unmeasured lines.
    std::vector<std::string> Notes() const;
    // "Result: no fault found", "Result: 2 faults found", "Result: could not test (REASON)";
    // empty while the test runs.
    std::string ResultText() const;
    // What the progress line shows of the step now sent: "Step 4: two-notch -240".
    std::string Progress() const;

private:
    void FeedGraded(std::optional<int> movement, std::optional<int> catchUpMs);
    void FeedEnd(std::optional<int> movement);
    void AddLine(std::optional<int> sound, std::optional<int> observed, WheelVerdict verdict,
                 std::string finding = {}, std::string note = {});
    void AddSettingLine();
    WheelResultLine& Grade(WheelResultLine& line, int count) const;
    void GradeHorizontal(WheelResultLine& line) const;

    WheelTestSetup setup_;
    int stage_ = 0;
    int stepsSent_ = 0;
    int notch_ = 0;                  // U, once `notch` has measured it
    std::size_t gradedLine_ = 0;     // the down half an `end` step checks
    std::vector<WheelResultLine> lines_;
    std::string stopReason_;
};

// The report's fields for one line: `pattern,sent,sound,observed,method,verdict`.
std::string WheelResultLineText(const WheelResultLine& line);

}  // namespace nl
