#!/usr/bin/env bash
# make soak: the long run of tests/soak under Wine on its own Xvfb display
# and in its own prefix. Takes ten minutes or more; not part of make test.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/winenv.sh

soak_exe="$NL_WINBUILD/tests/soak/notchlog_soak.exe"
[ -f "$soak_exe" ] || { echo "missing $soak_exe: run make build first" >&2; exit 1; }
prefix="$NL_ROOT/build/soak-prefix"
echo "Preparing the Wine prefix $prefix (about 15 s the first time)..."
nl_prepare_prefix "$prefix"
export WINEPREFIX="$prefix"

xvfb_pid=""
cleanup() {
  # Only what this script started: the prefix's processes and its Xvfb.
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
nl_start_xvfb
xvfb_pid=$NL_XVFB_PID
wineserver -k 2>/dev/null || true
export NOTCHLOG_EXE="$NL_WINBUILD/Notchlog.exe"
start=$(date +%s)
"$NL_WINE" "$soak_exe" </dev/null
echo "soak took $(( $(date +%s) - start )) s"
