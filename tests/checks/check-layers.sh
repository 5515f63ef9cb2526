#!/usr/bin/env bash
# Fails when an #include in the module's sources points up a layer. From the
# top: the exports (host/), the dialogs (timedialog/, dialogs/), the time
# texts (timetext/), the settings file (settings/), and at the bottom the
# module-wide state, pure logic and resources (module/, res/). A file may
# include its own layer and the ones below.
#
#   check-layers.sh [SOURCE_DIR]   (default: src/ of this repository)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
dir=${1:-$root/src}

rank() {
    case "$1" in
        host) echo 4 ;;
        timedialog | dialogs) echo 3 ;;
        timetext) echo 2 ;;
        settings) echo 1 ;;
        module | res) echo 0 ;;
        *) echo "" ;;
    esac
}

status=0
checked=0
while IFS= read -r file; do
    from=$(basename "$(dirname "$file")")
    from_rank=$(rank "$from")
    if [ -z "$from_rank" ]; then
        echo "unknown layer: $file (add its folder to check-layers.sh)"
        status=1
        continue
    fi
    while IFS= read -r line; do
        target=$(sed -nE 's/^#include "\.\.\/([^/]+)\/.*/\1/p' <<<"$line")
        [ -n "$target" ] || continue
        checked=$((checked + 1))
        to_rank=$(rank "$target")
        if [ -z "$to_rank" ] || [ "$to_rank" -gt "$from_rank" ]; then
            echo "include points up: ${file#"$dir"/}: $line"
            status=1
        fi
    done < <(grep -E '^#include "' "$file" || true)
done < <(find "$dir" -mindepth 2 -name '*.cpp' -o -mindepth 2 -name '*.h' | sort)

[ "$status" = 0 ] && echo "layers: ok ($checked includes across folders point down or sideways)"
exit "$status"
