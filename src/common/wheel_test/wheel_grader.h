// The wheel test's patterns and their grading, one step at a time: the
// grader says what to send next, the runner sends it, measures how far the
// content moved and feeds that back. Which step follows may depend on what
// was measured (an `end` step after a half that fell short, the stop after
// `notch`, turning around at the end of the range, the way back), so the
// whole test can be played here without any window.
//
// Movements are signed whole units, positive towards the end (down, right).
// U, the movement of one notch down, is the yardstick: a sound handler
// moves (the sum of a half's deltas / 120) x U, truncated toward zero.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/wheel_test/window_form.h"

namespace nl {

// What the test knows when it starts.
struct WheelTestSetup {
    int linesPerNotch = 3;  // the wheel setting; -1 a page per notch
    int charsPerNotch = 3;  // the horizontal wheel's setting
    ReadMethod verticalMethod = ReadMethod::ListBoxTop;
    ReadMethod horizontalMethod = ReadMethod::Image;
    bool horizontalBar = false;    // WS_HSCROLL or a visible horizontal scroll-bar child: something to scroll sideways
    std::optional<int> page;       // a page in the vertical reading's unit (what SB_PAGEDOWN moves), where known
    std::optional<int> freeBelow;  // the vertical reading's units below the last row in view, where it gives the range
    // After the test and its way back: each lines-per-notch setting to try
    // (its own notch, setting, two-notch and sub-notch, and way back), then
    // Ctrl+wheel zoom and a touchpad's pinch, read by `zoomMethod`.
    std::vector<int> settings;
    bool zoom = false;
    ReadMethod zoomMethod = ReadMethod::ImageZoom;
};

// Why a step is sent: the test's own patterns, turning around at the end of
// the range before them, or going back where the target was after them.
enum class StepPhase { TurnAround, Test, GoBack };

// `count` messages of `delta` on one wheel, measured after the last one.
struct WheelStep {
    std::string pattern;
    std::string sent;  // "3x-120", "H+120", ...: the result line's
    bool horizontal = false;
    std::int16_t delta = 0;
    int count = 0;
    bool timed = false;  // a burst: the catch-up is timed from the send's return
    StepPhase phase = StepPhase::Test;
    std::optional<int> setLines;  // before anything is sent: the lines-per-notch setting becomes this
    bool holdCtrl = false;        // sent with the Ctrl key held down
    bool posted = false;          // posted to the measured window whatever the delivery, with `keys` in wParam
    std::uint16_t keys = 0;
    bool readZoom = false;        // what it did is read as the content's size, not its position
    bool markZoom = false;        // the size before it is the base the zoom readings compare with
};

// What one step did, as the runner read it.
struct StepReading {
    std::optional<int> movement;   // units the step moved its axis; nullopt: unmeasured
    std::optional<int> position;   // the vertical reading's units from where the test started, where known
    std::optional<int> freeBelow;  // as in WheelTestSetup, after the step
    std::optional<int> catchUpMs;  // a timed step: ms until the content came to rest; nullopt: it never did
    std::optional<int> zoomPercent;  // a zoom step: the content's size against the base, in whole percent
    bool zoomMoved = false;          // a zoom step: the content moved instead
    std::string reason;            // why the movement (or the catch-up, or the zoom) is unmeasured
};

enum class WheelVerdict { Ok, Fault, Info, Unmeasured };

struct WheelResultLine {
    std::string pattern, sent;
    std::optional<int> sound;     // empty where there is nothing to compare with
    std::optional<int> observed;  // empty: unmeasured
    ReadMethod method = ReadMethod::Image;
    WheelVerdict verdict = WheelVerdict::Info;
    bool graded = false;  // a graded half or a catch-up: unmeasured here makes the test inconclusive
    std::string finding;  // the fault's text, empty for any other verdict
    std::string note;     // a note this line gives the report, if any
    std::string reason;   // why it is unmeasured
};

enum class WheelOutcome { Running, NoFault, Faults, CouldNotTest };

// A setting tried, as the profile block's line shows it.
struct ProfileRowValue {
    int lines = 0;
    std::optional<int> observed;
    WheelVerdict verdict = WheelVerdict::Info;
    std::string reason;   // why it is unmeasured
    std::string finding;  // a fault's text
};

// What the progress line shows of the step now sent.
struct WheelProgress {
    StepPhase phase = StepPhase::Test;
    int line = 0;   // the result line being measured, from 1
    int lines = 0;  // the result lines expected so far
    std::string pattern, sent;
};

class WheelGrader {
public:
    explicit WheelGrader(WheelTestSetup setup);

    // The step to send now; nullopt once the test is over.
    std::optional<WheelStep> Next() const;
    void Feed(const StepReading& reading);
    // Ends the test before its end: "the target was closed", "stopped", ...
    // The lines so far stay; there are no findings, and a note says where
    // the target was left where that is known. Nothing more is sent. While
    // going back, the test's outcome stays and only the way back ends.
    void Stop(const std::string& reason);
    // Ends the test as could-not-test whatever it had found, even while
    // going back: Notchlog itself failed (the system refused its input).
    void Fail(const std::string& reason);

