#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/replay/replay_trace.h"

namespace nl {
namespace {

// A row as Notchlog writes it, with the fields loading reads set and the
// others plausible.
std::string Row(int seq, const char* timeMs, const char* window, const char* axis = "V", const char* delta = "-120",
                const char* extra = "00000000", const char* keys = "0000", const char* source = "injected",
                const char* mismatch = "") {
    return std::to_string(seq) + "," + timeMs + ",123,," + window + "," + axis + "," + delta +
           ",-1.000,3,-3,-3,-3,0.000," + source + "," + extra + ",0," + keys + "," + mismatch +
           ",10,20,10,20,0,000100A2,";
}
std::string Lost(int seq, const char* timeMs, const char* count = "70000") {
    return std::to_string(seq) + "," + timeMs + ",,,hook,," + count + ",,,,,,,lost,,,,,,,,,,,";
}

std::string Csv(const std::vector<std::string>& rows, const char* eol = "\r\n") {
    std::string s = std::string(kWheelCsvHeader) + eol;
    for (const auto& r : rows) s += r + eol;
    return s;
}

// Loads text handed over in chunks of `chunk` bytes (0: all at once).
TraceLoad Load(const std::string& text, TraceChoice choice = {}, std::size_t chunk = 0) {
    return LoadTrace(
        [&](const std::function<bool(std::string_view)>& consume) {
            const std::size_t step = chunk ? chunk : text.size() + 1;
            for (std::size_t at = 0; at < text.size(); at += step)
                if (!consume(std::string_view(text).substr(at, step))) return;
        },
        choice);
}

std::string Seqs(const TraceLoad& load) {
    std::string s;
    for (const TraceRow& r : load.rows) s += (s.empty() ? "" : " ") + std::to_string(r.seq);
    return s;
}

TEST(ReplayTrace, ChoosesTheRunAndTheWindowAndSaysWhyNot) {
    const std::string twoRuns = Csv({Row(1, "0.000", "main"), Row(2, "0.000", "hook"), Row(3, "5.000", "main"),
                                     Row(1, "0.000", "hook"), Row(2, "1.000", "raw"), Row(3, "2.500", "hook"),
                                     Lost(4, "3.000"), Lost(5, "3.000"), Row(6, "4.000", "hook")});
    const struct Case {
        const char* name;
        std::string text;
        TraceChoice choice;
        const char* seqs;
        int run, runs;
        Vantage window;
        std::uint64_t lost;
        const char* problem;
    } cases[] = {
        {"last run, hook before raw, lost rows counted", twoRuns, {}, "1 3 6", 2, 2, Vantage::Hook, 2, ""},
        {"first run, main before hook", twoRuns, {1, {}}, "1 3", 1, 2, Vantage::Main, 0, ""},
        {"a named window", twoRuns, {2, Vantage::Raw}, "2", 2, 2, Vantage::Raw, 0, ""},
        {"a window the run lacks", twoRuns, {0, Vantage::Main}, "", 0, 0, {}, 0, "run 2 holds no rows of window main"},
        {"beyond the runs", twoRuns, {3, {}}, "", 0, 0, {}, 0, "there is no run 3: the file holds 2 runs"},
        {"one run", Csv({Row(7, "1.000", "analysis")}), {2, {}}, "", 0, 0, {}, 0, "there is no run 2: the file holds 1 run"},
        {"an equal seq starts a run", Csv({Row(5, "1.000", "main"), Row(5, "2.000", "main")}), {1, {}}, "5", 1, 2,
         Vantage::Main, 0, ""},
        {"only lost rows", Csv({Lost(1, "1.000")}), {}, "", 0, 0, {}, 0, "run 1 holds no rows to replay"},
        {"the header alone", Csv({}), {}, "", 0, 0, {}, 0, "the file holds no rows"},
        {"the header without its line break", kWheelCsvHeader, {}, "", 0, 0, {}, 0, "the file holds no rows"},
        {"nothing at all", "", {}, "", 0, 0, {}, 0, "the file is empty"},
        {"another header", "seq,time_ms\r\n1,2\r\n", {}, "", 0, 0, {}, 0,
         "the first line is not Notchlog's wheel CSV header"},
        {"a byte-order mark and LF line ends", "\xEF\xBB\xBF" + Csv({Row(1, "0.5", "main")}, "\n"), {}, "1", 1, 1,
         Vantage::Main, 0, ""},
        {"another window's time may go back", Csv({Row(1, "9.000", "main"), Row(2, "3.000", "hook"),
                                                   Row(3, "9.000", "main")}),
         {}, "1 3", 1, 1, Vantage::Main, 0, ""},
        {"time going back in the chosen rows",
         Csv({Row(1, "9.000", "main"), Row(2, "3.000", "hook"), Row(3, "8.999", "main")}), {}, "", 0, 0, {}, 0,
         "line 4, column 2 (time_ms): 8.999 is earlier than 9.000 on line 2 (time goes backwards)"},
        {"a bad row in a run not chosen", Csv({Row(1, "0.000", "main", "X"), Row(1, "0.000", "main")}), {2, {}}, "",
         0, 0, {}, 0, "line 2, column 6 (axis): \"X\" is not V or H"},
    };
    for (const Case& c : cases) {
        for (std::size_t chunk : {std::size_t{0}, std::size_t{1}, std::size_t{7}}) {
            SCOPED_TRACE(std::string(c.name) + ", chunks of " + std::to_string(chunk));
            const TraceLoad load = Load(c.text, c.choice, chunk);
            EXPECT_EQ(load.problem, c.problem);
            EXPECT_EQ(Seqs(load), c.seqs);
            EXPECT_FALSE(load.partialLastLine);
            if (!*c.problem) {
                EXPECT_EQ(load.pick.run, c.run);
                EXPECT_EQ(load.pick.runs, c.runs);
                EXPECT_EQ(load.pick.vantage, c.window);
                EXPECT_EQ(load.lostSkipped, c.lost);
            }
        }
    }
}

TEST(ReplayTrace, RowsThatDoNotParseNameTheirLineAndColumn) {
    const struct Case {
        std::string row;
        const char* problem;  // empty: the row loads
    } cases[] = {
        {Row(1, "1.000", "main") + ",", "line 3 has 26 fields, not 25"},
        {"1,2,3", "line 3 has 3 fields, not 25"},
        {Row(-1, "1.000", "main"), "line 3, column 1 (seq): \"-1\" is not a sequence number"},
        {Row(1, "1.2345", "main"), "line 3, column 2 (time_ms): \"1.2345\" is not a time in ms (up to three decimals)"},
        {Row(1, "-", "main"), "line 3, column 2 (time_ms): \"-\" is not a time in ms (up to three decimals)"},
        {Row(1, ".5", "main"), "line 3, column 2 (time_ms): \".5\" is not a time in ms (up to three decimals)"},
        {Row(1, "1.000", "mainx"), "line 3, column 5 (window): \"mainx\" is not main, analysis, hook or raw"},
        {Row(1, "1.000", "main", "v"), "line 3, column 6 (axis): \"v\" is not V or H"},
        {Row(1, "1.000", "main", "V", "32768"),
         "line 3, column 7 (delta): \"32768\" is not a whole number from -32768 to 32767"},
        {Row(1, "1.000", "main", "V", "-32769"),
         "line 3, column 7 (delta): \"-32769\" is not a whole number from -32768 to 32767"},
        {Row(1, "1.000", "main", "V", "1.5"),
         "line 3, column 7 (delta): \"1.5\" is not a whole number from -32768 to 32767"},
        {Row(1, "1.000", "main", "V", ""), "line 3, column 7 (delta): \"\" is not a whole number from -32768 to 32767"},
        {Row(1, "1.000", "main", "V", "-1", "123456789"),
         "line 3, column 15 (extra_info): \"123456789\" is not up to eight hex digits"},
        {Row(1, "1.000", "main", "V", "-1", "0000000G"),
         "line 3, column 15 (extra_info): \"0000000G\" is not up to eight hex digits"},
        {Row(1, "1.000", "main", "V", "-1", "", "00G0"), "line 3, column 17 (keys): \"00G0\" is not up to four hex digits"},
        {Row(1, "1.000", "main", "V", "-1", "", ""), "line 3, column 17 (keys): \"\" is not up to four hex digits"},
        {Row(1, "1.000", "main", "V", "-1", "", "10000"), "line 3, column 17 (keys): \"10000\" is not up to four hex digits"},
        {Lost(1, "1.000", "123456789012"), ""},  // a lost row's delta counts events
        {Row(1, "1.000", "main", "H", "-32768", "", "ffff"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        const TraceLoad load = Load(Csv({Row(1, "0.000", "main"), c.row}), {1, Vantage::Main});
        EXPECT_EQ(load.problem, c.problem);
    }
}

TEST(ReplayTrace, ReadsEveryFieldItSendsAndLeavesOutAnUnfinishedLastLine) {
    for (const char* eol : {"\n", "\r\n"}) {
        const std::string t =
            Csv({Row(10, "1234.5", "main", "H", "-32768", "FF515780", "000c", "injected", "ctrl"),
                 Row(11, "1234.501", "main", "V", "0", "", "0001", "sent"),
                 Row(12, "2000", "main", "V", "32767", "7", "8", "posted", "")},
                eol) +
            Row(13, "2001.000", "main");
        const TraceLoad load = Load(t);
        ASSERT_EQ(load.problem, "");
        EXPECT_TRUE(load.partialLastLine);
        ASSERT_EQ(load.rows.size(), 3u);
        const TraceRow& a = load.rows[0];
        EXPECT_EQ(a.seq, 10u);
        EXPECT_EQ(a.timeUs, 1234500);
        EXPECT_EQ(a.axis, WheelAxis::H);
        EXPECT_EQ(a.delta, -32768);
        EXPECT_EQ(a.extraInfo, 0xFF515780u);
        EXPECT_EQ(a.keys, 0x000C);
        EXPECT_TRUE(a.keyMismatch);
        EXPECT_EQ(a.line, 2u);
        const TraceRow& b = load.rows[1];
        EXPECT_EQ(b.timeUs, 1234501);
        EXPECT_EQ(b.delta, 0);
        EXPECT_EQ(b.extraInfo, 0u);
        EXPECT_EQ(b.keys, 1);
        EXPECT_FALSE(b.keyMismatch);
        EXPECT_EQ(load.rows[2].timeUs, 2000000);
        EXPECT_EQ(load.rows[2].extraInfo, 7u);
        EXPECT_EQ(load.rows[2].keys, 8);
    }
}

TEST(ReplayTrace, WindowNames) {
    EXPECT_EQ(VantageFromName("main"), Vantage::Main);
    EXPECT_EQ(VantageFromName("Analysis"), Vantage::Analysis);
    EXPECT_EQ(VantageFromName("HOOK"), Vantage::Hook);
    EXPECT_EQ(VantageFromName("raw"), Vantage::Raw);
    EXPECT_EQ(VantageFromName("raw "), std::nullopt);
    EXPECT_EQ(VantageFromName(""), std::nullopt);
}

}  // namespace
}  // namespace nl
