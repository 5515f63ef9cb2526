#!/usr/bin/env bash
# make test with every 32-bit program run by qemu-i386, as on a machine whose
# kernel runs none. Where the kernel does run them, this happens in a private
# user and mount namespace with a binfmt_misc of its own (Linux 6.7 and
# later), so nothing else on the machine is emulated.
set -euo pipefail
cd "$(dirname "$0")/.."
# Wine 10 crashes in every command while TMPDIR names a folder; the bed
# (tests/win32/wine-env.sh) keeps it from Wine, and nothing here needs it.
unset TMPDIR
binfmt=/proc/sys/fs/binfmt_misc
if [ -e "$binfmt/qemu-i386" ] && grep -q '^enabled' "$binfmt/qemu-i386"; then
    exec make test
fi
namespace=(unshare --user --map-root-user --mount --propagation private)
own_binfmt="mount -t binfmt_misc binfmt_misc $binfmt"
if ! "${namespace[@]}" sh -c "$own_binfmt" 2>/dev/null; then
    echo "test-emulated: no user namespace with a binfmt_misc of its own here (needs Linux 6.7 or later; this is $(uname -r))" >&2
    exit 1
fi
exec "${namespace[@]}" sh -c "$own_binfmt && TARVIX_PRIVATE_BINFMT=1 tools/install-deps.sh --emulate && make test"
