#include "recording/wheel_recording.h"

#include <utility>

#include "common/number_text.h"
#include "common/wheel_csv.h"
#include "system_info/system_info.h"
#include "system_info/window_queries.h"
#include "win32/api.h"
#include "win32/late_bind.h"
#include "win32/message_boxes.h"

namespace nl {

namespace {
constexpr UINT kScrollCharsQuery = 0x006C;  // SPI_GETWHEELSCROLLCHARS
constexpr unsigned kEventsView = 1;

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
    : refresher_(*this),
      capture_(WheelCapture::Sink{[this](WheelSample& s) { AddCaptured(s); },
                                  [this](std::uint64_t lost) { AddLost(lost); }},
               devices_) {}

std::wstring WheelRecording::Start(HINSTANCE instance, const std::wstring& csvPath) {
    Api(::QueryPerformanceFrequency(&frequency_));
    Api(::QueryPerformanceCounter(&origin_));
    SetSteps(GetWheelScrollLines());
    refresher_.Create(instance, "recording");
    capture_.Create(instance);
    if (csvPath.empty()) return std::wstring();
    csvPath_ = csvPath;
    std::wstring reason;
    if (!csvFile_.Open(csvPath, reason, kWheelCsvHeader))
        return L"The wheel CSV file " + csvPath + L" cannot be written to:\n" + reason +
               L"\n\nNotchlog runs without it.";
    refresher_.Update(kEventsView);  // a new file's header
    return std::wstring();
}

void WheelRecording::ReadSteps() { SetSteps(ReadWheelScrollLines()); }

void WheelRecording::SetSteps(std::int32_t lines) {
    UINT chars = 1;
    if (!Api(::SystemParametersInfoA(kScrollCharsQuery, 0, &chars, 0))) chars = 1;
    recorder_.SetSteps(lines, static_cast<std::int32_t>(chars));
}

std::int64_t WheelRecording::ElapsedUs() const {
    LARGE_INTEGER now{};
    Api(::QueryPerformanceCounter(&now));
    return TimeUs(now.QuadPart - origin_.QuadPart, frequency_.QuadPart);
}

std::uint32_t WheelRecording::TargetAt(Point16 p) {
    if (!targetCached_ || p.x != targetPoint_.x || p.y != targetPoint_.y) {
        target_ = static_cast<std::uint32_t>(HandleLong(WindowAt(p.x, p.y)));
        targetPoint_ = p;
        targetCached_ = true;
    }
    return target_;
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
        s.target = TargetAt(*s.position);
    }
    Add(s);
}

void WheelRecording::AddCaptured(WheelSample& s) {
    if (closed_) return;
    s.ticks -= origin_.QuadPart;
    s.ticksPerSecond = frequency_.QuadPart;
    if (s.position) s.target = TargetAt(*s.position);
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
    if (csvFile_.IsOpen()) {
        row_.clear();
        AppendCsvRow(row_, e, devices_);
        row_.resize(row_.size() - 2);  // the file adds its own line end
        csvFile_.Append(row_);
    }
    refresher_.Update(kEventsView);
}

void WheelRecording::SetCapture(bool on) {
    capture_.Enable(on);
    refresher_.Update(kEventsView);
}

void WheelRecording::Clear() {
    store_.Clear();
    summary_.Clear();
    refresher_.Update(kEventsView);
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

void WheelRecording::Paint(unsigned) {
    targetCached_ = false;  // windows may have moved since
    std::wstring reason;
    if (!csvFile_.Flush(reason)) csvProblem_ = reason;
    if (onChanged_) onChanged_();
}

void WheelRecording::AfterRefresh() {
    if (!csvProblem_.empty())
        MessageBoxNotice(noticeOwner_, L"Writing to the wheel CSV file " + csvPath_ + L" failed: " +
                                           std::exchange(csvProblem_, L"") +
                                           L"\nFrom now on wheel events are recorded in memory only.");
}

void WheelRecording::OnRefreshFailure(const Error* error) noexcept { ReportFailure(noticeOwner_, error); }

void WheelRecording::Close() {
    capture_.Enable(false);  // unhooked, and what the hook queued recorded
    closed_ = true;
    refresher_.Stop();
    std::wstring reason;
    csvFile_.Flush(reason);  // the last rows; nobody is left to tell
}

}  // namespace nl
