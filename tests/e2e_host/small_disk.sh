#!/usr/bin/env bash
# Runs a command (the end-to-end session's "run" of the full-disk suite) with
# a 64 KiB tmpfs mounted for it, named by NOTCHLOG_SMALL_DISK; unmounts it
# afterwards. Without the right to mount (not root) the test is skipped,
# loudly: exit code 77.
set -uo pipefail
dir=$(mktemp -d "${TMPDIR:-/tmp}/notchlog-small-disk.XXXXXX")
if ! why=$(mount -t tmpfs -o size=64k tmpfs "$dir" 2>&1); then
  rmdir "$dir"
  echo "SKIPPED: no small disk to fill (mount -t tmpfs needs root here): $why" >&2
  exit 77
fi
trap 'umount "$dir" 2>/dev/null || umount -l "$dir"; rmdir "$dir"' EXIT
NOTCHLOG_SMALL_DISK=$dir "$@"
