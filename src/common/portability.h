// The one place for compiler-specific spellings. Everything else is plain C++17.
#pragma once

#if defined(_MSC_VER)
#define NL_NOINLINE __declspec(noinline)
#elif defined(__GNUC__)
#define NL_NOINLINE __attribute__((noinline))
#else
#define NL_NOINLINE
#endif
