#!/usr/bin/env bash
# Runs the message-path benchmark (tests/bench) under Wine on its own Xvfb
# display and in its own prefix, and leaves the figures in build/bench.json
# (and the replay's in build/replay_bench.json).
# The table it prints says which goals pass; the exit code is non-zero only
# when measuring itself failed. Extra arguments go to notchlog_bench.exe
# (for instance --rounds 3, or --only steady for the steady streams alone).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/winenv.sh

bench_dir="$NL_WINBUILD/tests/bench"
bench_exe="$bench_dir/notchlog_bench.exe"
bare_exe="$bench_dir/bench_bare_window.exe"
notchlog_exe="${NOTCHLOG_BENCH_EXE:-$NL_WINBUILD/Notchlog.exe}"
json="$NL_ROOT/build/bench.json"
for f in "$bench_exe" "$bare_exe" "$notchlog_exe"; do
  [ -f "$f" ] || { echo "missing $f: run make build first" >&2; exit 1; }
done

nl_own_session "$NL_ROOT/build/bench-prefix"
rm -f "$json"

winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }
export NOTCHLOG_EXE="$notchlog_exe"
status=0
# The benchmark, the programs it starts and their wineserver all run on one
# CPU (NOTCHLOG_BENCH_CPU, empty for no pinning). Every message passes through
# the wineserver; on this virtual machine a wake-up on the other CPU costs tens
# of microseconds when that CPU is idle, so unpinned, each figure swung by
# half or more with whatever other work happened to keep the CPUs busy.
bench_cpu=${NOTCHLOG_BENCH_CPU-$(( $(nproc) - 1 ))}
echo "Wine side of the benchmark on CPU ${bench_cpu:-any}"
${bench_cpu:+taskset -c "$bench_cpu"} "$NL_WINE" "$bench_exe" --json "$(winpath "$json")" "$@" || status=$?
if [ "$status" -eq 0 ] && [ ! -s "$json" ]; then
  echo "the benchmark wrote no $json" >&2
  status=1
fi

# The wheel test's image reading, still and following a movement, and its
# zoom reading (wheeltest.image_ms, wheeltest.image_follow_ms and
# wheeltest.zoom_ms, which it prints with their goals, in its own figures
# file beside bench.json).
target_bench_exe="$bench_dir/notchlog_target_bench.exe"
target_json="$NL_ROOT/build/bench-target.json"
if [ "$status" -eq 0 ] && [ -f "$target_bench_exe" ]; then
  echo
  rm -f "$target_json"
  ${bench_cpu:+taskset -c "$bench_cpu"} "$NL_WINE" "$target_bench_exe" --json "$(winpath "$target_json")" </dev/null || status=$?
fi

# The whole wheel test against a list box (its own figures file too).
wheeltest_bench_exe="$bench_dir/notchlog_wheeltest_bench.exe"
wheeltest_json="$NL_ROOT/build/bench-wheeltest.json"
if [ "$status" -eq 0 ] && [ -f "$wheeltest_bench_exe" ]; then
  echo
  rm -f "$wheeltest_json"
  "$NL_WINE" "$wheeltest_bench_exe" --json "$(winpath "$wheeltest_json")" </dev/null || status=$?
fi

# A message burst five times the size make test sends, checked line by line
# by the end-to-end driver (NOTCHLOG_BURST_BATCHES=0 skips it).
burst_batches=${NOTCHLOG_BURST_BATCHES:-400}
e2e_exe=$NL_WINBUILD/tests/e2e/notchlog_e2e.exe
if [ "$status" -eq 0 ] && [ "$burst_batches" != 0 ] && [ -f "$e2e_exe" ]; then
  echo
  echo "message burst of $burst_batches batches (about 16 messages each):"
  burst_log=$(mktemp "${TMPDIR:-/tmp}/notchlog-burst.XXXXXX")
  start=$(date +%s)
  # Output to a file: processes Wine starts for the prefix outlive the driver.
  NOTCHLOG_BURST_BATCHES=$burst_batches "$NL_WINE" "$e2e_exe" --gtest_filter='MessageLog.MixedBurst*' \
    </dev/null >"$burst_log" 2>&1 || status=$?
  grep -E 'seed|^\[ *(OK|FAILED|PASSED) *\]' "$burst_log" || cat "$burst_log"
  echo "burst took $(( $(date +%s) - start )) s"
  rm -f "$burst_log"
fi
# The replay's timing: the paced sender against a receiving window, with
# its own figures in build/replay_bench.json; run on any CPU, since the
# sender and the receiver are meant to run side by side.
replay_exe=$bench_dir/replay_bench.exe
replay_json="$NL_ROOT/build/replay_bench.json"
if [ -f "$replay_exe" ]; then
  echo
  rm -f "$replay_json"
  "$NL_WINE" "$replay_exe" --json "$(winpath "$replay_json")" </dev/null || status=$?
fi
exit "$status"
