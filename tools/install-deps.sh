#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tarvix.dll need.
# As root it installs what is missing (adding the i386 architecture for
# Wine); otherwise it names the exact command to run and fails.
set -euo pipefail

packages=(
    cmake make g++ clang libclang-rt-14-dev googletest
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    wine wine32:i386 fonts-wine xvfb xauth fonts-ipafont-gothic
    imagemagick zip python3
)

installed() {
    [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
needs_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || needs_i386=1

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" != 0 ]; then
    {
        echo "Missing Debian packages: ${missing[*]}"
        echo "Install them as root with:"
        if [ "$needs_i386" = 1 ]; then
            echo "  dpkg --add-architecture i386 && apt-get update && apt-get install -y ${missing[*]}"
        else
            echo "  apt-get update && apt-get install -y ${missing[*]}"
        fi
    } >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
if [ "$needs_i386" = 1 ]; then
    dpkg --add-architecture i386
fi
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
