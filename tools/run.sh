#!/usr/bin/env bash
# Builds Sablewick.exe and starts it under Wine on the current display (an Xvfb display
# of its own when there is none). Installs what it needs first (tools/setup.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs="$(nproc 2>/dev/null || echo 2)"

bash tools/setup.sh
bash tools/build-mingw-deps.sh build/win32
cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686-posix.cmake >/dev/null
cmake --build build/win32 -j "$jobs" --target Sablewick

export WINEPREFIX="$root/build/wineprefix-run"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
if [ -z "${DISPLAY:-}" ]; then
    echo "No display: starting Xvfb on :91 (connect a VNC viewer or take screenshots there)."
    Xvfb :91 -screen 0 1024x768x24 >/dev/null 2>&1 &
    export DISPLAY=:91
    sleep 1
fi
if [ ! -d "$WINEPREFIX" ]; then
    wineboot -i >/dev/null 2>&1 || true
    bash tests/e2e/wine_fonts.sh "$WINEPREFIX" 2>/dev/null || true
fi
# The program keeps its settings beside itself, so it runs from a folder of its own.
mkdir -p build/app
cp build/win32/Sablewick.exe build/app/
exec wine build/app/Sablewick.exe
