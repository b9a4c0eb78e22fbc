#!/usr/bin/env bash
# One end-to-end session for ctest: a Wine prefix and an Xvfb display shared
# by all end-to-end tests of one run, started once and ended once.
#
#   tools/e2e.sh setup   STATE PREFIX        start Xvfb, prepare PREFIX, keep its
#                                            wineserver up; write STATE
#   tools/e2e.sh run     STATE PREFIX EXE [ARG...]
#                                            run a Windows driver in the session
#   tools/e2e.sh cleanup STATE PREFIX        end the prefix's processes and the
#                                            Xvfb recorded in STATE
#
# NL_WINBUILD (see tools/winenv.sh) names the build whose Notchlog.exe the
# drivers start; it is passed to them as NOTCHLOG_EXE.
set -euo pipefail
source "$(dirname "$0")/winenv.sh"

die() { echo "e2e: $*" >&2; exit 1; }

# True when PID is a live (not zombie) process whose command is Xvfb.
is_our_xvfb() {
  local pid=$1
  [ -n "$pid" ] && [ -r "/proc/$pid/stat" ] || return 1
  local comm state
  comm=$(cat "/proc/$pid/comm" 2>/dev/null) || return 1
  state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) || return 1
  [ "$comm" = Xvfb ] && [ "$state" != Z ]
}

load_state() {
  local state=$1
  [ -f "$state" ] || die "no session ($state is missing): did the setup test run?"
  # shellcheck disable=SC1090
  source "$state"
  [ -n "${E2E_DISPLAY:-}" ] && [ -n "${E2E_XVFB_PID:-}" ] || die "$state is incomplete"
}

# Keeps the prefix's server running between the tests (ended by cleanup, or
# by itself ten minutes after its last client). Started here, detached from
# our output: a server that Wine starts for a test would inherit the test's
# output pipe and keep ctest waiting. Does nothing when one is running.
ensure_server() {
  WINEPREFIX=$1 wineserver -p600 </dev/null >/dev/null 2>&1 || true
}

# Runs a Windows program with its output going to the file $1; returns its
# exit code. Never into a pipe: processes that Wine starts for the prefix
# (services, the desktop) inherit the output and live on, and a pipe held
# by them would keep ctest, or $(...), waiting for its end.
run_wine() {
  local out=$1
  shift
  local rc=0
  "$NL_WINE" "$@" </dev/null >"$out" 2>&1 || rc=$?
  return $rc
}

stop_session() {
  local state=$1 prefix=$2
  if [ -d "$prefix" ]; then
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  fi
  if [ -f "$state" ]; then
    local E2E_XVFB_PID=""
    # shellcheck disable=SC1090
    source "$state"
    if is_our_xvfb "$E2E_XVFB_PID"; then
      kill "$E2E_XVFB_PID" 2>/dev/null || true
      local i
      for i in $(seq 1 100); do
        is_our_xvfb "$E2E_XVFB_PID" || break
        sleep 0.05
      done
    fi
    rm -f "$state"
  fi
}

cmd=${1:-}
[ $# -ge 3 ] || die "usage: $0 setup|run|cleanup STATE PREFIX [...]"
state=$2
prefix=$3
shift 3

case "$cmd" in
  setup)
    # A session left behind by an interrupted run is ended first.
    stop_session "$state" "$prefix"
    mkdir -p "$(dirname "$state")"
    nl_prepare_prefix "$prefix"
    nl_start_xvfb
    ensure_server "$prefix"
    {
      echo "E2E_DISPLAY=$DISPLAY"
      echo "E2E_XVFB_PID=$NL_XVFB_PID"
      echo "E2E_PREFIX=$prefix"
    } >"$state"
    echo "e2e session: DISPLAY=$DISPLAY (Xvfb pid $NL_XVFB_PID), WINEPREFIX=$prefix, $NL_WINE, $NL_WINBUILD"
    ;;

  run)
    load_state "$state"
    is_our_xvfb "$E2E_XVFB_PID" || die "the session's Xvfb (pid $E2E_XVFB_PID) is gone"
    export DISPLAY=$E2E_DISPLAY WINEPREFIX=$prefix
    # Local time far from UTC on every machine: a time stamp in UTC cannot
    # pass for local time.
    export TZ=NPT-5:45
    ensure_server "$prefix"
    export NOTCHLOG_EXE=$NL_WINBUILD/Notchlog.exe
    [ -f "$NOTCHLOG_EXE" ] || die "$NOTCHLOG_EXE is missing"
    [ $# -ge 1 ] && [ -f "$1" ] || die "run: which executable? (${1:-none given} is missing)"
    out=$(mktemp "${TMPDIR:-/tmp}/notchlog-e2e.XXXXXX")
    trap 'rm -f "$out"' EXIT
    rc=0
    run_wine "$out" "$@" || rc=$?
    cat "$out"
    exit $rc
    ;;

  cleanup)
    stop_session "$state" "$prefix"
    ;;

  *)
    die "unknown command $cmd"
    ;;
esac
