#!/usr/bin/env bash
# Packs the built module for users: Tarvix-<version>.zip with Tarvix.dll,
# the Japanese readme (Shift-JIS, CRLF) and the license (CRLF).
#
#   make-dist.sh [OUTPUT_DIR]      default: build/dist
#
# The version is the project's (CMakeLists.txt). TARVIX_README names another
# UTF-8 readme source (the checks use it to see a bad one refused).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/build/dist}
dll=$root/build/bin/Tarvix.dll
readme=${TARVIX_README:-$root/dist/readme-ja.txt}
license=$root/LICENSE

die() { echo "make-dist: $*" >&2; exit 1; }

command -v zip >/dev/null 2>&1 || die "zip not found; run 'make deps' first"
command -v iconv >/dev/null 2>&1 || die "iconv not found"
[ -f "$dll" ] || die "$dll is not built; run 'make build' first"
[ -f "$readme" ] || die "no readme source $readme"
[ -f "$license" ] || die "no $license"

version=$(sed -nE 's/^project\(Tarvix VERSION ([0-9]+\.[0-9]+\.[0-9]+\.[0-9]+).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || die "cannot read the version from CMakeLists.txt"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# Users open these in Notepad on a Japanese Windows: CRLF line ends, and the
# readme in code page 932.
crlf() { sed -e 's/\r$//' -e 's/$/\r/' "$1"; }
if ! crlf "$readme" | iconv -f UTF-8 -t CP932 >"$stage/readme.txt"; then
    die "$readme holds text that code page 932 cannot express (or is not UTF-8)"
fi
crlf "$license" >"$stage/LICENSE.txt"
cp "$dll" "$stage/Tarvix.dll"

mkdir -p "$out"
out=$(cd "$out" && pwd)
zip_file=$out/Tarvix-$version.zip
rm -f "$zip_file"
(cd "$stage" && zip -q -X "$zip_file.part" Tarvix.dll readme.txt LICENSE.txt)
mv "$zip_file.part" "$zip_file"
echo "$zip_file"
