#!/usr/bin/env bash
# Builds build/Notchlog.exe (32-bit, the program), the Windows-side test
# drivers, the 64-bit twin where this machine cannot run 32-bit code, and
# the native unit tests. Incremental: a second run only rebuilds what changed.
#
#   tools/build.sh --run   only what running needs: the program this machine
#                          runs (the 32-bit one, or only its 64-bit twin where
#                          32-bit code cannot run) and, without a display, the
#                          headless demo's driver. `make run` builds this.
set -euo pipefail
for_run=false
[ "${1:-}" = --run ] && for_run=true
cd "$(dirname "$0")/.."
source tools/winenv.sh

jobs=$(nproc 2>/dev/null || echo 2)

configure() {  # dir, extra cmake args...
  local dir=$1; shift
  mkdir -p "$dir"
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" "$@" >"$dir/configure.log" 2>&1 || { cat "$dir/configure.log"; exit 1; }
  fi
}

if $for_run; then
  targets=(--target Notchlog)
  [ -n "${DISPLAY:-}" ] || targets+=(--target notchlog_demo)
  if [ "$NL_WINARCH" = x86_64 ]; then
    configure build/x64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
    cmake --build build/x64 -j "$jobs" "${targets[@]}"
  else
    mkdir -p build
    configure build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
    cmake --build build -j "$jobs" "${targets[@]}"
  fi
  exit 0
fi

mkdir -p build
configure build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"

if [ "$NL_WINARCH" = x86_64 ]; then
  configure build/x64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
  cmake --build build/x64 -j "$jobs"
fi

configure build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOTCHLOG_WINBUILD="$NL_WINBUILD"
# The end-to-end tests run the drivers of the Windows build this machine can
# run: keep the native cache pointing at it, also in a folder configured
# before that was known.
if ! grep -qE "^NOTCHLOG_WINBUILD:[A-Z]*=$NL_WINBUILD\$" build/native/CMakeCache.txt; then
  cmake -S . -B build/native -DNOTCHLOG_WINBUILD="$NL_WINBUILD" >build/native/configure.log 2>&1 ||
    { cat build/native/configure.log; exit 1; }
fi
cmake --build build/native -j "$jobs"
