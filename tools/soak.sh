#!/usr/bin/env bash
# make soak: the long run of tests/soak under Wine on its own Xvfb display
# and in its own prefix; not part of make test. With the default limit of
# 5,000,000 lines it takes about 25 minutes under Wine;
# NOTCHLOG_SOAK_MAX_LINES=1000000 make soak runs the same checks in four.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/winenv.sh

soak_exe="$NL_WINBUILD/tests/soak/notchlog_soak.exe"
[ -f "$soak_exe" ] || { echo "missing $soak_exe: run make build first" >&2; exit 1; }
nl_own_session "$NL_ROOT/build/soak-prefix"
export NOTCHLOG_EXE="$NL_WINBUILD/Notchlog.exe"
start=$(date +%s)
"$NL_WINE" "$soak_exe" </dev/null
echo "soak took $(( $(date +%s) - start )) s"
