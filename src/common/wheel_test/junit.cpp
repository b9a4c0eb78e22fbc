#include "common/wheel_test/junit.h"

#include <algorithm>

#include "common/base/number_text.h"

namespace nl {

namespace {
std::string Attribute(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + XmlEscaped(value) + "\"";
}

std::string Count(std::size_t n) { return DecText(static_cast<std::int64_t>(n)); }

// Names that would repeat get " (2)", " (3)", ...
void MakeUnique(std::vector<JunitCase>& cases) {
    std::vector<std::string> given;
    for (const auto& c : cases) given.push_back(c.name);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto seen = std::count(given.begin(), given.begin() + static_cast<std::ptrdiff_t>(i) + 1, given[i]);
        if (seen > 1) cases[i].name += " (" + DecText(static_cast<std::int64_t>(seen)) + ")";
    }
}
}  // namespace

std::string XmlEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') break;
                out += c;
        }
    }
    return out;
}

std::vector<JunitCase> WheelTestCases(const WheelGrader& grader) {
    std::vector<JunitCase> cases;
    if (grader.Outcome() == WheelOutcome::CouldNotTest) {
        const std::string result = grader.ResultText();
        cases.push_back(JunitCase{"could not test", JunitCase::Kind::Error, result.substr(result.find('(') + 1)});
        cases.back().message.pop_back();  // the closing parenthesis
        return cases;
    }
    std::string lastBurst;
    for (const auto& line : grader.Lines()) {
        if (line.pattern == "burst") lastBurst = line.sent;
        if (!line.graded) continue;
        JunitCase c;
        c.name = line.pattern + " " + (line.pattern == "catch-up" ? lastBurst : line.sent);
        while (!c.name.empty() && c.name.back() == ' ') c.name.pop_back();
        if (line.verdict == WheelVerdict::Fault) c.kind = JunitCase::Kind::Failure, c.message = line.finding;
        if (line.verdict == WheelVerdict::Unmeasured) c.kind = JunitCase::Kind::Skipped, c.message = line.reason;
        cases.push_back(std::move(c));
    }
    // A setting whose notch gave no `setting@` line is a case of its own.
    for (const auto& row : grader.Profile()) {
        const std::string name = "setting@" + DecText(row.lines);
        if (std::any_of(cases.begin(), cases.end(), [&](const JunitCase& c) { return c.name == name; })) continue;
        JunitCase c{name, JunitCase::Kind::Passed, std::string()};
        if (row.verdict == WheelVerdict::Fault) c.kind = JunitCase::Kind::Failure, c.message = row.finding;
        if (row.verdict == WheelVerdict::Unmeasured) c.kind = JunitCase::Kind::Skipped, c.message = row.reason;
        cases.push_back(std::move(c));
    }
    MakeUnique(cases);
    return cases;
}

std::vector<JunitCase> ReplayCases(const ReplaySummary& s) {
    std::vector<JunitCase> cases;
    if (!s.problem.empty() || s.rows == 0) {
        const std::string result = ReplayResultText(s);
        cases.push_back(JunitCase{"could not replay", JunitCase::Kind::Error, result.substr(result.find('(') + 1)});
        cases.back().message.pop_back();
        return cases;
    }
    for (WheelAxis axis : {WheelAxis::V, WheelAxis::H}) {
        const auto& a = s.tally.Of(axis);
        if (a.events == 0) continue;
        const ReplayAxisCells cells = AxisCells(s, axis);
        JunitCase c{cells.axis, JunitCase::Kind::Passed, {}};
        if (!a.moved || s.stillMoving) {
            c.kind = JunitCase::Kind::Skipped;
            c.message = !a.moved ? "the target's position " + cells.moved : "the target was still moving";
        } else if (cells.moved == "did not move sideways" ||
                   (CountsLines(s.reading[axis == WheelAxis::V ? 0 : 1].method) && a.largestGap &&
                    (*a.moved - a.sound > 1 || a.sound - *a.moved > 1))) {
            c.kind = JunitCase::Kind::Failure;
            c.message = cells.axis + ": the target moved " + cells.moved + "; a sound handler scrolls " + cells.sound;
        }
        cases.push_back(std::move(c));
    }
    return cases;
}

std::string JunitXml(const JunitSuite& suite) {
    const auto count = [&](JunitCase::Kind kind) {
        return Count(static_cast<std::size_t>(
            std::count_if(suite.cases.begin(), suite.cases.end(), [&](const JunitCase& c) { return c.kind == kind; })));
    };
    const std::string totals = Attribute("tests", Count(suite.cases.size())) +
                               Attribute("failures", count(JunitCase::Kind::Failure)) +
                               Attribute("errors", count(JunitCase::Kind::Error)) +
                               Attribute("skipped", count(JunitCase::Kind::Skipped));
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<testsuites" + Attribute("name", "Notchlog") + totals + ">\n";
    out += "  <testsuite" + Attribute("name", suite.name) + totals + Attribute("timestamp", suite.timestamp) + ">\n";
    for (const auto& c : suite.cases) {
        out += "    <testcase" + Attribute("classname", suite.classname) + Attribute("name", c.name);
        switch (c.kind) {
            case JunitCase::Kind::Passed: out += "/>\n"; continue;
            case JunitCase::Kind::Failure: out += ">\n      <failure" + Attribute("message", c.message) + "/>\n"; break;
            case JunitCase::Kind::Skipped: out += ">\n      <skipped" + Attribute("message", c.message) + "/>\n"; break;
            case JunitCase::Kind::Error: out += ">\n      <error" + Attribute("message", c.message) + "/>\n"; break;
        }
        out += "    </testcase>\n";
    }
    out += "    <system-out>" + XmlEscaped(suite.systemOut) + "</system-out>\n";
    out += "  </testsuite>\n</testsuites>\n";
    return out;
}

}  // namespace nl
