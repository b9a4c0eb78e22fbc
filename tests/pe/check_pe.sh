#!/usr/bin/env bash
# Checks the shipped executable's PE image with objdump: a 32-bit GUI
# program that can move (ASLR) and keeps data out of execution (DEP), with
# its relocations, importing only system DLLs, carrying its version block,
# manifest and three icon images.
set -uo pipefail
exe=${1:?usage: check_pe.sh Notchlog.exe}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
[ -f "$exe" ] || { echo "no $exe"; exit 1; }
headers=$("$objdump" -p "$exe") || { echo "$objdump cannot read $exe"; exit 1; }
failed=0
check() {  # description, then a command that succeeds when the check holds
  local what=$1
  shift
  if "$@" >/dev/null 2>&1; then echo "ok    $what"; else echo "FAIL  $what"; failed=1; fi
}
has() { grep -qE "$1" <<<"$headers"; }
flags=$((16#$(sed -n 's/^DllCharacteristics[[:space:]]*\([0-9a-fA-F]*\).*/\1/p' <<<"$headers")))
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr a-z A-Z | sort -u | tr '\n' ' ')
# Top-level entries of the resource directory are its types.
types=$(sed -n 's/^[0-9a-f]\{3\}   Entry: ID: 0x0*\([0-9a-f]*\),.*/\1/p' <<<"$headers" | tr '\n' ' ')

check "PE32 (Magic 010b)" has '^Magic[[:space:]]+010b'
check "Windows GUI subsystem" has '^Subsystem[[:space:]]+00000002'
check "DYNAMIC_BASE (ASLR)" test $((flags & 0x40)) -ne 0
check "NX_COMPAT (DEP)" test $((flags & 0x100)) -ne 0
check "large address aware" test $((16#$(sed -n 's/^Characteristics[[:space:]]*0x\([0-9a-fA-F]*\).*/\1/p' <<<"$headers") & 0x20)) -ne 0
check "a .reloc section" has 'Base Relocation Directory \[\.reloc\]'
check "imports from system DLLs only: $dlls" \
  test -z "$(tr ' ' '\n' <<<"$dlls" | grep -vxE 'KERNEL32.DLL|USER32.DLL|GDI32.DLL|ADVAPI32.DLL|MSVCRT.DLL|COMCTL32.DLL|')"
late_bound() { ! has '[[:space:]](IsWow64Process|SetDefaultDllDirectories|SetDllDirectoryW)$'; }
check "IsWow64Process and the DLL-search functions looked up at run time, not imported" late_bound
check "stack protector linked in" grep -q __stack_chk_fail "$exe"
check "version block (type 16): $types" grep -qw 10 <<<"$types"
check "manifest (type 24)" grep -qw 18 <<<"$types"
three_icons() { grep -qw e <<<"$types" && grep -A1 -E '^[0-9a-f]{3}   Entry: ID: 0x0*3,' <<<"$headers" | grep -q 'IDs: 3$'; }
check "icon group (type 14) of three images (type 3)" three_icons
exit $failed
