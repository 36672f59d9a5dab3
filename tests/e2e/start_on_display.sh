#!/bin/bash
# Starts the Windows build of Sablewick under Wine on the current X display, the way a
# user would run it: from a folder of its own (build/run), where it keeps Orvane.ini,
# with a Wine prefix of the build folder that has the Japanese fonts.
#
# usage: tests/e2e/start_on_display.sh BUILD_DIR     (returns the program's exit code)
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/lib.sh
. "$HERE/lib.sh"

if [ $# -ne 1 ] || [ ! -f "$1/Sablewick.exe" ]; then
    echo "usage: $0 BUILD_DIR (with Sablewick.exe built)" >&2
    exit 2
fi
if [ -z "${DISPLAY:-}" ]; then
    echo "$0: no X display (DISPLAY is not set)" >&2
    exit 2
fi
BUILD=$(cd "$1" && pwd)
export WINEPREFIX="$BUILD/wineprefix-run"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
export LANG=C.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$BUILD/run"
wine_prefix_prepare "$BUILD/run"
cp "$BUILD/Sablewick.exe" "$BUILD/run/Sablewick.exe"
cd "$BUILD/run"
exec wine ./Sablewick.exe
