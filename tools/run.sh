#!/usr/bin/env bash
# Builds and starts Sablewick on the current display (an Xvfb display of its own when
# there is none). Installs what it needs first (tools/setup.sh).
#
# usage: tools/run.sh [--wine | --web] [-- PROGRAM OPTIONS]
#   (default)  the native Linux program (GTK 3, build/native/sablewick); it keeps its
#              settings in ~/.config/sablewick (give "-- --dir DIR" for another folder)
#   --wine     Sablewick.exe, the Windows program, under Wine: the 32-bit one where this
#              machine runs 32-bit programs, otherwise the 64-bit one; it keeps its
#              settings beside itself in build/win32/run (or build/win64/run)
#   --web      the page, build/web/Sablewick.html, opened from the disk in Debian's
#              Chromium with a profile of its own (build/web/run-profile), where it
#              keeps its settings
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs="$(nproc 2>/dev/null || echo 2)"

wine=0
web=0
while [ $# -gt 0 ]; do
    case "$1" in
        --wine) wine=1; shift ;;
        --web) web=1; shift ;;
        --) shift; break ;;
        *) echo "usage: $0 [--wine | --web] [-- PROGRAM OPTIONS]" >&2; exit 2 ;;
    esac
done

if [ "$(id -u)" -eq 0 ]; then
    bash tools/setup.sh
else
    echo "run.sh: not root, so packages are not installed (run tools/setup.sh as root once)"
fi

if [ "$wine" -eq 1 ]; then
    # shellcheck source=tools/lib/wine.sh
    . tools/lib/wine.sh
    wine_say_32bit
    if wine_32bit_road; then
        arch=i686 build=build/win32
        echo "run.sh: starting the 32-bit Sablewick.exe ($build) under 32-bit Wine"
    else
        arch=x86_64 build=build/win64
        echo "run.sh: starting the 64-bit Sablewick.exe ($build) under 64-bit Wine ($WINE_ROAD_WHY)"
    fi
    bash tools/build-windows.sh "$arch" --target Sablewick
elif [ "$web" -eq 1 ]; then
    sh tools/build-web.sh build/web --target Sablewick sablewick_web_manifest
else
    cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build/native -j "$jobs" --target sablewick
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    # shellcheck source=tools/lib/xvfb.sh
    . tools/lib/xvfb.sh
    mkdir -p build
    xvfb_start build/run-xvfb.log || exit 1
    echo "No display: started Xvfb on $DISPLAY (take screenshots with: import -display $DISPLAY -window root shot.png)."
fi

if [ "$wine" -eq 1 ]; then
    # The program keeps its settings beside itself: it runs from its build's run folder.
    exec bash tests/e2e/start_on_display.sh "$build"
fi
if [ "$web" -eq 1 ]; then
    # Chromium's sandbox refuses to run as root; a user's browser keeps it.
    sandbox=()
    if [ "$(id -u)" -eq 0 ]; then sandbox=(--no-sandbox); fi
    exec chromium "${sandbox[@]}" --user-data-dir="$root/build/web/run-profile" \
        --no-first-run --no-default-browser-check "$@" "file://$root/build/web/Sablewick.html"
fi
exec build/native/sablewick "$@"
