#!/usr/bin/env bash
# make bench: runs tarvix-bench under Wine on a copy of build/bin/Tarvix.dll
# and prints how the module's costs compare with the floor its design sets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$root/build/bench-run
rm -rf "$work"
mkdir -p "$work"
cp "$root/build/bin/Tarvix.dll" "$root/build/win32/bench/tarvix-bench.exe" "$work/"
cd "$work"
echo "Tarvix.dll against the bare profile calls (median of several runs; ratio 1.00 = nothing added):"
"$root/tests/win32/wine-env.sh" run tarvix-bench.exe "$@"
