#include "win32/clipboard.h"

#include <utility>

#include "win32/api.h"

namespace nl {

namespace {
// The clipboard, held open for the object's lifetime.
class ClipboardScope {
public:
    explicit ClipboardScope(HWND owner) {
        for (int attempt = 0; attempt < 25; ++attempt) {
            if (Api(::OpenClipboard(owner))) return;
            ::Sleep(20);
        }
        Raise(kErrClipboardBusy, "Can't open Clipboard");
    }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    ~ClipboardScope() { Api(::CloseClipboard()); }
};

// Global memory until the clipboard takes it over.
class GlobalMemory {
public:
    explicit GlobalMemory(SIZE_T bytes) : h_(Api(::GlobalAlloc(GMEM_MOVEABLE, bytes))) {
        if (!h_) Raise(kErrOutOfMemory, "Out of memory");
    }
    GlobalMemory(const GlobalMemory&) = delete;
    GlobalMemory& operator=(const GlobalMemory&) = delete;
    ~GlobalMemory() {
        if (h_) Api(::GlobalFree(h_));
    }
    HGLOBAL Get() const { return h_; }
    HGLOBAL Release() { return std::exchange(h_, nullptr); }

private:
    HGLOBAL h_;
};
}  // namespace

void CopyToClipboard(HWND owner, const std::string& text) {
    const int srcLen = static_cast<int>(text.size());
    const int wideLen = srcLen == 0 ? 0 : Api(::MultiByteToWideChar(CP_ACP, 0, text.data(), srcLen, nullptr, 0));
    GlobalMemory mem((static_cast<SIZE_T>(wideLen) + 1) * sizeof(wchar_t));
    auto* dst = static_cast<wchar_t*>(Api(::GlobalLock(mem.Get())));
    if (!dst) Raise(kErrOutOfMemory, "Out of memory");
    if (wideLen > 0) Api(::MultiByteToWideChar(CP_ACP, 0, text.data(), srcLen, dst, wideLen));
    dst[wideLen] = L'\0';
    Api(::GlobalUnlock(mem.Get()));

    ClipboardScope clipboard(owner);
    Api(::EmptyClipboard());
    if (!Api(::SetClipboardData(CF_UNICODETEXT, mem.Get()))) Raise(kErrClipboardBusy, "Can't open Clipboard");
    mem.Release();  // the clipboard owns it now
}

}  // namespace nl
