#!/bin/bash
# Starts a Windows build of Sablewick (32-bit or 64-bit) under the Wine of its architecture
# on the current X display, the way a user would run it: from a folder of its own
# (BUILD_DIR/run), where it keeps Orvane.ini, with a Wine prefix of the build folder that
# has the Japanese fonts.
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
ARCH=$(pe_arch "$BUILD/Sablewick.exe")
wine_use "$ARCH" || { echo "$0: the $ARCH build cannot run here: $WINE_WHY" >&2; exit 1; }
wine_env "$BUILD/wineprefix-run"
mkdir -p "$BUILD/run"
wine_prefix_prepare "$BUILD/run"
cp "$BUILD/Sablewick.exe" "$BUILD/run/Sablewick.exe"
cd "$BUILD/run"
exec "$WINE_LOADER" ./Sablewick.exe
