#include <gtest/gtest.h>

#include "common/wheel_test/junit.h"

namespace nl {
namespace {

WheelGrader Played(std::vector<std::optional<int>> movements, int stopAt = 0) {
    WheelGrader g{WheelTestSetup{}};
    for (std::size_t i = 0; g.Next(); ++i) {
        if (static_cast<int>(i) + 1 == stopAt) {
            g.Stop("stopped");
            break;
        }
        if (i >= movements.size()) break;
        StepReading r;
        r.movement = movements[i];
        r.reason = "the picture repeats every 80 px";
        r.catchUpMs = 40;
        g.Feed(r);
    }
    return g;
}

std::vector<std::string> Cases(const std::vector<JunitCase>& cases) {
    std::vector<std::string> out;
    const char* const kinds[] = {"passed", "failure", "skipped", "error"};
    for (const auto& c : cases) out.push_back(c.name + ": " + kinds[static_cast<int>(c.kind)] + (c.message.empty() ? "" : " " + c.message));
    return out;
}

TEST(Junit, AWheelTestsGradedStepsAreItsCases) {
    // Sub-notch deltas dropped, the burst unmeasured.
    const WheelGrader faulty = Played({3, 6, 3, -3, 6, -6, 0, 3, 0, 3, -3, 0, 0, std::nullopt, 3, -60, -9});
    EXPECT_EQ(Cases(WheelTestCases(faulty)),
              (std::vector<std::string>{
                  "setting: passed", "two-notch -240: passed",
                  "sub-notch 4x-30: failure Drops sub-notch deltas (it divides each delta by 120 before adding up): "
                  "touchpads and high-resolution wheels do not scroll.",
                  "fine 8x-15: passed", "horizontal H+120: passed",
                  "burst 20x-120: skipped the picture repeats every 80 px", "catch-up 20x-120: passed",
                  "catch-up 20x+120: passed"}));
    EXPECT_EQ(Cases(WheelTestCases(Played({3, 6}, 3))), std::vector<std::string>{"could not test: error stopped"});
}

TEST(Junit, XmlEscapesAndCounts) {
    EXPECT_EQ(XmlEscaped("a<b & \"c\" 'd'\x01\x1f\tend \xc3\xa9"), "a&lt;b &amp; &quot;c&quot; &apos;d&apos;\tend \xc3\xa9");
    JunitSuite suite{"Edit in \"T<1>\"", "notchlog.wheeltest", "2026-12-08T02:40:20",
                     {{"a", JunitCase::Kind::Passed, {}}, {"b", JunitCase::Kind::Failure, "x & y"},
                      {"c", JunitCase::Kind::Skipped, "why"}},
                     "Result: 1 fault found\r\n"};
    EXPECT_EQ(JunitXml(suite),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<testsuites name=\"Notchlog\" tests=\"3\" failures=\"1\" errors=\"0\" skipped=\"1\">\n"
              "  <testsuite name=\"Edit in &quot;T&lt;1&gt;&quot;\" tests=\"3\" failures=\"1\" errors=\"0\" skipped=\"1\" "
              "timestamp=\"2026-12-08T02:40:20\">\n"
              "    <testcase classname=\"notchlog.wheeltest\" name=\"a\"/>\n"
              "    <testcase classname=\"notchlog.wheeltest\" name=\"b\">\n      <failure message=\"x &amp; y\"/>\n"
              "    </testcase>\n"
              "    <testcase classname=\"notchlog.wheeltest\" name=\"c\">\n      <skipped message=\"why\"/>\n"
              "    </testcase>\n"
              "    <system-out>Result: 1 fault found\r\n</system-out>\n"
              "  </testsuite>\n</testsuites>\n");
}

}  // namespace
}  // namespace nl
