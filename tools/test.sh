#!/usr/bin/env bash
# Runs every test through ctest: the native unit tests (plain and under the
# sanitizers), the checks on build/Notchlog.exe's PE image, and the
# end-to-end tests of Notchlog.exe under Wine and Xvfb. With T set (make
# test T=<pattern>), only the tests whose names match the pattern run; the
# end-to-end session's setup and cleanup come along by themselves.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/winenv.sh
if [ "$NL_WINARCH" = i686 ]; then
  echo "test: the Wine tests run build/Notchlog.exe (32-bit) with $NL_WINE"
else
  echo "test: this machine cannot run 32-bit code; the Wine tests run the 64-bit twin" \
       "${NL_WINBUILD#$NL_ROOT/}/Notchlog.exe (same sources) with $NL_WINE"
fi
cd build/native
if [ -n "${T:-}" ]; then set -- -R "$T" "$@"; fi
exec ctest --output-on-failure "$@"
