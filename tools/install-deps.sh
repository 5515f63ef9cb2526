#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tarvix.dll need.
# As root it installs what is missing (adding the i386 architecture for
# Wine); otherwise it names the exact command to run and fails.
#
#   install-deps.sh --emulate   also have qemu-i386 run 32-bit programs where
#                               the kernel runs them itself (make test-emulated,
#                               inside its private binfmt_misc only)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binfmt=/proc/sys/fs/binfmt_misc

# Registered outside a user namespace of its own, qemu would run every 32-bit
# program of the machine until it reboots. test-emulated.sh marks the
# namespace whose binfmt_misc it mounted; the uid map shows it is not the
# machine's own.
if [ "${1:-}" = --emulate ]; then
    if [ -z "${TARVIX_PRIVATE_BINFMT:-}" ] || [ "$(awk '{print $1, $2, $3}' /proc/self/uid_map)" = "0 0 4294967295" ]; then
        echo "install-deps: --emulate acts only inside make test-emulated's private namespace; run make test-emulated" >&2
        exit 1
    fi
fi

# Names that exist on Debian 12 and 13 alike (libclang-rt-dev follows the
# default clang of each).
packages=(
    cmake make g++ clang libclang-rt-dev googletest
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    wine wine32:i386 fonts-wine xvfb xauth x11-utils fonts-ipafont-gothic
    imagemagick zip unzip python3 locales
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
if [ ${#locales_missing[@]} -gt 0 ]; then
    eval "$make_locales"
    for l in "${locales_missing[@]}"; do
        locale -a 2>/dev/null | grep -qix "$l\.utf-\?8" ||
            { echo "install-deps: locale-gen did not make $l.UTF-8 (see /etc/locale.gen)" >&2; exit 1; }
    done
fi

# Wine's 32-bit loader needs a kernel that runs 32-bit x86 programs. Where
# it runs none, qemu-i386 runs them, registered through binfmt_misc.
# (Without TMPDIR, which Wine 10 crashes on: see tests/win32/wine-env.sh.)
runs_i386() { env -u TMPDIR /usr/lib/wine/wine --version >/dev/null 2>&1; }
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
# taken from the suite that has 10 (backports on Debian 12), from the mirror
# the machine's apt uses, with a sources list of its own: the machine's
# sources and packages stay as they are.
qemu=$root/build/qemu
if [ ! -x "$qemu/qemu-i386" ]; then
    suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [ -n "$suite" ] || { echo "install-deps: /etc/os-release names no VERSION_CODENAME, so the Debian suite to take qemu-i386 from is unknown" >&2; exit 1; }
    mirror=$("$root/tools/debian-mirror.sh" "$suite")
    [ "$suite" != bookworm ] || suite=bookworm-backports
    mkdir -p "$qemu/lists/partial" "$qemu/cache"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $suite main" >"$qemu/sources.list"
    apt=(-q -o Dir::Etc::sourcelist="$qemu/sources.list" -o Dir::Etc::sourceparts=/nonexistent
         -o Dir::State::Lists="$qemu/lists" -o Dir::Cache="$qemu/cache" -o APT::Sandbox::User=root)
    apt-get "${apt[@]}" update >/dev/null
    (cd "$qemu" && apt-get "${apt[@]}" download qemu-user >/dev/null)
    deb=$(ls "$qemu"/qemu-user_*.deb)
    version=$(dpkg-deb -f "$deb" Version | sed -E 's/^[0-9]+://; s/[+~-].*//')
    if [ "${version%%.*}" -lt 10 ]; then
        rm -f "$deb"
        echo "install-deps: qemu-i386 $version from Debian $suite is older than 10, which Wine needs" >&2
        exit 1
    fi
    dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/bin/qemu-i386 >"$qemu/qemu-i386.part"
    rm -f "$deb"
    chmod +x "$qemu/qemu-i386.part"
    mv "$qemu/qemu-i386.part" "$qemu/qemu-i386"
fi
[ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
[ ! -e "$binfmt/qemu-i386" ] || echo -1 >"$binfmt/qemu-i386"
# 32-bit little-endian x86 ELF programs and shared objects, run by qemu-i386
# (opened by the kernel at registration, flag F: the file may go later).
printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu/qemu-i386"':F' \
    >"$binfmt/register"
runs_i386 || { echo "install-deps: 32-bit programs still do not run (qemu-i386 registered)" >&2; exit 1; }
echo "install-deps: 32-bit programs now run under $("$qemu/qemu-i386" --version | head -1 | sed 's/ (.*//') (build/qemu), registered with binfmt_misc"
