#!/bin/bash
# Runs a command as on a machine whose kernel starts 64-bit programs only, for trying
# the test road such machines take on one that runs both: in a mount namespace of its
# own, Wine's 32-bit loader and server and the i386 dynamic loader are replaced by a
# program that fails as the kernel would ("Exec format error"), and SABLEWICK_RUNS_32BIT
# is "no" (the probe's own static test program would still start). As root.
#
# usage: tools/as-64bit-only.sh COMMAND [ARGUMENTS...]
#   e.g. tools/as-64bit-only.sh bash tools/test.sh
set -eu
if [ $# -lt 1 ]; then
    echo "usage: $0 COMMAND [ARGUMENTS...]" >&2
    exit 2
fi
refuse=$(mktemp "${TMPDIR:-/tmp}/refuse32.XXXXXX")
trap 'rm -f "$refuse"' EXIT
printf '#!/bin/sh\necho "$0: cannot execute binary file: Exec format error" >&2\nexit 126\n' >"$refuse"
chmod +x "$refuse"
export SABLEWICK_RUNS_32BIT=no
export SABLEWICK_32BIT_WHY="tools/as-64bit-only.sh: 32-bit programs are refused"
unshare -m bash -c '
    refuse=$1
    shift
    for f in /usr/lib/wine/wine /usr/lib/wine/wineserver32 "$(readlink -f /lib/ld-linux.so.2)"; do
        [ -e "$f" ] && mount --bind "$refuse" "$f"
    done
    exec "$@"
' as-64bit-only "$refuse" "$@"
