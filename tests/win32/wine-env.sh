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
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
state=${TARVIX_WINE_STATE:-$root/build/wine}
export WINEPREFIX=$state/prefix
export WINEARCH=win32
export WINEDEBUG=-all
# No debugger on a crash: a crashed program ends at once and its test fails.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
# Where the kernel runs no 32-bit programs, qemu-i386 runs Wine (see
# tools/install-deps.sh). Its default 4 GiB guest space makes every Wine
# process start in about a minute (Wine probes the whole space for free
# areas, and each probe walks qemu's page map); 2 GiB and a little more,
# enough for Wine's user space and its shared page, starts one in seconds.
# Without qemu the variable has no effect.
export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0x80800000}

die() { echo "wine-env: $*" >&2; exit 1; }

need() {
    command -v "$1" >/dev/null 2>&1 || die "$1 not found; run 'make deps' (or tools/install-deps.sh) first"
}

free_display() {
    local n
    for n in $(seq 90 130); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "$n"
            return
        fi
    done
    die "no free X display number between :90 and :130"
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
    for _ in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.05
    done
    [ -e "/tmp/.X11-unix/X$n" ] || die "Xvfb did not start (see $state/xvfb.log)"
    export DISPLAY=":$n"
    # A taskbar's strip at the bottom, as a desktop announces it: Wine takes
    # the monitor's work area from it, so boxes are seen to keep out of it.
    xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA '0, 0, 1280, 994' ||
        die "cannot set the screen's work area (xprop, package x11-utils)"
    if [ ! -f "$WINEPREFIX/.tarvix-ready" ]; then
        echo "wine-env: creating the Wine prefix $WINEPREFIX (once)" >&2
        env LC_ALL=ja_JP.UTF-8 wineboot -i >/dev/null 2>&1 || true
        # Without a window manager Wine waits ~2 s after hiding each managed window.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        # The server writes the registry out as it ends. Under emulation the
        # prefix's service processes may never let it end by itself: stop it.
        timeout 120 wineserver -w || wineserver -k
        touch "$WINEPREFIX/.tarvix-ready"
    fi
    # Title-bar glyphs (the close box's cross) are drawn with Wine's Marlett
    # font, which this Wine looks for in the prefix's Fonts folder only.
    local marlett=/usr/share/wine/fonts/marlett.ttf fonts=$WINEPREFIX/drive_c/windows/Fonts
    if [ -f "$marlett" ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
        cp "$marlett" "$fonts/"
    fi
    wineserver -p >/dev/null 2>&1 || true
    if emulated; then
        # Under emulation the desktop's explorer.exe crashes when it has to
        # wait for the RPC service to come up (and windows shared with it
        # then give X errors): have the service running first.
        if ! pgrep -f 'rpcss\.exe' >/dev/null; then
            (env LC_ALL=ja_JP.UTF-8 timeout 120 wine net start rpcss >/dev/null 2>&1 &)
            for _ in $(seq 1 240); do
                pgrep -f 'rpcss\.exe' >/dev/null && break
                sleep 0.5
            done
        fi
    fi
}

stop() {
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k >/dev/null 2>&1 || true
    fi
    # Under emulation a Wine process with a thread that never ends outlives
    # its server; left over, it would pass for the next bed's service.
    if emulated; then
        pkill -KILL -f '^/usr/bin/qemu-i386-static /usr/lib/wine/' 2>/dev/null || true
    fi
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
        rm -f "$state/xvfb.pid" "$state/display"
    fi
}

# Does 32-bit x86 code run under emulation here (qemu-i386 via binfmt_misc)?
emulated() {
    [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && grep -q '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386
}

# Did a GoogleTest program run to its end (its closing summary line)?
finished() {
    grep -aq '^\[==========\] .* ran\.' "$1"
}

# Runs the program once in the bed's locale, its output in the file $1.
# Under emulation a program can print its summary and then linger, one of
# its threads never ending: 20 s after a GoogleTest summary it is ended,
# and its status read from the summary.
run_once() {
    local log=$1 waited=0 pid limit=${TARVIX_WINE_TIMEOUT:-600}
    shift
    # A test program that hangs under emulation is tried again: give up on
    # it sooner (the longest, the endurance test, takes about 200 s there).
    if [ -z "${TARVIX_WINE_TIMEOUT:-}" ] && [ "${TARVIX_WINE_RETRY:-0}" = 1 ] && emulated; then
        limit=400
    fi
    timeout --kill-after=10 "$limit" env LC_ALL="${TARVIX_WINE_LOCALE:-ja_JP.UTF-8}" \
        wine "$@" >"$log" 2>&1 &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        if emulated && finished "$log"; then
            waited=$((waited + 1))
            if [ "$waited" -gt 40 ]; then
                pkill -KILL -P "$pid" 2>/dev/null || true
                wait "$pid" 2>/dev/null || true
                echo "wine-env: the program lingered after its summary; ended" >&2
                ! grep -aq '^\[  FAILED  \]' "$log"
                return
            fi
        fi
        sleep 0.5
    done
    wait "$pid"
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
    # Under emulation Wine's own helper processes (the desktop's explorer)
    # now and then crash, and a program whose windows it shared then dies
    # of an X error before its end. With TARVIX_WINE_RETRY=1 (the test
    # driver sets it) a test program that did not reach its summary runs
    # again on a fresh bed, up to five times in all; a program that ran
    # to its end keeps its result, passed or failed.
    local attempts=1
    if [ "${TARVIX_WINE_RETRY:-0}" = 1 ] && emulated; then
        attempts=5
    fi
    local status log attempt
    for attempt in $(seq 1 "$attempts"); do
        # Wine leaves helper processes (explorer.exe, services) running with the
        # server; they inherit the program's output. Sent to a file, they cannot
        # hold a caller's pipe (CTest's) open after the program has ended.
        status=0
        log=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
        run_once "$log" "$@" || status=$?
        cat "$log"
        if [ "$attempt" -lt "$attempts" ] && ! finished "$log"; then
            echo "wine-env: the program ended before its summary (status $status) under emulation; again on a fresh bed" >&2
            rm -f "$log"
            stop
            start
            DISPLAY=$(cat "$state/display")
            continue
        fi
        rm -f "$log"
        break
    done
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
