// The one mechanism that saves the system's last error code after every
// user32/kernel32 call: wrap the call as Api(::Function(args...)). The call is
// evaluated first, then GetLastError is read before anything else can touch
// it, then the call's result is handed back unchanged.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/base/error.h"

namespace nl {

template <typename T>
inline T Api(T result) {
    SaveLastSystemError(static_cast<std::int32_t>(::GetLastError()));
    return result;
}

// For the few platform functions that return nothing.
#define NL_API_VOID(call)                                                       \
    do {                                                                        \
        call;                                                                   \
        ::nl::SaveLastSystemError(static_cast<std::int32_t>(::GetLastError())); \
    } while (0)

// A window handle as the 32-bit Long the program prints and compares. On
// 64-bit Windows user handles are sign-extended 32-bit values, so nothing
// is lost.
inline std::int32_t HandleLong(HWND h) { return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(h)); }

}  // namespace nl
