#!/usr/bin/env bash
# Runs the stand-in host against build/bin/Tarvix.dll: SetMeas, Tarvix and
# GetBeatAndTick, then shows the settings file. With a usable display the
# user works the dialog; without one a virtual display is used, a position
# is typed and confirmed, and a picture of the dialog is saved.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
demo=$root/build/demo
mkdir -p "$demo"
cp "$root/build/bin/Tarvix.dll" "$root/build/bin/tarvix-host.exe" "$demo/"
rm -f "$demo/Tarvix.ini"
cd "$demo"

if [ -n "${DISPLAY:-}" ] && command -v xdpyinfo >/dev/null 2>&1 && xdpyinfo >/dev/null 2>&1; then
    echo "Display $DISPLAY: work the dialog, then press OK or Cancel."
    # Without TMPDIR: Wine 10 crashes while it names a folder (wine-env.sh).
    env -u TMPDIR WINEPREFIX="$root/build/wine/prefix" WINEARCH=win32 WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 \
        wine tarvix-host.exe --measure 12 --code 3005
else
    echo "No display: running on a virtual one and typing 24:02:240 for you."
    "$root/tests/win32/wine-env.sh" run tarvix-host.exe --measure 12 --code 3005 \
        --auto 24:02:240 --shot dialog.bmp
    convert dialog.bmp dialog.png && rm -f dialog.bmp
    echo "picture saved as build/demo/dialog.png"
fi

echo
echo "build/demo/Tarvix.ini:"
iconv -f CP932 -t UTF-8 Tarvix.ini | tr -d '\r' | sed 's/^/  /'
