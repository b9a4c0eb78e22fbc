// Functions looked up at run time, for those that older systems lack and
// those of libraries loaded only on first use.
#pragma once

#include <windows.h>

#include "win32/api.h"

namespace nl {

// `name` in `module` as a function of type Fn; null where the module or the
// function is missing.
template <typename Fn>
Fn LateBound(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(Api(::GetProcAddress(module, name))));
}

// The same, in a system library this process has already loaded (kernel32,
// user32); never loads a library by name.
template <typename Fn>
Fn LoadedSystemFunction(const char* dll, const char* name) {
    return LateBound<Fn>(Api(::GetModuleHandleA(dll)), name);
}

// A library from the system folder only, loaded on first use: never one
// that happens to lie in the current directory. Null when it cannot be had.
HMODULE SystemLibrary(const wchar_t* dll);

}  // namespace nl
