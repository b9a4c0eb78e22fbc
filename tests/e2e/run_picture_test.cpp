// --test-picture: a scripted wheel test or replay also draws its chart to a
// PNG file of 800 x 400 pixels; a picture that cannot be written is a note
// in the report and leaves the exit code alone; without a report the option
// is a start-up notice. Where $NOTCHLOG_PICTURES names a folder, the
// pictures are left there for a decoder other than the system's (ctest's
// e2e_pictures_decode runs ImageMagick's on them).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "driver/wheel_targets.h"
#include "driver/wheel_test_runs.h"

namespace nle2e {
namespace {

namespace fs = std::filesystem;

// The width and height in a PNG file's header: its signature, then the
// IHDR chunk first. {0, 0} when the bytes are no PNG.
std::pair<unsigned long, unsigned long> PngSize(const std::string& bytes) {
    const auto be32 = [&](std::size_t at) {
        unsigned long v = 0;
        for (std::size_t i = at; i < at + 4; ++i) v = v << 8 | static_cast<unsigned char>(bytes[i]);
        return v;
    };
    if (bytes.size() < 33 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    return {be32(16), be32(20)};
}

// The folder the pictures are left in, else none.
fs::path PictureFolder() {
    wchar_t buf[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"NOTCHLOG_PICTURES", buf, MAX_PATH);
    return n > 0 && n < MAX_PATH ? fs::path(WindowsPath(buf)) : fs::path();
}

struct Picture {
    fs::path path;
    explicit Picture(const wchar_t* name)
        : path(fs::temp_directory_path() / Format(L"notchlog-picture-%lu-%ls", ::GetCurrentProcessId(), name)) {}
    ~Picture() {
        std::error_code e;
        fs::remove(path, e);
    }
    std::wstring Option() const { return L"--test-picture \"" + path.wstring() + L"\""; }
};

// A replay trace of `notches` notches down, 25 ms apart.
fs::path TraceFile(int notches) {
    const fs::path file = fs::temp_directory_path() / Format(L"notchlog-picture-%lu.csv", ::GetCurrentProcessId());
    std::string csv = kWheelCsvHeaderText + "\r\n";
    for (int i = 0; i < notches; ++i)
        csv += Narrow(Format(L"%d,%d.000,,,main,V,-120,,,,,,,injected,00000000,,0000,,,,,,,,\r\n", i + 1, 100 + 25 * i));
    std::ofstream(file, std::ios::binary) << csv;
    return file;
}

TEST(RunPictures, AScriptedRunDrawsItsChartAndAPictureItCannotWriteIsANote) {
    const fs::path folder = PictureFolder();
    const fs::path trace = TraceFile(12);
    const std::wstring replay = L"--replay \"" + trace.wstring() + L"\" ";
    const struct {
        const char* name;  // the picture's name where it is left
        WheelTargetKind kind;
        std::wstring args;  // before the target
        const wchar_t* report;
        bool writable;
        DWORD code;  // as without a picture
    } rows[] = {
        {"wheel-test", WheelTargetKind::Truncating, L"", L"--test-report", true, 1},
        {"replay", WheelTargetKind::List, replay, L"--replay-report", true, 0},
        {"", WheelTargetKind::List, replay, L"--replay-report", false, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Picture picture(L"chart.png");
        const std::wstring option =
            r.writable ? picture.Option() : L"--test-picture Z:\\no\\such\\folder\\chart.png";
        if (*r.name && !folder.empty()) {
            std::error_code e;
            fs::remove(folder / (std::string(r.name) + ".png"), e);  // never one of an earlier run
        }
        WheelTarget target(r.kind);
        const WheelTestReport run =
            WheelTestScript(r.args + L"--test-target " + HexForm(target.Content()) + L" " + option, r.report).Wait();
        EXPECT_EQ(run.exitCode, r.code) << run.text;
        const auto lines = run.Lines();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines.back().rfind("Result: ", 0), 0u);
        const std::string note = "Note: the picture could not be written: ";
        if (!r.writable) {
            EXPECT_EQ(lines[lines.size() - 2].substr(0, note.size()), note) << run.text;
            continue;
        }
        EXPECT_EQ(run.text.find(note), std::string::npos) << run.text;
        const std::string png = Contents(picture.path.wstring());
        EXPECT_EQ(PngSize(png), (std::pair<unsigned long, unsigned long>(800, 400)));
        if (!folder.empty()) {
            fs::create_directories(folder);
            fs::copy_file(picture.path, folder / (std::string(r.name) + ".png"), fs::copy_options::overwrite_existing);
        }
    }
    std::error_code e;
    fs::remove(trace, e);
}

TEST(RunPictures, APictureWithoutAReportIsAStartUpNotice) {
    Notchlog app(L"--test-picture chart.png");
    const MessageBoxSeen box = WaitForMessageBox(app.Pid());
    const std::wstring notice = L"--test-picture needs --test-report or --replay-report\n\nNotchlog accepts:\n";
    EXPECT_EQ(box.text.substr(0, notice.size()), notice);
    Press(box, IDOK);
    EXPECT_EQ(app.Close(), 0u);
    EXPECT_FALSE(fs::exists(L"chart.png"));
}

}  // namespace
}  // namespace nle2e
