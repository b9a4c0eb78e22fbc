#!/usr/bin/env bash
# One end-to-end session for ctest: a Wine prefix and an Xvfb display shared
# by all end-to-end tests of one run, started once and ended once.
#
#   tools/e2e.sh setup   STATE PREFIX        start Xvfb, prepare PREFIX, keep its
#                                            wineserver up; write STATE
#   tools/e2e.sh run     STATE PREFIX EXE [ARG...]
#                                            run a Windows driver in the session
#   tools/e2e.sh demo    STATE PREFIX DEMO OUT.bmp
#                                            run the demo driver and check what
#                                            it produced
#   tools/e2e.sh suites  STATE PREFIX EXE SUITE...
#                                            check that EXE has exactly these
#                                            test suites
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
[ $# -ge 3 ] || die "usage: $0 setup|run|demo|suites|cleanup STATE PREFIX [...]"
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

  run|demo|suites)
    load_state "$state"
    is_our_xvfb "$E2E_XVFB_PID" || die "the session's Xvfb (pid $E2E_XVFB_PID) is gone"
    export DISPLAY=$E2E_DISPLAY WINEPREFIX=$prefix
    ensure_server "$prefix"
    export NOTCHLOG_EXE=$NL_WINBUILD/Notchlog.exe
    [ -f "$NOTCHLOG_EXE" ] || die "$NOTCHLOG_EXE is missing"
    [ $# -ge 1 ] || die "$cmd: which executable?"
    exe=$1
    shift
    [ -f "$exe" ] || die "$exe is missing"
    out=$(mktemp "${TMPDIR:-/tmp}/notchlog-e2e.XXXXXX")
    trap 'rm -f "$out"' EXIT
    case "$cmd" in
      run)
        rc=0
        run_wine "$out" "$exe" "$@" || rc=$?
        cat "$out"
        exit $rc
        ;;
      demo)
        [ $# -eq 1 ] || die "demo: which BMP file?"
        bmp=$1
        rm -f "$bmp"
        rc=0
        run_wine "$out" "$exe" "$bmp" || rc=$?
        cat "$out"
        [ $rc -eq 0 ] || die "the demo failed with exit code $rc"
        [ "$(head -c 2 "$bmp" 2>/dev/null)" = BM ] || die "the demo wrote no BMP file to $bmp"
        # The log holds at least the showing of the window.
        grep -qP '^\d\d:\d\d:\d\d  hWnd=[0-9A-F]+\tuMsg=  18 wHi=0 wLo=1 lHi=0 lLo=0$' "$out" ||
          die "the demo printed no log line for the showing of the window"
        ;;
      suites)
        run_wine "$out" "$exe" --gtest_list_tests || { cat "$out"; die "$exe --gtest_list_tests failed"; }
        want=$(printf '%s\n' "$@" | sort)
        have=$(tr -d '\r' <"$out" | grep -E '^[A-Za-z0-9_/]+\.' | sed 's/\.$//' | sort)
        if [ "$want" != "$have" ]; then
          echo "registered suites:"; printf '  %s\n' $want
          echo "suites in $exe:"; printf '  %s\n' $have
          die "the registered suites and the executable's suites differ"
        fi
        echo "all $(wc -l <<<"$have") suites registered"
        ;;
    esac
    ;;

  cleanup)
    stop_session "$state" "$prefix"
    ;;

  *)
    die "unknown command $cmd"
    ;;
esac
