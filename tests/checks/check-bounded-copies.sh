#!/usr/bin/env bash
# Fails when the module's sources copy text into a fixed buffer without a
# bound: the unbounded C and Win32 string calls, and list/window text
# messages that take no buffer size.
#
#   check-bounded-copies.sh [SOURCE_DIR]   (default: src/ of this repository)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
dir=${1:-$root/src}

# Calls that write a whole string wherever the pointer points.
unbounded='\b(lstrcpyA?|lstrcatA?|lstrcpyW|lstrcatW|strcpy|strcat|wcscpy|wcscat|_mbscpy|_mbscat|sprintf|vsprintf|wsprintfA?|wvsprintfA?|gets|StrCpyA?|StrCatA?)[[:space:]]*\('
# List messages that fill a buffer of unstated size. CB_GETLBTEXT is allowed only
# in control_text.cpp, which measures the text first.
sizeless='\b(LB_GETTEXT|CB_GETLBTEXT)\b'
sizeless_home='timedialog/control_text.cpp'

status=0
while IFS= read -r hit; do
    echo "unbounded copy: $hit"
    status=1
done < <(grep -rnE "$unbounded" "$dir" --include='*.cpp' --include='*.h' | grep -vE '^[^:]+:[0-9]+:\s*//' || true)

while IFS= read -r hit; do
    case "$hit" in
        *"$sizeless_home":*) continue ;;
    esac
    echo "sizeless text message: $hit"
    status=1
done < <(grep -rnE "$sizeless" "$dir" --include='*.cpp' --include='*.h' || true)

if [ "$status" = 0 ]; then
    echo "bounded copies: ok ($(find "$dir" -name '*.cpp' -o -name '*.h' | wc -l) files)"
fi
exit "$status"
