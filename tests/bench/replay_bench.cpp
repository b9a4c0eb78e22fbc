// Measures how closely a replay keeps its trace's timing: a 3,000-event
// trace with gaps of 1 to 20 ms is sent by the paced sender as SendInput
// wheel input over a bare window in a process of its own (this program,
// started again with --receiver), which stamps each arrival with the
// performance counter, one clock for every process. Reports the sender's
// error against the schedule and the arrival delay, and judges the goals;
// it exits with 0 when everything was measured, whatever the verdicts.
// Also times loading a million-row trace file.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/replay/replay_schedule.h"
#include "win32/paced_sender.h"
#include "win32/trace_file.h"

namespace {

constexpr int kEvents = 3000;
constexpr wchar_t kReceiverClass[] = L"NotchlogReplayBenchReceiver";

// What the receiver shares with the benchmark: its window and each arrival.
struct Arrivals {
    volatile LONG count;
    volatile LONG64 window;
    LONG64 ticks[kEvents];
    short delta[kEvents];
};
Arrivals* g_arrivals = nullptr;
std::vector<double> g_callMs;

LONG64 Ticks() {
    LARGE_INTEGER c{};
    ::QueryPerformanceCounter(&c);
    return c.QuadPart;
}
double TicksPerMs() {
    LARGE_INTEGER f{};
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
}

LRESULT CALLBACK ReceiverProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_MOUSEWHEEL) {
        const LONG64 now = Ticks();
        const LONG i = g_arrivals->count;
        if (i < kEvents) {
            g_arrivals->ticks[i] = now;
            g_arrivals->delta[i] = static_cast<short>(HIWORD(wp));
            ::InterlockedIncrement(&g_arrivals->count);
        }
        return 0;
    }
    if (msg == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcW(w, msg, wp, lp);
}

int Receiver(const wchar_t* mappingName) {
    const HANDLE mapping = ::OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, mappingName);
    if (!mapping) return 1;
    g_arrivals = static_cast<Arrivals*>(::MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Arrivals)));
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ReceiverProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kReceiverClass;
    if (!g_arrivals || !::RegisterClassW(&wc)) return 1;
    const HWND w = ::CreateWindowExW(0, kReceiverClass, L"Notchlog replay bench receiver",
                                     WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr,
                                     wc.hInstance, nullptr);
    if (!w) return 1;
    ::UpdateWindow(w);
    g_arrivals->window = reinterpret_cast<LONG_PTR>(w);
    MSG m{};
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) ::DispatchMessageW(&m);
    return 0;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return NAN;
    std::sort(v.begin(), v.end());
    const double at = p * static_cast<double>(v.size() - 1);
    const auto below = static_cast<std::size_t>(at);
    const double above = below + 1 < v.size() ? v[below + 1] : v[below];
    return v[below] + (above - v[below]) * (at - static_cast<double>(below));
}

// The seconds loading a million-row file takes, half of it the chosen
// window's rows.
double LoadingSeconds() {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"notchlog-replay-bench.csv";
    {
        std::string text = std::string(nl::kWheelCsvHeader) + "\r\n";
        char row[200];
        FILE* f = _wfopen(path.c_str(), L"wb");
        for (int i = 1; i <= 1000000; ++i) {
            std::snprintf(row, sizeof row,
                          "%d,%d.%03d,%d,1.000,%s,V,-30,-0.250,3,0,0,0,0.750,injected,00000000,0,0000,,100,200,100,200,"
                          "0,000100A2,\r\n",
                          i, i / 1000, i % 1000, i, i % 2 ? "main" : "hook");
            text += row;
            if (text.size() > (1 << 20) || i == 1000000) std::fwrite(text.data(), 1, text.size(), f), text.clear();
        }
        std::fclose(f);
    }
    const LONG64 t0 = Ticks();
    const nl::TraceLoad load = nl::LoadTraceFile(path, {});
    const double seconds = (Ticks() - t0) / TicksPerMs() / 1000;
    ::DeleteFileW(path.c_str());
    return load.problem.empty() && load.rows.size() == 500000 ? seconds : NAN;
}

struct Figure {
    const char* key;
    double value;
    double limit;  // NAN: reported, not judged
};

