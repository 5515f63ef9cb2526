#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tarvix.dll need.
# As root it installs what is missing (adding the i386 architecture for
# Wine); otherwise it names the exact command to run and fails.
set -euo pipefail

packages=(
    cmake make g++ clang libclang-rt-14-dev googletest
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    wine wine32:i386 fonts-wine xvfb xauth fonts-ipafont-gothic
    imagemagick zip python3 locales
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

# Wine spells Unix file names in the locale's character set: folders with
# Japanese names need glibc's UTF-8 locales, generated from package locales.
locales_missing=()
for l in ja_JP en_US; do
    locale -a 2>/dev/null | grep -qix "$l\.utf-\?8" || locales_missing+=("$l")
done
make_locales="sed -i -E 's/^# *((ja_JP|en_US)\.UTF-8 UTF-8)/\1/' /etc/locale.gen && locale-gen"

# Wine's 32-bit loader needs a machine that runs 32-bit x86 programs. Some
# 64-bit kernels are built or booted without that; there qemu's user-mode
# emulator runs them, registered with the kernel through binfmt_misc.
runs_i386() {
    local probe=/usr/lib/wine/wine
    [ -x "$probe" ] || return 0  # nothing to try yet; asked again once Wine is in
    "$probe" --version >/dev/null 2>&1
}
i386_missing=()
if ! runs_i386; then
    installed qemu-user-static || i386_missing+=(qemu-user-static)
fi

register_i386() {
    local binfmt=/proc/sys/fs/binfmt_misc
    [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
    [ -e "$binfmt/qemu-i386" ] && echo -1 >"$binfmt/qemu-i386"
    # 32-bit little-endian x86 ELF programs and shared objects, run by
    # qemu-i386 (opened by the kernel at registration: flag F).
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
        >"$binfmt/register"
    runs_i386 || { echo "install-deps: 32-bit programs still do not run (qemu-i386 registered)" >&2; exit 1; }
    echo "install-deps: this kernel runs no 32-bit programs; qemu-i386 now runs them (Wine is slower so)"
}

if [ ${#missing[@]} -eq 0 ] && [ ${#locales_missing[@]} -gt 0 ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "Missing UTF-8 locales: ${locales_missing[*]}. As root, run:" >&2
        echo "  $make_locales" >&2
        exit 1
    fi
    eval "$make_locales"
fi

if [ ${#missing[@]} -eq 0 ] && [ ${#i386_missing[@]} -eq 0 ]; then
    runs_i386 && exit 0
    if [ "$(id -u)" != 0 ]; then
        echo "This kernel runs no 32-bit programs, which Wine needs. As root, run tools/install-deps.sh" >&2
        echo "(it registers qemu-user-static's qemu-i386 with binfmt_misc)." >&2
        exit 1
    fi
    register_i386
    exit 0
fi
missing+=("${i386_missing[@]}")

if [ "$(id -u)" != 0 ]; then
    {
        echo "Missing Debian packages: ${missing[*]}"
        echo "Install them as root with:"
        if [ "$needs_i386" = 1 ]; then
            echo "  dpkg --add-architecture i386 && apt-get update && apt-get install -y ${missing[*]}"
        else
            echo "  apt-get update && apt-get install -y ${missing[*]}"
        fi
        [ ${#locales_missing[@]} -eq 0 ] || echo "  $make_locales"
    } >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
if [ "$needs_i386" = 1 ]; then
    dpkg --add-architecture i386
fi
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
[ ${#locales_missing[@]} -eq 0 ] || eval "$make_locales"
if ! runs_i386; then
    installed qemu-user-static || DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends qemu-user-static
    register_i386
fi
