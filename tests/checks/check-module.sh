#!/usr/bin/env bash
# What a host needs of Tarvix.dll's file: a PE32 DLL whose exports carry
# their undecorated names and ordinals, which imports Windows system DLLs
# only, is hardened (ASLR, no-execute data) and stays small.
set -euo pipefail
dll=${1:?usage: check-module.sh Tarvix.dll}
objdump=i686-w64-mingw32-objdump
fail=0
bad() { echo "FAIL: $*"; fail=1; }

[ -f "$dll" ] || { echo "FAIL: $dll not built"; exit 1; }
dump=$($objdump -p "$dll")

grep -q 'file format pei-i386' <<<"$($objdump -f "$dll")" || bad "not a 32-bit PE image"
grep -Eq '^\s+DLL$' <<<"$dump" || bad "not a DLL"

# Export table: exactly the three names, undecorated, with their ordinals.
# objdump lists each name with its ordinal less the table's ordinal base,
# then the name: "[   0] Tarvix", or since binutils 2.44
# "[   0] +base[   1]  0002 Tarvix" (the ordinal and the name's hint before it).
export_names() {  # objdump -p text on stdin, ordinal base as $1
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^\s*\[ *[0-9]+\]' |
        sed -E 's/^\s*\[\s*([0-9]+)\].*\s(\S+)$/\1 \2/' |
        while read -r index name; do echo "$((index + $1)) $name"; done | sort -n
}
for sample in $'\t[   0] Tarvix' $'\t[   0] +base[   1]  0002 Tarvix'; do
    [ "$(export_names 1 <<<$'[Ordinal/Name Pointer] Table\n'"$sample")" = "1 Tarvix" ] ||
        bad "the export table's line '$sample' is not read as Tarvix @1"
done
base=$(sed -nE 's/.*Ordinal Base ([0-9]+).*/\1/p' <<<"$dump" | head -1)
names=$(export_names "${base:-0}" <<<"$dump")
want=$'1 Tarvix\n2 SetMeas\n3 GetBeatAndTick'
[ "$names" = "$want" ] || bad "exports are not exactly Tarvix @1, SetMeas @2, GetBeatAndTick @3:"$'\n'"$names"

# Imports: Windows system DLLs only.
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|VERSION|SHELL32|ole32|OLEAUT32|msvcrt)\.dll$'
while read -r name; do
    [[ "$name" =~ $allowed ]] || bad "imports $name, which is not a Windows system DLL"
done < <(grep 'DLL Name:' <<<"$dump" | awk '{print $3}')

# InitCommonControls comes from COMCTL32 by ordinal 17.
sed -n '/DLL Name: COMCTL32.dll/,/^$/p' <<<"$dump" | grep -Eq '^\s+[0-9a-f]+\s+17\s+<none>' ||
    bad "COMCTL32 is not imported by ordinal 17 alone"

# Explorer is started from the system's Windows folder: on a Remote Desktop
# server GetWindowsDirectory gives an old host a private one without it.
grep -Eq '\sGetSystemWindowsDirectoryW$' <<<"$dump" || bad "GetSystemWindowsDirectoryW is not imported"
! grep -Eq '\sGetWindowsDirectory[AW]$' <<<"$dump" || bad "a GetWindowsDirectory function is imported"

# Hardening: the loader may place the module anywhere and never runs its data.
for flag in DYNAMIC_BASE NX_COMPAT; do
    sed -n '/^DllCharacteristics/,/^Size/p' <<<"$dump" | grep -q "$flag" || bad "$flag is not set"
done

# Small enough to drop beside any host.
limit=$((48 * 1024))
size=$(stat -c %s "$dll")
echo "Tarvix.dll: $size bytes ($((size / 1024)) KiB; limit $((limit / 1024)) KiB)"
[ "$size" -lt "$limit" ] || bad "Tarvix.dll is $size bytes, over $limit"
[ "$fail" = 0 ] && echo "module binary: ok"
exit "$fail"
