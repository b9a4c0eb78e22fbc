#!/usr/bin/env bash
# Makes the release for Windows users: Notchlog-<version>-win32.zip holding
# Notchlog.exe, README.txt, LICENSE.txt and CHANGELOG.txt, a copy of the exe
# beside it, and SHA256SUMS over both for `sha256sum -c`. Two runs on the
# same build give the same bytes.
# Usage: tools/dist.sh [OUT_DIR [EXE]]   (defaults: dist, build/Notchlog.exe)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/dist}")
exe=$(realpath -m "${2:-$root/build/Notchlog.exe}")
[ -f "$exe" ] || { echo "dist: no $exe; run make build first" >&2; exit 1; }

# The header the version resource and the error report read it from, so the
# archive's name cannot disagree with the program.
version=$(sed -n 's/^#define NL_VERSION_TEXT "\([0-9][0-9.]*\)"[[:space:]]*$/\1/p' "$root/src/common/base/app_info.h")
[ -n "$version" ] || { echo "dist: no NL_VERSION_TEXT in src/common/base/app_info.h" >&2; exit 1; }

zip=Notchlog-$version-win32.zip
mkdir -p "$out"
python3 "$root/tools/dist.py" "$root" "$version" "$exe" "$out/$zip"
cp "$exe" "$out/Notchlog.exe"
(cd "$out" && sha256sum "$zip" Notchlog.exe >SHA256SUMS)
echo "dist: $out/$zip"
cat "$out/SHA256SUMS"
