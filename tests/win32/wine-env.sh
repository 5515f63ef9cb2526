#!/usr/bin/env bash
# The Wine test bed: a private WINEPREFIX under build/, its own Xvfb display,
# Japanese ANSI code page (932), no Wine debug output.
#
#   (LC_ALL=ja_JP.UTF-8 is given to Wine alone: it then uses code page 932.
#   TARVIX_WINE_LOCALE=en_US.UTF-8 runs a program with the Western code page
#   1252 instead; a program whose manifest asks for UTF-8 gets 65001.)
#
#   wine-env.sh start              start Xvfb and the prefix's wineserver
#   wine-env.sh stop               stop both
#   wine-env.sh run EXE [ARGS...]  run a Windows program in the bed (starts and
#                                  stops a bed of its own when none is running)
#
# Under qemu-i386 10 (kernels that run no 32-bit programs) the bed runs as it
# is. It ends only what it started: its prefix's server, its own Xvfb.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
state=${TARVIX_WINE_STATE:-$root/build/wine}
export WINEPREFIX=$state/prefix
export WINEARCH=win32
export WINEDEBUG=-all
# No debugger on a crash: a crashed program ends at once and its test fails.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
# Wine 10 (Debian 13) crashes in every command, wineserver included, while
# TMPDIR names a folder (Debian's libpam-tmpdir sets it at every login): the
# bed keeps its own files there, and Wine never sees it.
bed_tmp=${TMPDIR:-/tmp}
unset TMPDIR

die() { echo "wine-env: $*" >&2; exit 1; }

need() {
    command -v "$1" >/dev/null 2>&1 || die "$1 not found; run 'make deps' (or tools/install-deps.sh) first"
}

# A display number is free when no X server holds its lock or its socket:
# the socket file, and the abstract socket of the same name, which servers
# whose /tmp differs (one in a chroot) still share within a network namespace.
free_display() {
    local n sockets
    sockets=$(awk '{print $NF}' /proc/net/unix 2>/dev/null || true)
    for n in $(seq 90 130); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ] &&
            ! grep -qxF "@/tmp/.X11-unix/X$n" <<<"$sockets"; then
            echo "$n"
            return
        fi
    done
    die "no free X display number between :90 and :130"
}

set_registry() {
    timeout 300 env LC_ALL=ja_JP.UTF-8 wine reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1 ||
        die "cannot write the prefix's registry (wine reg add \"$1\" /v \"$2\")"
}

# The dialogs' faces, drawn with Windows' metrics: the IPA fonts share the
# widths of the fonts they stand in for (Wine's own choice for a missing
# face, a monospaced one, is wider and cut the labels). MS UI Gothic is also
# what Wine's system font (Tahoma in Wine 10: title bars, menus, message
# boxes) links to for Japanese, as on Japanese Windows. (A link entry of our
# own would not last: Wine rewrites them whenever the code page changes.)
# Japanese value names pass through the UTF-8 locale (set_registry).
fonts_marker=.tarvix-fonts-2
replace_fonts() {
    local key='HKCU\Software\Wine\Fonts\Replacements' face
    for face in 'ＭＳ Ｐゴシック' 'MS PGothic' 'MS UI Gothic'; do
        set_registry "$key" "$face" IPAPGothic
    done
    for face in 'ＭＳ ゴシック' 'MS Gothic'; do
        set_registry "$key" "$face" IPAGothic
    done
}

running() {
    [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null
}

start() {
    need wine
    need Xvfb
    need xprop
    mkdir -p "$state"
    if running; then
        return
    fi
    local n
    n=$(free_display)
    # -noreset: the screen keeps the work area set below when its client leaves.
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    echo ":$n" >"$state/display"
    # Every wait on X or Wine is bounded far above any seen run (Xvfb is up
    # in well under a second, a new prefix takes about a minute under qemu),
    # so that a hang fails here and not at CI's limit.
    for _ in $(seq 1 600); do
        [ -e "/tmp/.X11-unix/X$n" ] || ! kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null && break
        sleep 0.05
    done
    [ -e "/tmp/.X11-unix/X$n" ] || die "Xvfb did not start on :$n (see $state/xvfb.log)"
    export DISPLAY=":$n"
    # A taskbar's strip at the bottom, as a desktop announces it: Wine takes
    # the monitor's work area from it, so boxes are seen to keep out of it.
    timeout 60 xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA '0, 0, 1280, 994' ||
        die "cannot set the screen's work area (xprop, package x11-utils)"
    local made=0
    if [ ! -f "$WINEPREFIX/.tarvix-ready" ]; then
        echo "wine-env: creating the Wine prefix $WINEPREFIX (once)" >&2
        local status=0
        timeout 600 env LC_ALL=ja_JP.UTF-8 wineboot -i >/dev/null 2>&1 || status=$?
        [ "$status" != 124 ] || die "making the Wine prefix did not end within 10 minutes (wineboot -i)"
        # Without a window manager Wine waits ~2 s after hiding each managed window.
        set_registry 'HKCU\Software\Wine\X11 Driver' Managed N
        made=1
    fi
    # Checked apart, so that a prefix an older bed made gets them too.
    if [ ! -f "$WINEPREFIX/$fonts_marker" ]; then
        replace_fonts
        made=1
    fi
    if [ "$made" = 1 ]; then
        # The server writes the registry out as it ends.
        timeout 300 wineserver -w || die "the prefix's Wine server did not end within 5 minutes"
        touch "$WINEPREFIX/.tarvix-ready" "$WINEPREFIX/$fonts_marker"
    fi
    # Title-bar glyphs (the close box's cross) are drawn with Wine's Marlett
    # font, which this Wine looks for in the prefix's Fonts folder only.
    local marlett=/usr/share/wine/fonts/marlett.ttf fonts=$WINEPREFIX/drive_c/windows/Fonts
    if [ -f "$marlett" ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
        cp "$marlett" "$fonts/"
    fi
    wineserver -p >/dev/null 2>&1 || true
}

stop() {
    if [ -d "$WINEPREFIX" ]; then
        timeout 60 wineserver -k >/dev/null 2>&1 || true
    fi
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
        rm -f "$state/xvfb.pid" "$state/display"
    fi
}

run() {
    [ $# -ge 1 ] || die "run needs a program"
    local own=0
    if ! running; then
        start
        own=1
    fi
    export DISPLAY
    DISPLAY=$(cat "$state/display")
    # Wine leaves helper processes (explorer.exe, services) running with the
    # server; they inherit the program's output. Sent to a file, they cannot
    # hold a caller's pipe (CTest's) open after the program has ended.
    local status=0 log
    log=$(mktemp "$bed_tmp/wine-run.XXXXXX")
    timeout --kill-after=10 "${TARVIX_WINE_TIMEOUT:-600}" env LC_ALL="${TARVIX_WINE_LOCALE:-ja_JP.UTF-8}" \
        wine "$@" >"$log" 2>&1 || status=$?
    cat "$log"
    rm -f "$log"
    if [ "$own" = 1 ]; then
        stop
    fi
    return "$status"
}

case "${1:-}" in
    start) start ;;
    stop) stop ;;
    run) shift; run "$@" ;;
    *) die "usage: wine-env.sh start|stop|run EXE [ARGS...]" ;;
esac
