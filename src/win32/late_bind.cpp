#include "win32/late_bind.h"

#include <string>

namespace nl {

HMODULE SystemLibrary(const wchar_t* dll) {
    wchar_t dir[MAX_PATH] = {};
    const UINT n = Api(::GetSystemDirectoryW(dir, MAX_PATH));
    if (n == 0 || n >= MAX_PATH) return nullptr;
    return Api(::LoadLibraryW((std::wstring(dir) + L"\\" + dll).c_str()));
}

}  // namespace nl