int Run(const std::wstring& json) {
    const std::wstring name = L"NotchlogReplayBench-" + std::to_wstring(::GetCurrentProcessId());
    const HANDLE mapping =
        ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Arrivals), name.c_str());
    auto* arrivals = static_cast<Arrivals*>(::MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Arrivals)));
    if (!arrivals) return std::fprintf(stderr, "replay_bench: no shared memory\n"), 1;

    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --receiver " + name;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return std::fprintf(stderr, "replay_bench: cannot start the receiver\n"), 1;
    for (int i = 0; i < 3000 && !arrivals->window; ++i) ::Sleep(10);
    const HWND receiver = reinterpret_cast<HWND>(static_cast<LONG_PTR>(arrivals->window));
    if (!receiver) return std::fprintf(stderr, "replay_bench: the receiver never showed\n"), 1;
    ::SetForegroundWindow(receiver);
    RECT r{};
    ::GetClientRect(receiver, &r);
    POINT centre{r.right / 2, r.bottom / 2};
    ::ClientToScreen(receiver, &centre);
    ::SetCursorPos(centre.x, centre.y);
    ::Sleep(200);  // let the receiver settle after showing and the pointer's move

    // The trace: gaps of 1 to 20 ms, in microseconds, from a fixed seed.
    std::vector<nl::TraceRow> rows(kEvents);
    unsigned seed = 20080523;
    const short deltas[] = {-120, -30, -15, 120, 30, 8, -240, -1};
    for (int i = 0; i < kEvents; ++i) {
        seed = seed * 1103515245u + 12345u;
        rows[i].timeUs = i == 0 ? 0 : rows[i - 1].timeUs + 1000 + static_cast<std::int64_t>((seed >> 8) % 19001);
        rows[i].delta = deltas[(seed >> 4) % 8];
    }
    const nl::ReplaySchedule schedule = nl::MakeSchedule(rows, nl::kDefaultMaxGapMs, nl::kDefaultSpeedMilli);
    std::vector<LONG64> sentTicks(kEvents);
    g_callMs.reserve(kEvents);
    nl::PacedSender sender;
    const bool started = sender.Start(schedule.dueUs, [&](std::size_t i, std::int64_t) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = MOUSEEVENTF_WHEEL;
        in.mi.mouseData = static_cast<DWORD>(static_cast<LONG>(rows[i].delta));
        sentTicks[i] = Ticks();
        const bool ok = ::SendInput(1, &in, sizeof in) == 1;
        g_callMs.push_back((Ticks() - sentTicks[i]) / TicksPerMs());
        return ok;
    });
    std::printf("Replay benchmark: %d events over %.1f s\n", kEvents, schedule.dueUs.back() / 1e6);
    std::fflush(stdout);
    if (!started || !sender.Wait()) return std::fprintf(stderr, "replay_bench: the sender did not run\n"), 1;
    for (int i = 0; i < 1000 && arrivals->count < static_cast<LONG>(sender.SentUs().size()); ++i) ::Sleep(10);

    const std::vector<std::int64_t>& sent = sender.SentUs();
    const double perMs = TicksPerMs();
    std::vector<double> sendError, arrival;
    int wrong = 0;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        sendError.push_back((sent[i] - schedule.dueUs[i]) / 1000.0);
        if (static_cast<LONG>(i) < arrivals->count) {
            arrival.push_back((arrivals->ticks[i] - sentTicks[i]) / perMs);
            wrong += arrivals->delta[i] != rows[i].delta;
        }
    }
    const double total = sent.empty() ? NAN
                                      : std::fabs(static_cast<double>((sent.back() - sent.front()) -
                                                                      (schedule.dueUs[sent.size() - 1] - schedule.dueUs[0])) /
                                                  1000.0);
    const Figure figures[] = {
        {"replay.events_sent", static_cast<double>(sent.size()), NAN},
        {"replay.events_arrived", static_cast<double>(arrivals->count), NAN},
        {"replay.deltas_changed", static_cast<double>(wrong), 0},
        {"replay.send_error_ms_median", Percentile(sendError, 0.5), 0.2},
        {"replay.send_error_ms_p99", Percentile(sendError, 0.99), 1},
        {"replay.send_error_ms_max", Percentile(sendError, 1), NAN},
        {"replay.total_error_ms", total, 5},
        {"replay.arrival_ms_median", Percentile(arrival, 0.5), NAN},
        {"replay.arrival_ms_p99", Percentile(arrival, 0.99), NAN},
        {"replay.arrival_ms_max", Percentile(arrival, 1), NAN},
        {"replay.send_input_ms_median", Percentile(g_callMs, 0.5), NAN},  // how long each call took
        {"replay.send_input_ms_p99", Percentile(g_callMs, 0.99), NAN},
        {"replay.load_1m_rows_s", LoadingSeconds(), 5},
    };
    ::PostMessageW(receiver, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(pi.hProcess, 5000);
    ::CloseHandle(pi.hProcess), ::CloseHandle(pi.hThread);

    FILE* out = _wfopen(json.c_str(), L"wb");
    if (!out) return std::fprintf(stderr, "replay_bench: cannot write the figures\n"), 1;
    std::fprintf(out, "{\n");
    std::printf("\n%-30s %10s %7s  verdict\n", "goal", "value", "limit");
    for (const Figure& f : figures) {
        const bool judged = !std::isnan(f.limit), pass = f.value <= f.limit;
        std::printf("%-30s %10.3f", f.key, f.value);
        judged ? std::printf(" %7g  %s\n", f.limit, pass ? "PASS" : "MISS") : std::printf("\n");
        if (judged) std::fprintf(out, "  \"pass.%s\": %s,\n", f.key, pass ? "true" : "false");
        std::fprintf(out, "  \"%s\": %.6g,\n", f.key, f.value);
    }
    std::fprintf(out, "  \"replay.events\": %d\n}\n", kEvents);
    return std::fclose(out) == 0 && sent.size() == kEvents && arrivals->count == kEvents ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"--receiver") return Receiver(argv[2]);
    if (argc == 3 && std::wstring(argv[1]) == L"--json") return Run(argv[2]);
    if (argc == 1) return Run(L"replay_bench.json");
    std::fprintf(stderr, "usage: replay_bench [--json FILE (replay_bench.json)]\n");
    return 2;
}
