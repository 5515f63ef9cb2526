#!/usr/bin/env bash
# The bounded-copy check must fail on each kind of unbounded copy it names,
# and pass on bounded ones.
set -uo pipefail
check=$(cd "$(dirname "$0")" && pwd)/check-bounded-copies.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0

expect() {
    local want=$1 line=$2
    rm -rf "$work/src" && mkdir -p "$work/src"
    printf '%s\n' "$line" >"$work/src/planted.cpp"
    "$check" "$work/src" >/dev/null 2>&1
    local got=$?
    if [ "$want" = fail ] && [ "$got" = 0 ]; then echo "not caught: $line"; fail=1; fi
    if [ "$want" = pass ] && [ "$got" != 0 ]; then echo "wrongly caught: $line"; fail=1; fi
}

expect fail 'lstrcpyA(buffer, text);'
expect fail 'lstrcatA (buffer, text);'
expect fail 'strcpy(buffer, text);'
expect fail 'wsprintfA(buffer, "%d", n);'
expect fail 'sprintf(buffer, "%d", n);'
expect fail 'SendMessageA(list, CB_GETLBTEXT, i, (LPARAM)buffer);'
expect fail 'SendMessageA(list, LB_GETTEXT, i, (LPARAM)buffer);'
expect pass 'lstrcpynA(buffer, text, sizeof buffer);'
expect pass 'SendMessageA(list, CB_GETLBTEXTLEN, i, 0);'
expect pass 'GetDlgItemTextA(dialog, id, buffer, sizeof buffer);'

[ "$fail" = 0 ] && echo "bounded-copy check catches what it should: ok"
exit "$fail"
