// The wheel test's options beyond scrolling, as a script runs them: zoom and
// a touchpad's pinch (--test-zoom) on windows that zoom in each of their
// ways; every setting a user may choose (--test-settings) on lists that read
// the stored setting again or keep the one they started with, the setting
// put back exactly at every end; and JUnit XML (--test-junit), which a
// parser on the host checks where $NOTCHLOG_JUNIT names a folder.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "driver/wheel_targets.h"
#include "driver/wheel_test_runs.h"

namespace nle2e {
namespace {

namespace fs = std::filesystem;
const wchar_t* const kDesktop = L"Control Panel\\Desktop";

std::vector<std::string> Starting(const WheelTestReport& report, const std::vector<std::string>& starts) {
    std::vector<std::string> out;
    for (const auto& line : report.Lines())
        for (const auto& start : starts)
            if (line.rfind(start, 0) == 0) out.push_back(line);
    return out;
}

// Equal but for sizes read from a picture, which may round a percent either
// way; an expected line ending in "..." is the start of the line.
bool AlikeWithin1(const std::vector<std::string>& got, const std::vector<std::string>& expected) {
    if (got.size() != expected.size()) return false;
    for (std::size_t i = 0; i < got.size(); ++i) {
        std::string a = got[i];
        std::string b = expected[i];
        if (b.size() > 3 && b.compare(b.size() - 3, 3, "...") == 0) {
            b.resize(b.size() - 3);
            a = a.substr(0, b.size());
        }
        std::size_t x = 0, y = 0;
        while (x < a.size() && y < b.size()) {
            if (std::isdigit(static_cast<unsigned char>(a[x])) && std::isdigit(static_cast<unsigned char>(b[y]))) {
                std::size_t xe = x, ye = y;
                while (xe < a.size() && std::isdigit(static_cast<unsigned char>(a[xe]))) ++xe;
                while (ye < b.size() && std::isdigit(static_cast<unsigned char>(b[ye]))) ++ye;
                if (std::abs(std::stoi(a.substr(x, xe - x)) - std::stoi(b.substr(y, ye - y))) > 1) return false;
                x = xe, y = ye;
            } else if (a[x++] != b[y++]) {
                return false;
            }
        }
        if (x != a.size() || y != b.size()) return false;
    }
    return true;
}

// A trace of `notches` notches down, 20 ms apart.
void WriteNotches(const fs::path& csv, int notches) {
    FILE* f = _wfopen(csv.wstring().c_str(), L"wb");
    ASSERT_TRUE(f);
    std::fprintf(f, "%s\r\n", kWheelCsvHeaderText.c_str());
    for (int i = 1; i <= notches; ++i)
        std::fprintf(f, "%d,%d.000,,,main,V,-120,,,,,,,injected,00000000,,0000,,,,,,,,\r\n", i, 20 * i);
    std::fclose(f);
}

std::wstring StoredSetting() {
    wchar_t text[64] = {};
    DWORD size = sizeof text;
    ::RegGetValueW(HKEY_CURRENT_USER, kDesktop, L"WheelScrollLines", RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

TEST(WheelTestZoom, GradesEachWayOfZooming) {
    const char* const kNoZoom = "Note: the window did not zoom on Ctrl+wheel, so zoom is not graded.";
    const struct {
        WheelTargetKind kind;
        std::vector<std::string> lines;  // the zoom lines, then the zoom's finding or note
        DWORD exitCode;
        int zoomLeft;  // where the target's zoom is left, in percent
    } rows[] = {
        {WheelTargetKind::Zooms,
         {"zoom,+120,,125,image %,ok", "pinch,+120,,125,image %,ok", "pinch-fine,8x+15,,125,image %,ok"}, 0, 100},
        {WheelTargetKind::ZoomsByKeyboard,
         {"zoom,+120,,125,image %,ok", "pinch,+120,,100,image %,fault", "Scrolls on a touchpad pinch instead of zooming."},
         1, 100},
        // It stops at 400%, so its steps do not lead back to 100%: left a message's step from it, at 105%
        // (which the picture may not tell from a scroll).
        {WheelTargetKind::ZoomsPerMessage,
         {"zoom,+120,,125,image %,ok", "pinch,+120,,125,image %,ok", "pinch-fine,8x+15,,400,image %,fault",
          "Zooms a step for every message of a pinch: pinching zooms far too fast.",
          "Note: the zoom could not be brought back: it is at ..."},
         1, 105},
        {WheelTargetKind::ZoomsWrongWay,
         {"zoom,+120,,80,image %,fault", "pinch,+120,,80,image %,ok", "pinch-fine,8x+15,,80,image %,ok",
          "Zooms out on Ctrl+wheel forward (the convention is in)."},
         1, 100},
        {WheelTargetKind::NoZoom, {"zoom,+120,,100,image %,info", kNoZoom, "Note: Ctrl+wheel scrolled the window."}, 0, 100},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(Narrow(WheelTargetName(r.kind)));
        WheelTarget target(r.kind);
        MoveCursor(POINT{3, 1000});
        const WheelTestReport report = RunWheelTestScript(L"--test-target " + HexForm(target.Window()) + L" --test-zoom");
        EXPECT_TRUE(AlikeWithin1(Starting(report, {"zoom,", "pinch", "Zoom", "Scrolls on a touchpad", "Note: the window did not zoom",
                                                   "Note: Ctrl+wheel", "Note: the zoom", "Ignores"}),
                                 r.lines))
            << report.text;
        std::vector<std::string> results = report.Results();
        DWORD exitCode = report.exitCode;
        ForgiveLateCatchUp(results, exitCode);
        EXPECT_EQ(exitCode, r.exitCode) << report.text;
        EXPECT_EQ(target.Zoom(), r.zoomLeft) << "where the zoom was left";
    }
}

// The lists read the stored setting themselves: this platform's own lists
// keep the value they read when they started, like a program that reads it
// once.
TEST(WheelTestSettings, AProfileOfEverySettingAndTheSettingPutBackAtEveryEnd) {
    ScopedValue stored(kDesktop, L"WheelScrollLines", std::wstring(L"3"));
    const std::string kKeeps =
        "Scrolls 3 lines per notch at every value: it ignores the setting, or keeps the value it read when it started "
        "(start it again at another setting to tell which).";
    const struct {
        WheelTargetKind kind;
        std::vector<std::string> lines;
        DWORD exitCode;
        bool atEnd = false;
    } rows[] = {
        {WheelTargetKind::ListRereadsSetting,
         {"Setting found: 3; put back: 3", "profile,lines_per_notch,observed_per_notch,unit,verdict",
          "profile,1,1,items,ok", "profile,5,5,items,ok", "profile,-1,18,items,ok"},
         0},
        // Found at its end: each setting is tried where the patterns began, with room below.
        {WheelTargetKind::ListRereadsSetting,
         {"Setting found: 3; put back: 3", "profile,lines_per_notch,observed_per_notch,unit,verdict",
          "profile,1,1,items,ok", "profile,5,5,items,ok", "profile,-1,18,items,ok",
          "Note: the target is back where it was."},
         0, true},
        {WheelTargetKind::ListKeepsSetting,
         {"Setting found: 3; put back: 3", "profile,lines_per_notch,observed_per_notch,unit,verdict",
          "profile,1,3,items,fault", "profile,5,3,items,fault", "profile,-1,3,items,info", kKeeps},
         1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(Narrow(WheelTargetName(r.kind)) + (r.atEnd ? " at its end" : ""));
        WheelTargetOptions options;
        options.atEnd = r.atEnd;
        WheelTarget target(r.kind, options);
        MoveCursor(POINT{3, 1000});
        const WheelTestReport report =
            RunWheelTestScript(L"--test-target " + HexForm(target.Window()) + L" --test-settings 1,5,-1");
        EXPECT_EQ(Starting(report, {"Setting found", "profile", "Scrolls 3 lines", r.atEnd ? "Note: the target is" : "-"}),
                  r.lines)
            << report.text;
        std::vector<std::string> results = report.Results();
        DWORD exitCode = report.exitCode;
        ForgiveLateCatchUp(results, exitCode);
        EXPECT_EQ(exitCode, r.exitCode);
        EXPECT_EQ(StoredSetting(), L"3");
    }
    // Stopped by Esc, or the target closed, while a setting is being tried: put back all the same.
    for (const bool closes : {false, true}) {
        SCOPED_TRACE(closes ? "the target closes" : "Esc");
        WheelTargetOptions options;
        if (closes) options.closeAfter = 90;  // in the first setting's patterns
        WheelTarget target(WheelTargetKind::ListRereadsSetting, options);
        WheelTestScript script(L"--test-target " + HexForm(target.Window()) + L" --test-settings 1,5,-1");
        if (!closes) {
            ASSERT_TRUE(WaitUntil([&] { return StoredSetting() != L"3" || !script.Running(); }, 60s));
            Key(VK_ESCAPE);
        }
        const WheelTestReport report = script.Wait();
        if (!closes) Key(VK_ESCAPE, true);
        EXPECT_EQ(report.LastLine(), closes ? "Result: could not test (the target was closed)" : "Result: could not test (stopped)")
            << report.text;
        EXPECT_NE(report.text.find("\r\nSetting found: 3; put back: 3\r\n"), std::string::npos) << report.text;
        EXPECT_EQ(StoredSetting(), L"3");
    }
    // A program started after the runs reads the setting as stored then, not a
    // copy for the session that the runs left behind: changed as a user would
    // edit it, a new Notchlog's replay head reads it.
    ScopedValue edited(kDesktop, L"WheelScrollLines", std::wstring(L"4"));
    const fs::path csv = fs::temp_directory_path() / "one-notch.csv";
    WriteNotches(csv, 1);
    WheelTarget list(WheelTargetKind::List);
    const WheelTestReport replay =
        WheelTestScript(L"--replay \"" + csv.wstring() + L"\" --test-target " + HexForm(list.Content()), L"--replay-report").Wait();
    EXPECT_NE(replay.text.find("\r\nPer notch: 4 lines, "), std::string::npos) << replay.text;
}

// Where $NOTCHLOG_JUNIT names a folder, the files are left there for the host's parser.
TEST(WheelTestJunit, ResultsACiDashboardReads) {
    wchar_t folder[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"NOTCHLOG_JUNIT", folder, MAX_PATH);
    const fs::path dir = n > 0 && n < MAX_PATH ? fs::path(WindowsPath(folder)) : fs::temp_directory_path();
    std::error_code e;
    fs::create_directories(dir, e);
    const fs::path test = dir / "wheel-test.xml", replay = dir / "replay.xml";
    fs::remove(test, e), fs::remove(replay, e);
    WheelTarget target(WheelTargetKind::Truncating);
    MoveCursor(POINT{3, 1000});
    const WheelTestReport report = RunWheelTestScript(L"--test-target " + HexForm(target.Window()) + L" --test-junit \"" +
                                                      test.wstring() + L"\"");
    const std::string xml = Contents(test.wstring());
    EXPECT_NE(xml.find("<testcase classname=\"notchlog.wheeltest\" name=\"sub-notch 4x-30\">\n      <failure message=\"Drops"),
              std::string::npos) << xml;
    EXPECT_NE(xml.find("<system-out>"), std::string::npos);
    // A replay of four notches into the list.
    const fs::path csv = dir / "four.csv";
    WriteNotches(csv, 4);
    WheelTarget list(WheelTargetKind::List, WheelTargetOptions{{820, 400}});
    WheelTestScript(L"--replay \"" + csv.wstring() + L"\" --test-target " + HexForm(list.Content()) + L" --test-junit \"" +
                        replay.wstring() + L"\"",
                    L"--replay-report")
        .Wait();
    EXPECT_NE(Contents(replay.wstring()).find("<testcase classname=\"notchlog.replay\" name=\"Vertical\"/>"), std::string::npos)
        << Contents(replay.wstring());
}

}  // namespace
}  // namespace nle2e
