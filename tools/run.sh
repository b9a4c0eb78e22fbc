#!/usr/bin/env bash
# `make run` (ARGS="..." for Notchlog's arguments). With a display ($DISPLAY
# set), starts Notchlog on it with those arguments and waits
# until it is closed. Without one, runs the demo on an Xvfb display of its
# own: a picture of the window goes to build/notchlog-demo.png and the
# window's message log to stdout.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/winenv.sh

prefix=$NL_ROOT/build/run-prefix
exe=$NL_WINBUILD/Notchlog.exe
demo=$NL_WINBUILD/tools/demo/notchlog_demo.exe
[ -f "$exe" ] || { echo "run: $exe is missing; run make build" >&2; exit 1; }

if [ -n "${DISPLAY:-}" ]; then
  nl_prepare_prefix "$prefix"
  exec "$NL_WINE" "$exe" "$@"
fi

[ -f "$demo" ] || { echo "run: $demo is missing; run make build" >&2; exit 1; }
bmp=$NL_ROOT/build/notchlog-demo.bmp
png=$NL_ROOT/build/notchlog-demo.png
out=$(mktemp "${TMPDIR:-/tmp}/notchlog-run.XXXXXX")
err=$(mktemp "${TMPDIR:-/tmp}/notchlog-run.XXXXXX")
NL_XVFB_PID=""
finish() {
  rm -f "$out" "$err"
  if [ -n "$NL_XVFB_PID" ]; then
    kill "$NL_XVFB_PID" 2>/dev/null || true
    wait "$NL_XVFB_PID" 2>/dev/null || true
  fi
}
trap finish EXIT

nl_prepare_prefix "$prefix"
nl_start_xvfb
echo "run: no display; running the demo on Xvfb $DISPLAY" >&2

# The output goes to files, not pipes: processes that Wine starts for the
# prefix inherit it and outlive the demo.
rc=0
NOTCHLOG_EXE=$exe "$NL_WINE" "$demo" "$bmp" </dev/null >"$out" 2>"$err" || rc=$?
cat "$err" >&2
if [ $rc -ne 0 ]; then
  echo "run: the demo failed (exit code $rc)" >&2
  exit $rc
fi

# /usr/local/bin/convert may be a stand-in; the real ImageMagick first.
convert=/usr/bin/convert
[ -x "$convert" ] || convert=$(command -v convert || true)
if [ -n "$convert" ] && "$convert" "$bmp" "$png"; then
  echo "run: picture of the window: $png" >&2
else
  echo "run: could not convert the picture; it is in $bmp" >&2
fi

echo "run: the message log:" >&2
cat "$out"
