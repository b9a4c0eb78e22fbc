#include "tested_window/zoom_reader.h"

#include <richedit.h>

#include <cstdlib>
#include <cwchar>

#include "tested_window/picture_reader.h"

namespace nl {

namespace {

constexpr UINT kAnswerMs = 2000;
constexpr std::int64_t kRestUs = 100000;  // reads that agree this long: at rest
constexpr std::int64_t kMostUs = 1000000;
constexpr DWORD kPollMs = 20;

bool IsRichEditClass(HWND w) {
    wchar_t name[64];
    return ::GetClassNameW(w, name, 64) >= 8 && _wcsnicmp(name, L"RichEdit", 8) == 0;
}

// What a rich edit tells of its view: its zoom ratio and first line shown.
struct EditView {
    INT numerator = 0, denominator = 0;
    LRESULT firstLine = 0;
    bool operator==(const EditView& o) const {
        return numerator == o.numerator && denominator == o.denominator && firstLine == o.firstLine;
    }
};

// Asks a rich edit in another process for its view. EM_GETZOOM writes
// through the pointers it is given, so they point into a buffer in that
// process (the message's parameters cross unchanged).
class EditViewAsker {
public:
    explicit EditViewAsker(HWND edit) : edit_(edit) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(edit, &pid);
        process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) memory_ = ::VirtualAllocEx(process_, nullptr, 2 * sizeof(INT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    EditViewAsker(const EditViewAsker&) = delete;
    EditViewAsker& operator=(const EditViewAsker&) = delete;
    ~EditViewAsker() {
        if (memory_) ::VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_) ::CloseHandle(process_);
    }

    // nullopt when the window does not answer, or refuses EM_GETZOOM.
    std::optional<EditView> Ask() const {
        INT ratio[2] = {-1, -1};
        if (!memory_ || !::WriteProcessMemory(process_, memory_, ratio, sizeof ratio, nullptr)) return std::nullopt;
        INT* const remote = static_cast<INT*>(memory_);
        DWORD_PTR zoomed = 0, first = 0;
        if (!::SendMessageTimeoutW(edit_, EM_GETZOOM, reinterpret_cast<WPARAM>(remote), reinterpret_cast<LPARAM>(remote + 1),
                                   SMTO_ABORTIFHUNG, kAnswerMs, &zoomed) ||
            !zoomed)
            return std::nullopt;
        SIZE_T read = 0;
        if (!::ReadProcessMemory(process_, memory_, ratio, sizeof ratio, &read) || read != sizeof ratio) return std::nullopt;
        if (!::SendMessageTimeoutW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &first))
            return std::nullopt;
        return EditView{ratio[0], ratio[1], static_cast<LRESULT>(first)};
    }

private:
    HWND edit_;
    HANDLE process_ = nullptr;
    void* memory_ = nullptr;
};

}  // namespace

struct ZoomReader::Impl {
    HWND target = nullptr;
    std::optional<EditViewAsker> edit;       // EM_GETZOOM
    std::optional<PictureReader> picture;    // else the picture
    std::optional<EditView> baseView, view;  // at the base, and as last read
    std::optional<PixelImage> basePicture;

    // Reads every kPollMs until the reads have agreed for kRestUs with the
    // target idle at the end; empty then, else why not within a second.
    std::string WaitForRest() {
        const std::int64_t start = ClockUs();
        std::int64_t runStart = 0;
        bool inRun = false;
        for (;;) {
            bool valid = false, same = false;
            if (edit) {
                const std::optional<EditView> now = edit->Ask();
                valid = now.has_value();
                same = valid && view && *now == *view;
                if (valid) view = now;
            } else {
                const PictureReader::Read read = picture->Next();
                valid = read.taken;
                same = read.sameAsLast;
            }
            const std::int64_t at = ClockUs();
            if (!valid) {
                inRun = false;
            } else {
                if (!inRun || !same) runStart = at;
                inRun = true;
                if (at - runStart >= kRestUs) {
                    const std::optional<bool> idle = WindowIdle(target);
                    if (!idle) return "the target does not answer";
                    if (*idle) return {};
                    inRun = false;  // still at work: read on
                }
            }
            if (at - start >= kMostUs) {
                if (edit) return valid ? "the zoom did not come to rest within a second" : "the zoom could not be read";
                return valid ? PictureProblemText(PictureProblem::NotAtRest) : "the screen could not be read";
            }
            ::Sleep(kPollMs);
        }
    }
};

ZoomReader::ZoomReader(const TestPlace& place) : impl_(new Impl) {
    impl_->target = place.target;
    if (IsRichEditClass(place.measured)) {
        impl_->edit.emplace(place.measured);
        if (impl_->edit->Ask()) {
            method_ = ZoomMethod::EditZoom;
            return;
        }
        impl_->edit.reset();
    }
    impl_->picture.emplace(place.measured, false);
}

ZoomReader::~ZoomReader() = default;

bool ZoomReader::Mark() {
    Impl& m = *impl_;
    m.baseView.reset();
    m.basePicture.reset();
    try {
        SyncWithWindow(m.target);
        if (m.picture) m.picture->Start();
        if (!m.WaitForRest().empty()) return false;
        if (m.edit) m.baseView = m.view;
        else if (const PixelImage* now = m.picture->Picture()) m.basePicture = *now;
        return m.baseView || m.basePicture;
    } catch (...) {  // out of memory: no base
        m.basePicture.reset();
        return false;
    }
}

ZoomReader::Reading ZoomReader::Settle() {
    Impl& m = *impl_;
    Reading out;
    try {
        SyncWithWindow(m.target);
        if (!m.baseView && !m.basePicture) {
            out.reason = "the zoom before the step could not be read";
            return out;
        }
        if (std::string restless = m.WaitForRest(); !restless.empty()) {
            out.reason = std::move(restless);
            return out;
        }
        if (m.picture) {
            const PixelImage* now = m.picture->Picture();
            if (!now) return Reading{ZoomChange::Unmeasured, std::nullopt, "the screen could not be read"};
            const ZoomRead read = ReadZoom(*m.basePicture, *now);
            return Reading{read.change, read.percent, read.reason};
        }
        const EditView &base = *m.baseView, &now = *m.view;
        const std::int32_t percent = ZoomRatioPercent(now.numerator, now.denominator, base.numerator, base.denominator);
        if (std::abs(percent - 100) >= kLeastZoomPercent) return Reading{ZoomChange::Zoomed, percent, {}};
        return Reading{now.firstLine != base.firstLine ? ZoomChange::Moved : ZoomChange::Unchanged, 100, {}};
    } catch (...) {
        return Reading{ZoomChange::Unmeasured, std::nullopt, "out of memory"};
    }
}

}  // namespace nl
