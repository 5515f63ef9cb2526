#!/usr/bin/env bash
# What `make dist` hands to users: Tarvix-<version>.zip holding exactly
# Tarvix.dll (the built one), readme.txt in code page 932 with CRLF line
# ends, and LICENSE.txt with CRLF line ends; and a readme that code page 932
# cannot express is refused instead of packed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
dll=$root/build/bin/Tarvix.dll
fail=0
bad() { echo "FAIL: $*"; fail=1; }

[ -f "$dll" ] || { echo "FAIL: $dll not built"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

version=$(sed -nE 's/^project\(Tarvix VERSION ([0-9.]+).*/\1/p' "$root/CMakeLists.txt")
# The version resource must name the same version as the zip.
commas=${version//./, }
grep -Eq "^FILEVERSION +${commas}\$" "$root/src/res/version.rc" ||
    bad "FILEVERSION in version.rc is not $commas"
grep -Eq "^PRODUCTVERSION +${commas}\$" "$root/src/res/version.rc" ||
    bad "PRODUCTVERSION in version.rc is not $commas"
grep -Fq "VALUE \"FileVersion\", \"$commas\"" "$root/src/res/version.rc" ||
    bad "FileVersion string in version.rc is not \"$commas\""

"$root/tools/make-dist.sh" "$work/out" >/dev/null
zip_file=$work/out/Tarvix-$version.zip
[ -f "$zip_file" ] || { echo "FAIL: no $zip_file (made: $(ls "$work/out"))"; exit 1; }

names=$(unzip -Z1 "$zip_file" | sort)
[ "$names" = $'LICENSE.txt\nTarvix.dll\nreadme.txt' ] ||
    bad "the zip holds"$'\n'"$names"$'\n'"instead of Tarvix.dll, readme.txt and LICENSE.txt"

unzip -p "$zip_file" Tarvix.dll >"$work/Tarvix.dll"
cmp -s "$work/Tarvix.dll" "$dll" || bad "Tarvix.dll in the zip is not build/bin/Tarvix.dll"

# Every line ends in CR LF: no LF without CR before it, no CR without LF
# after it, and the last line is ended too.
check_crlf() {
    local file=$1 name=$2
    local lf crlf cr
    lf=$(tr -cd '\n' <"$file" | wc -c)
    cr=$(tr -cd '\r' <"$file" | wc -c)
    crlf=$(grep -c $'\r$' "$file" || true)
    [ "$lf" -gt 0 ] || bad "$name is empty"
    [ "$lf" = "$crlf" ] && [ "$cr" = "$crlf" ] || bad "$name: $lf LF, $cr CR, $crlf CR LF; every line must end in CR LF"
    [ "$(tail -c 2 "$file" | od -An -tx1 | tr -d ' \n')" = "0d0a" ] || bad "$name: last line not ended by CR LF"
}

unzip -p "$zip_file" readme.txt >"$work/readme.txt"
check_crlf "$work/readme.txt" readme.txt
if iconv -f CP932 -t UTF-8 "$work/readme.txt" >"$work/readme.utf8"; then
    # Nothing lost on the way: back in UTF-8 and LF it is the source.
    tr -d '\r' <"$work/readme.utf8" | cmp -s - "$root/dist/readme-ja.txt" ||
        bad "readme.txt does not read back as dist/readme-ja.txt"
    for word in Tarvix.cal SetMeas GetBeatAndTick Tarvix.ini '[Temp]' '[MainWindow]' '[ItemTime]' '[ItemComment]'; do
        grep -Fq -- "$word" "$work/readme.utf8" || bad "readme.txt does not mention $word"
    done
    # The contacts are those the about box shows.
    for constant in kMakerMail kMakerHomePage; do
        value=$(sed -nE "s/.*$constant\[\] = \"([^\"]*)\".*/\1/p" "$root/src/res/contact.h")
        grep -Fq -- "$value" "$work/readme.utf8" || bad "readme.txt lacks $constant ($value) of contact.h"
    done
else
    bad "readme.txt is not valid code page 932"
fi

unzip -p "$zip_file" LICENSE.txt >"$work/LICENSE.txt"
check_crlf "$work/LICENSE.txt" LICENSE.txt
tr -d '\r' <"$work/LICENSE.txt" | cmp -s - "$root/LICENSE" || bad "LICENSE.txt is not LICENSE"

# A readme with a character outside code page 932 stops the packing.
printf 'Tarvix \xf0\x9f\x8e\xb5\n' >"$work/bad-readme.txt"
if TARVIX_README=$work/bad-readme.txt "$root/tools/make-dist.sh" "$work/bad" >/dev/null 2>"$work/bad.log"; then
    bad "make-dist.sh packed a readme that code page 932 cannot express"
fi
grep -q 'code page 932' "$work/bad.log" || bad "make-dist.sh failed without saying why: $(cat "$work/bad.log")"
[ -z "$(ls -A "$work/bad" 2>/dev/null)" ] || bad "make-dist.sh left $(ls "$work/bad") after failing"

[ "$fail" = 0 ] && echo "dist zip: ok ($(basename "$zip_file"))"
exit "$fail"
