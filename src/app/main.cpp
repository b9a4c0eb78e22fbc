// Entry point: owns the frame, the recording and both windows, makes the
// main window and runs the message loop. The loop is also where key preview happens:
// the main window sees each key-down before the focused control does, and
// the analysis window gets its dialog keys (Tab).
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "analysis_window/analysis_window.h"
#include "common/base/error_boundary.h"
#include "main_window/main_window.h"
#include "recording/wheel_recording.h"
#include "wheel_test/replay_run.h"
#include "wheel_test/wheel_test_run.h"
#include "wheel_test_window/wheel_test_window.h"
#include "win32/api.h"
#include "win32/late_bind.h"
#include "win32/message_boxes.h"
#include "win32/refresh.h"

namespace {
// No DLL is to be picked up from the current directory. Both functions are
// looked up in the loaded kernel32, as older systems lack them.
void HardenDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryWFn = BOOL(WINAPI*)(LPCWSTR);
    if (auto fn = nl::LoadedSystemFunction<SetDefaultDllDirectoriesFn>("kernel32.dll", "SetDefaultDllDirectories"))
        nl::Api(fn(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */));
    if (auto fn = nl::LoadedSystemFunction<SetDllDirectoryWFn>("kernel32.dll", "SetDllDirectoryW")) nl::Api(fn(L""));
}

// The arguments after the program's name, as the C runtime split them.
std::vector<std::wstring> Arguments() {
    std::vector<std::wstring> args;
    for (int i = 1; __wargv && i < __argc; ++i) args.emplace_back(__wargv[i]);
    return args;
}

// `--test-report` or `--replay-report`: the wheel test or the replay runs
// before any window is made, and the exit code says how it went. Nothing is
// ever shown: a problem with the arguments, or a failure inside Notchlog,
// is the report's Result line.
int ScriptedRun(nl::Options options) {
    // A replay, unless settings to try make it a wheel test that says they cannot be combined.
    const bool replay = (!options.replay.file.empty() || !options.replay.reportPath.empty()) && options.testSettings.empty();
    int code = 2;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool finished = nl::Guarded(
            [&] { code = replay ? nl::RunScriptedReplay(options) : nl::RunScriptedWheelTest(options); },
            [&](const nl::Error* e) {
                const std::string what = e ? e->Description() : std::string("an unexpected failure");
                options.scriptProblem = L"Notchlog failed: " + std::wstring(what.begin(), what.end());
            });
        if (finished) break;  // else once more, to write the failure as the Result line
    }
    return code;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
    HardenDllSearch();
    const nl::Options options = nl::ParseOptions(Arguments());
    if (options.scripted) return ScriptedRun(options);  // no window at all
    // The recording starts before the main window, whose wheel messages it
    // records from the first; the analysis window is made when first opened.
    // Each frame takes in what capture queued, writes both files and lets
    // each window paint: the recording first, so the windows show its rows.
    nl::Frame frame;
    nl::WheelRecording recording;
    nl::MainWindow window(frame, recording);
    nl::AnalysisWindow analysis(frame, recording);
    frame.Join(window);  // the first: failures outside any part are told in it
    frame.Join(recording);
    frame.Join(analysis);
    // A change to the recording is painted by the frame.
    recording.Listen([&frame] { frame.Update(); });
    recording.SetFailureReport([&window](const nl::Error* e) { window.ReportError(e); });
    nl::WheelTestWindow wheelTest;
    std::wstring csvNotice;
    bool created = false;
    nl::Guarded(
        [&] {
            frame.Create(instance, "main");
            csvNotice = recording.Start(instance, options.wheelCsvPath);
            window.OnOpenAnalysis([&analysis, instance] { analysis.Open(instance); });
            window.OnOpenWheelTest([&wheelTest, instance] { wheelTest.Open(instance); });
            created = window.Create(instance, showCommand, options);
            if (!created) return;
            if (!csvNotice.empty()) nl::MessageBoxNotice(window.Handle(), csvNotice);
            if (options.captureAll) recording.SetCapture(true);  // the window shows it when opened
            if (options.analysis) analysis.Open(instance);
            if (!options.replay.file.empty())
                wheelTest.OpenForReplay(instance, nl::ChooseFromCommandLine(options), options.replay);
            else if (!options.testTarget.empty() || !options.testDelivery.empty())
                wheelTest.OpenWith(instance, nl::ChooseFromCommandLine(options));
            else if (options.wheelTest)
                wheelTest.Open(instance);
        },
        [&](const nl::Error* e) { nl::ReportFailure(window.Handle(), e); });
    if (!created) return 1;

    MSG msg{};
    for (;;) {
        const BOOL got = nl::Api(::GetMessageA(&msg, nullptr, 0, 0));
        if (got == 0 || got == -1) break;
        // Any message but the wheel may move windows.
        if (msg.message != WM_MOUSEWHEEL && msg.message != WM_MOUSEHWHEEL) recording.ForgetWindowUnderPoint();
        nl::Guarded(
            [&] {
                if (window.PreTranslate(msg) || analysis.PreTranslate(msg) || wheelTest.PreTranslate(msg)) return;
                nl::Api(::TranslateMessage(&msg));
                nl::Api(::DispatchMessageA(&msg));
            },
            [&](const nl::Error* e) { nl::ReportFailure(window.Handle(), e); });
        // The message in hand is done: a frame it made due runs now.
        nl::Guarded([&] { frame.AfterDispatch(); }, [&](const nl::Error* e) { nl::ReportFailure(window.Handle(), e); });
    }
    return static_cast<int>(msg.wParam);
}