    WheelOutcome Outcome() const;
    // Graded lines that read `unmeasured`.
    int UnmeasuredGraded() const;
    const std::vector<WheelResultLine>& Lines() const { return lines_; }
    // Each fault's text once, in the order of the patterns that found them.
    std::vector<std::string> Findings() const;
    // The notes in the order of the lines that gave them; where the target
    // was left last.
    std::vector<std::string> Notes() const;
    // "Result: no fault found", "Result: 2 faults found (1 step unmeasured)",
    // "Result: could not test (REASON)"; empty while the test runs.
    std::string ResultText() const;
    WheelProgress Progress() const;
    // Stopped by Esc or Start, and the result lines it expected by then.
    bool Stopped() const { return stopReason_ == "stopped"; }
    int LinesExpected() const { return ended_ ? linesAtEnd_ : ExpectedLines(); }
    const WheelTestSetup& Setup() const { return setup_; }
    // The profile block: a line per setting tried, once all were.
    const std::vector<ProfileRowValue>& Profile() const { return profile_; }

private:
    enum class TurnMode { Range, Movement };
    enum class Section { Main, Profile, Zoom };
    void SectionDone();
    void StartProfileValue();
    void FinishProfile();
    void StartZoom();
    void FeedZoom(const StepReading& r);
    void FeedZoomBack(const StepReading& r);
    std::string Suffixed(const std::string& pattern) const;
    void FeedTest(const StepReading& r);
    void FeedTurnAround(const StepReading& r);
    void FeedGoBack(const StepReading& r);
    void EndWayBack();
    void FeedNotchDown(const StepReading& r);
    void FeedNotchUp(const StepReading& r);
    void FeedGraded(const StepReading& r);
    void FeedEnd(const StepReading& r);
    void FeedCatchUp(const StepReading& r, bool second);
    void TurnAround(TurnMode mode);
    void Finish(const std::string& couldNotTest = std::string());
    void StartGoingBack();
    WheelResultLine& AddLine(std::optional<int> sound, const StepReading& r, WheelVerdict verdict);
    void AddSettingLine();
    void Track(const WheelStep& step, const StepReading& r);
    int ExpectedLines() const;
    std::string WhereText() const;
    std::string WhereLeftNote() const;

    WheelTestSetup setup_;
    StepPhase phase_ = StepPhase::Test;
    int stage_ = 0;
    int notch_ = 0;               // U, once `notch` has measured it
    std::size_t gradedLine_ = 0;  // the down half an `end` step checks
    std::optional<StepReading> roomFirst_;  // `room`'s first notch, until its line is made
    int stepsSent_ = 0;
    std::vector<WheelResultLine> lines_;
    std::string stopReason_;  // could not test
    bool ended_ = false;      // nothing more is sent
    bool goneBack_ = false;   // the way back was tried (or was not needed)
    int linesAtEnd_ = 0;      // the result lines expected when nothing more was to be sent

    // Where the target is, from where the test started.
    std::optional<int> position_{0};
    std::int64_t netDeltaSum_ = 0;  // every vertical delta sent

    // Turning around.
    TurnMode turnMode_ = TurnMode::Range;
    bool turnedAround_ = false;
    int turnNotches_ = 0;
    int turnFirst_ = 0;  // the first notch's movement
    int turnMoved_ = 0;
    std::string turnNote_;

    // Sections after the test: the settings, then zoom.
    Section section_ = Section::Main;
    bool earlyEnd_ = false;  // the test ended on a finding: nothing after it tells more
    std::size_t profileIndex_ = 0;
    // A setting tried: what its notch down moved (or why that is unknown), and its `setting@` line (or none: npos).
    struct SettingTried {
        int lines = 0;
        std::optional<int> notch;
        std::string reason;
        std::size_t settingLine = std::string::npos;
    };
    std::vector<SettingTried> settingsTried_;
    std::vector<ProfileRowValue> profile_;
    bool zoomBacking_ = false;
    int zoomBackSent_ = 0;
    int zoomBackAt_ = 100;           // the size the last input left, in percent
    bool zoomBackSingle_ = false;    // once the size went past where it was: a message at a time
    bool zoomBackLastStep_ = false;  // the step back to the nearer side, then no more
    std::optional<int> zoomChange_;  // `zoom`'s reading, once it zoomed
    std::string zoomBackNote_;

    // Going back.
    int backSent_ = 0, backMost_ = 0;
    int backGoal_ = 0;        // where the way back goes, from where the target was found
    bool finalWayBack_ = true;  // to where it was found: nothing after it moves the target
    int patternsStart_ = 0;   // where the patterns began: after any turn-around
    std::int16_t backDelta_ = 120;
    bool backFlipped_ = false;
    std::string backNote_;
};

// The report's fields for one line: `pattern,sent,sound,observed,method,verdict`.
std::string WheelResultLineText(const WheelResultLine& line);

}  // namespace nl
