#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tarvix.dll need.
# As root it installs what is missing (adding the i386 architecture for
# Wine); otherwise it names the exact command to run and fails.
#
#   install-deps.sh --emulate   also have qemu-i386 run 32-bit programs where
#                               the kernel runs them itself (make test-emulated,
#                               inside its private binfmt_misc)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
    cmake make g++ clang libclang-rt-14-dev googletest
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    wine wine32:i386 fonts-wine xvfb xauth x11-utils fonts-ipafont-gothic
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

if [ "$(id -u)" != 0 ] && [ $((${#missing[@]} + ${#locales_missing[@]})) -gt 0 ]; then
    echo "Missing Debian packages or UTF-8 locales: ${missing[*]} ${locales_missing[*]}. As root, run:" >&2
    if [ ${#missing[@]} -gt 0 ]; then
        [ "$needs_i386" = 0 ] || echo "  dpkg --add-architecture i386" >&2
        echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    fi
    [ ${#locales_missing[@]} -eq 0 ] || echo "  $make_locales" >&2
    exit 1
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    [ "$needs_i386" = 0 ] || dpkg --add-architecture i386
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
[ ${#locales_missing[@]} -eq 0 ] || eval "$make_locales"

# Wine's 32-bit loader needs a kernel that runs 32-bit x86 programs. Where
# it runs none, qemu-i386 runs them, registered through binfmt_misc.
runs_i386() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
binfmt=/proc/sys/fs/binfmt_misc
if [ "${1:-}" = --emulate ]; then
    [ -e "$binfmt/qemu-i386" ] && exit 0
elif runs_i386; then
    exit 0
elif [ "$(id -u)" != 0 ]; then
    echo "This kernel runs no 32-bit programs, which Wine needs. As root, run tools/install-deps.sh" >&2
    echo "(it registers qemu-i386 with binfmt_misc)." >&2
    exit 1
fi

# qemu before 10 crashes running Wine. Only qemu-user (static binaries) is
# taken from the suite that has 10 (backports on Debian 12), with a sources
# list of its own: the machine's sources and packages stay as they are.
qemu=$root/build/qemu
. /etc/os-release
suite=$VERSION_CODENAME
[ "$suite" != bookworm ] || suite=bookworm-backports
if [ ! -x "$qemu/qemu-i386" ]; then
    mkdir -p "$qemu/lists/partial" "$qemu/cache"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian $suite main" \
        >"$qemu/sources.list"
    apt=(-q -o Dir::Etc::sourcelist="$qemu/sources.list" -o Dir::Etc::sourceparts=/nonexistent
         -o Dir::State::Lists="$qemu/lists" -o Dir::Cache="$qemu/cache" -o APT::Sandbox::User=root)
    apt-get "${apt[@]}" update >/dev/null
    (cd "$qemu" && apt-get "${apt[@]}" download qemu-user >/dev/null)
    dpkg-deb --fsys-tarfile "$qemu"/qemu-user_*.deb | tar -xO ./usr/bin/qemu-i386 >"$qemu/qemu-i386.part"
    chmod +x "$qemu/qemu-i386.part"
    mv "$qemu/qemu-i386.part" "$qemu/qemu-i386"
    rm -f "$qemu"/qemu-user_*.deb
fi
[ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
[ ! -e "$binfmt/qemu-i386" ] || echo -1 >"$binfmt/qemu-i386"
# 32-bit little-endian x86 ELF programs and shared objects, run by qemu-i386
# (opened by the kernel at registration, flag F: the file may go later).
printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu/qemu-i386"':F' \
    >"$binfmt/register"
runs_i386 || { echo "install-deps: 32-bit programs still do not run (qemu-i386 registered)" >&2; exit 1; }
echo "install-deps: 32-bit programs now run under $("$qemu/qemu-i386" --version | head -1 | sed 's/ (.*//') from Debian $suite (build/qemu), registered with binfmt_misc"
