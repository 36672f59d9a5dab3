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

if [ -z "${DISPLAY:-}" ]; then
    echo "No X display: starting Xvfb on :91 (take screenshots with: import -display :91 -window root shot.png)."
    Xvfb :91 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    export DISPLAY=:91
    sleep 1
fi
# The program keeps its settings beside itself: it runs from build/win32/run.
exec bash tests/e2e/start_on_display.sh build/win32
