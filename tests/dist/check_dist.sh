#!/usr/bin/env bash
# Makes the release twice into a temporary folder and checks what a user
# downloading it relies on: the same bytes each time, exactly four files,
# the very executable that was built, checksums that verify, and Windows
# text files.
set -uo pipefail
dist=${1:?usage: check_dist.sh tools/dist.sh Notchlog.exe}
exe=$(realpath "${2:?usage: check_dist.sh tools/dist.sh Notchlog.exe}")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for run in one two; do
  "$dist" "$tmp/$run" "$exe" >"$tmp/$run.log" 2>&1 || { cat "$tmp/$run.log"; echo "FAIL  $dist"; exit 1; }
done
cd "$tmp/one"
zip=$(ls Notchlog-*-win32.zip)
failed=0
check() {  # description, then a command that succeeds when the check holds
  local what=$1
  shift
  if "$@" >/dev/null 2>&1; then echo "ok    $what"; else echo "FAIL  $what"; failed=1; fi
}
crlf_only() {  # every line ends in CR LF and no CR stands elsewhere
  unzip -p "$zip" "$1" >"$tmp/text"
  local lf cr
  lf=$(tr -cd '\n' <"$tmp/text" | wc -c)
  cr=$(tr -cd '\r' <"$tmp/text" | wc -c)
  [ "$lf" -gt 0 ] && [ "$lf" -eq "$cr" ] && ! grep -qv $'\r$' "$tmp/text"
}
same_exe() { cmp <(unzip -p "$zip" Notchlog.exe) "$exe" && cmp Notchlog.exe "$exe"; }
version=${zip#Notchlog-}
version=${version%-win32.zip}

check "archive named by the version: $zip" grep -qxE '[0-9]+\.[0-9]{2}\.[0-9]{4}' <<<"$version"
check "two runs give the same bytes" cmp "$zip" "$tmp/two/$zip"
check "exactly Notchlog.exe, README.txt, LICENSE.txt, CHANGELOG.txt" \
  test "$(zipinfo -1 "$zip" | sort | tr '\n' ' ')" = "CHANGELOG.txt LICENSE.txt Notchlog.exe README.txt "
check "the exe inside the zip and beside it is the one built" same_exe
check "SHA256SUMS covers the zip and the exe" \
  test "$(awk '{print $2}' SHA256SUMS | sort | tr '\n' ' ')" = "$zip Notchlog.exe "
check "sha256sum -c SHA256SUMS" sha256sum -c --strict SHA256SUMS
for text in README.txt LICENSE.txt CHANGELOG.txt; do
  check "$text has CR LF line ends only" crlf_only "$text"
done
title=$(unzip -p "$zip" README.txt | head -n1)
check "README.txt starts with the name and version" test "${title#$'\xef\xbb\xbf'}" = $'Notchlog '"$version"$'\r'
check "README.txt has no Markdown or build instructions left" \
  test -z "$(unzip -p "$zip" README.txt | grep -E '\*\*|`|!\[|\]\(|<!--|cmake|make (run|test|build)')"
exit $failed
