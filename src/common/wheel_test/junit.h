// A wheel test's or a replay's results as JUnit XML, which CI dashboards
// read: a `testsuites` root, one `testsuite` named for the target, a
// `testcase` per graded step (a replay: per axis) with a `failure` for a
// fault, `skipped` for an unmeasured step and an `error` case for a run that
// could not test; the whole report in `system-out`. Texts come in UTF-8;
// markup characters are escaped and control characters left out.
#pragma once

#include <string>
#include <vector>

#include "common/replay/replay_report.h"
#include "common/wheel_test/wheel_grader.h"

namespace nl {

struct JunitCase {
    enum class Kind { Passed, Failure, Skipped, Error };
    std::string name;
    Kind kind = Kind::Passed;
    std::string message;  // the finding, the reason it was skipped, or the error
};

struct JunitSuite {
    std::string name;       // the target
    std::string classname;  // "notchlog.wheeltest", "notchlog.replay"
    std::string timestamp;  // "2026-12-08T02:40:20"
    std::vector<JunitCase> cases;
    std::string systemOut;  // the report
};

// The cases of a wheel test: `PATTERN SENT` per graded line (a catch-up is
// named for the burst it follows), made unique where they would repeat.
std::vector<JunitCase> WheelTestCases(const WheelGrader& grader);
// The cases of a replay: one per axis that had events.
std::vector<JunitCase> ReplayCases(const ReplaySummary& summary);

std::string JunitXml(const JunitSuite& suite);

// The text with &, <, >, " and ' as entities and control characters other
// than tab, line feed and carriage return left out.
std::string XmlEscaped(const std::string& text);

}  // namespace nl
