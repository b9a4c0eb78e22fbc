#include "recording/wheel_recording.h"

#include <utility>

#include "common/base/number_text.h"
#include "common/wheel/wheel_csv.h"
#include "system_info/system_info.h"
#include "system_info/window_queries.h"
#include "win32/api.h"
#include "win32/late_bind.h"

namespace nl {

namespace {

// Where the message being handled came from, as the system tells it
// (Windows 8 and later; Wine has it too).
struct InputMessageSource {
    DWORD deviceType;
    DWORD originId;
};
using GetCurrentInputMessageSourceFn = BOOL(WINAPI*)(InputMessageSource*);

std::optional<std::uint32_t> InputOrigin() {
    static const auto query =
        LoadedSystemFunction<GetCurrentInputMessageSourceFn>("user32.dll", "GetCurrentInputMessageSource");
    InputMessageSource source{};
    if (!query || !Api(query(&source))) return std::nullopt;
    return source.originId;
}

}  // namespace

WheelRecording::WheelRecording()
    : capture_(WheelCapture::Sink{[this](WheelSample& s) { AddCaptured(s); },
                                  [this](std::uint64_t lost) { AddLost(lost); }},
               devices_) {}

std::wstring WheelRecording::Start(HINSTANCE instance, const std::wstring& csvPath) {
    Api(::QueryPerformanceFrequency(&frequency_));
    Api(::QueryPerformanceCounter(&origin_));
    SetSteps(GetWheelScrollLines());
    capture_.Create(instance);
    if (csvPath.empty()) return std::wstring();
    csvPath_ = csvPath;
    std::wstring reason;
    if (!csvFile_.Open(csvPath, reason, kWheelCsvHeader))
        return L"The wheel CSV file " + csvPath + L" cannot be written to:\n" + reason +
               L"\n\nNotchlog runs without it.";
    Changed();  // a new file's header
    return std::wstring();
}

void WheelRecording::ReadSteps() { SetSteps(ReadWheelScrollLines()); }

void WheelRecording::SetSteps(std::int32_t lines) { recorder_.SetSteps(lines, ReadWheelScrollChars()); }

std::int64_t WheelRecording::ElapsedUs() const {
    LARGE_INTEGER now{};
    Api(::QueryPerformanceCounter(&now));
    return TimeUs(now.QuadPart - origin_.QuadPart, frequency_.QuadPart);
}

void WheelRecording::Record(Vantage vantage, UINT msg, WPARAM wp, LPARAM lp) {
    if (closed_) return;
    // Every query first, in the state the message arrived in.
    LARGE_INTEGER now{};
    Api(::QueryPerformanceCounter(&now));
    WheelSample s;
    s.source = SourceOfMessage(Api(::InSendMessage()) != FALSE, InputOrigin());
    s.vantage = vantage;
    s.axis = msg == WM_MOUSEHWHEEL ? WheelAxis::H : WheelAxis::V;
    s.delta = static_cast<std::int16_t>(HIWORD(wp));
    s.keys = LOWORD(wp);
    s.ticks = now.QuadPart - origin_.QuadPart;
    s.ticksPerSecond = frequency_.QuadPart;
    // The keys' state as of this message, both in one query: each asks the
    // system's server under Wine, which costs as much as the rest together.
    BYTE keys[256] = {};
    Api(::GetKeyboardState(keys));
    s.ctrlDown = (keys[VK_CONTROL] & 0x80) != 0;
    s.shiftDown = (keys[VK_SHIFT] & 0x80) != 0;
    s.point = PointFromWords(static_cast<std::uint32_t>(lp));
    if (s.source != InputSource::Sent) {  // these describe the last queued message
        s.msgTime = static_cast<std::uint32_t>(Api(::GetMessageTime()));
        s.extraInfo = static_cast<std::uint32_t>(Api(::GetMessageExtraInfo()));
        s.position = PointFromWords(Api(::GetMessagePos()));
        s.underPoint = static_cast<std::uint32_t>(HandleLong(windowUnder_.At(s.position->x, s.position->y)));
    }
    Add(s);
}

void WheelRecording::AddCaptured(WheelSample& s) {
    if (closed_) return;
    s.ticks -= origin_.QuadPart;
    s.ticksPerSecond = frequency_.QuadPart;
    if (s.position) s.underPoint = static_cast<std::uint32_t>(HandleLong(windowUnder_.At(s.position->x, s.position->y)));
    Add(s);
}

void WheelRecording::AddLost(std::uint64_t count) {
    LARGE_INTEGER now{};
    Api(::QueryPerformanceCounter(&now));
    Keep(recorder_.RecordLost(count, now.QuadPart - origin_.QuadPart, frequency_.QuadPart));
}

void WheelRecording::Add(const WheelSample& s) { Keep(recorder_.Record(s)); }

void WheelRecording::Keep(const StoredEvent& e) {
    store_.Add(e);
    summary_.Add(e);
    // Formatted at the frame, so a message pays only for the copy.
    if (csvFile_.IsOpen()) rowsToWrite_.push_back(e);
    Changed();
}

void WheelRecording::Changed() {
    for (const auto& listener : listeners_) listener();
}

void WheelRecording::SetCapture(bool on) {
    // Told also when turning it on failed: the view follows what it is.
    struct Tell {
        WheelRecording& r;
        ~Tell() { r.Changed(); }
    } tell{*this};
    capture_.Enable(on);
}

void WheelRecording::Clear() {
    store_.Clear();
    summary_.Clear();
    Changed();
}

std::string WheelRecording::CsvText(const std::vector<std::size_t>& rows) const {
    std::string text = kWheelCsvHeader;
    text += kCrLf;
    for (std::size_t i : rows)
        if (i < store_.size()) AppendCsvRow(text, store_[i], devices_);
    return text;
}

std::string WheelRecording::CsvTextOfAll() const {
    std::string text = kWheelCsvHeader;
    text += kCrLf;
    text.reserve(text.size() + store_.size() * 96);
    for (std::size_t i = 0; i < store_.size(); ++i) AppendCsvRow(text, store_[i], devices_);
    return text;
}

void WheelRecording::BeforeFrame() {
    if (!closed_) capture_.Drain();
}

void WheelRecording::OnFrame() {
    windowUnder_.Forget();  // windows may have moved since
    if (!csvFile_.IsOpen()) {
        rowsToWrite_.clear();
        return;
    }
    for (const StoredEvent& e : rowsToWrite_) {
        row_.clear();
        AppendCsvRow(row_, e, devices_);
        row_.resize(row_.size() - 2);  // the file adds its own line end
        csvFile_.Append(row_);
    }
    rowsToWrite_.clear();
    std::wstring reason;
    if (!csvFile_.Flush(reason))
        csvProblem_ = L"Writing to the wheel CSV file " + csvPath_ + L" failed: " + reason +
                      L"\nFrom now on wheel events are recorded in memory only.";
}

std::wstring WheelRecording::TakeCsvProblem() { return std::exchange(csvProblem_, std::wstring()); }

void WheelRecording::OnFrameFailure(const Error* error) noexcept {
    if (report_) report_(error);
}

void WheelRecording::Close() {
    capture_.Enable(false);  // unhooked, and what the hook queued recorded
    closed_ = true;
    OnFrame();  // the last rows; nobody is left to tell
}

}  // namespace nl
