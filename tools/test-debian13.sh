#!/usr/bin/env bash
# The README's two commands on a fresh Debian 13, as a new user tries them,
# on any Debian machine (as root): a minimal Debian 13 root made with
# debootstrap from this machine's mirror (build/debian13, kept for the next
# run), a fresh clone of this checkout's committed HEAD in it, and there, as
# root, make demo and make test. Packages are installed first, with the
# network; the two commands then run in a network namespace of their own, so
# that the root's X server (whose /tmp is not the machine's) cannot meet
# another on the abstract socket of the same display number.
#
# The mounts live in a private mount namespace and are undone when it ends,
# also on failure: nothing under build/ ever leads into the machine's /dev.
set -euo pipefail
checkout=$(cd "$(dirname "$0")/.." && pwd)
target=$checkout/build/debian13
say() { echo "test-debian13: $*"; }
die() { echo "test-debian13: $*" >&2; exit 1; }

if [ "${1:-}" = --inside ]; then
    mounted=()
    unmount() {
        local i
        for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[i]}" || umount -l "${mounted[i]}"; done
    }
    trap unmount EXIT
    mount -t proc proc "$target/proc" || die "cannot mount /proc in the root"
    mounted+=("$target/proc")
    for dir in /sys /dev /dev/pts /dev/shm; do
        mount --bind "$dir" "$target$dir" || die "cannot bind $dir into the root"
        mounted+=("$target$dir")
    done
    # The two commands run with TMPDIR naming a folder, as Debian's
    # libpam-tmpdir sets it at every login: Wine 10 must never see it.
    mkdir -p "$target/root/tmp"
    in_root=(chroot "$target" env -i HOME=/root TERM="${TERM:-dumb}" PATH=/usr/sbin:/usr/bin:/sbin:/bin bash -c)
    SECONDS=0
    "${in_root[@]}" 'cd /root/tarvix && tools/install-deps.sh' || die "installing the packages failed"
    say "packages installed in $((SECONDS / 60)) m $((SECONDS % 60)) s"
    for command in "make demo" "make test"; do
        SECONDS=0
        unshare --net sh -c 'ip link set lo up && exec "$@"' sh "${in_root[@]}" "cd /root/tarvix && TMPDIR=/root/tmp $command" ||
            die "$command failed in Debian 13"
        say "$command passed in Debian 13 in $((SECONDS / 60)) m $((SECONDS % 60)) s"
    done
    say "the demo's picture: build/debian13/root/tarvix/build/demo/dialog.png"
    exit 0
fi

[ "$(id -u)" = 0 ] || die "run as root: it makes a Debian root with debootstrap and mounts /proc, /sys and /dev into it"
mirror=$("$checkout/tools/debian-mirror.sh")
if ! command -v debootstrap >/dev/null; then
    say "installing debootstrap"
    apt-get update -q >/dev/null && DEBIAN_FRONTEND=noninteractive apt-get install -y -q debootstrap >/dev/null ||
        die "cannot install debootstrap"
fi
if [ ! -x "$target/usr/bin/apt-get" ]; then
    say "making a minimal Debian 13 (trixie) root from $mirror in build/debian13 (once)"
    mkdir -p "$checkout/build"
    rm -rf "$target.part"
    unshare --mount --propagation private debootstrap --variant=minbase trixie "$target.part" "$mirror" \
        >"$checkout/build/debian13.log" 2>&1 || die "debootstrap failed (see build/debian13.log)"
    mv "$target.part" "$target"
fi
cp /etc/resolv.conf "$target/etc/resolv.conf"
rm -rf "$target/root/tarvix"
git clone -q "$checkout" "$target/root/tarvix"
say "a fresh clone of $(git -C "$checkout" rev-parse --short HEAD) in build/debian13/root/tarvix"
exec unshare --mount --propagation private "$checkout/tools/test-debian13.sh" --inside
