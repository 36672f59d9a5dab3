#!/usr/bin/env bash
# Builds and starts Sablewick on the current display (an Xvfb display of its own when
# there is none). Installs what it needs first (tools/setup.sh).
#
# usage: tools/run.sh [--wine] [-- PROGRAM OPTIONS]
#   (default)  the native Linux program (GTK 3, build/native/sablewick); it keeps its
#              settings in ~/.config/sablewick (give "-- --dir DIR" for another folder)
#   --wine     Sablewick.exe, the Windows program, under Wine; it keeps its settings
#              beside itself in build/win32/run
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs="$(nproc 2>/dev/null || echo 2)"

wine=0
while [ $# -gt 0 ]; do
    case "$1" in
        --wine) wine=1; shift ;;
        --) shift; break ;;
        *) echo "usage: $0 [--wine] [-- PROGRAM OPTIONS]" >&2; exit 2 ;;
    esac
done

if [ "$(id -u)" -eq 0 ]; then
    bash tools/setup.sh
else
    echo "run.sh: not root, so packages are not installed (run tools/setup.sh as root once)"
fi

if [ "$wine" -eq 1 ]; then
    bash tools/build-mingw-deps.sh build/win32
    cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686-posix.cmake >/dev/null
    cmake --build build/win32 -j "$jobs" --target Sablewick
else
    cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build/native -j "$jobs" --target sablewick
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting Xvfb on :91 (take screenshots with: import -display :91 -window root shot.png)."
    Xvfb :91 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    export DISPLAY=:91
    sleep 1
fi

if [ "$wine" -eq 1 ]; then
    # The program keeps its settings beside itself: it runs from build/win32/run.
    exec bash tests/e2e/start_on_display.sh build/win32
fi
exec build/native/sablewick "$@"
