#include "common/clipboard.h"

#include "common/api.h"
#include "controls/controls.h"

namespace nl {
namespace {
HWND g_ownerWindow = nullptr;
}

void SetOwnerWindow(HWND owner) { g_ownerWindow = owner; }
HWND OwnerWindow() { return g_ownerWindow; }

void CopyToClipboard(const std::string& text) {
    ClipboardScope clipboard(g_ownerWindow);
    clipboard.Clear();
    clipboard.SetText(text);
}

VersionResource ReadOwnVersionResource() {
    HRSRC res = Api(::FindResourceA(nullptr, MAKEINTRESOURCEA(1), reinterpret_cast<LPCSTR>(RT_VERSION)));
    if (!res) return {};
    HGLOBAL data = Api(::LoadResource(nullptr, res));
    const DWORD size = Api(::SizeofResource(nullptr, res));
    const void* bytes = data ? Api(::LockResource(data)) : nullptr;
    return ParseVersionResource(static_cast<const std::uint8_t*>(bytes), size);
}

}  // namespace nl
