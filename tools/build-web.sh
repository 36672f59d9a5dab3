#!/bin/sh
# Builds the web program with Debian's Emscripten: one self-contained page,
# BUILD_DIR/Sablewick.html (and the platform contract test's page beside it). The
# libraries it links come first (tools/build-wasm-deps.sh). Further arguments go to
# "cmake --build" (e.g. --target Sablewick).
#
# usage: tools/build-web.sh [BUILD_DIR [CMAKE BUILD ARGUMENTS...]]   (default build/web)
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
BUILD=${1:-build/web}
[ $# -eq 0 ] || shift
case "$BUILD" in
    -*) echo "usage: $0 [BUILD_DIR [CMAKE BUILD ARGUMENTS...]]" >&2; exit 2 ;;
esac
# Two cores are shared with other builds on the machine.
JOBS=$(nproc 2>/dev/null || echo 2)
[ "$JOBS" -le 2 ] || JOBS=2

if ! command -v emcmake >/dev/null 2>&1; then
    echo "build-web: emcmake not found: run tools/setup.sh first (it installs emscripten)" >&2
    exit 1
fi
TOOLCHAIN=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
# A build folder configured for another toolchain is configured afresh: CMake would keep
# the old compilers of its cache.
if [ -f "$BUILD/CMakeCache.txt" ] &&
    ! grep -qx "CMAKE_TOOLCHAIN_FILE:[A-Z]*=$TOOLCHAIN" "$BUILD/CMakeCache.txt"; then
    echo "build-web: $BUILD was configured with another toolchain; configuring it afresh"
    rm -rf "$BUILD/CMakeCache.txt" "$BUILD/CMakeFiles"
fi

sh tools/build-wasm-deps.sh "$BUILD"
PREFIX="$(cd "$BUILD" && pwd)/deps/prefix"
# See tools/build-wasm-deps.sh: the optimizer's Node modules, and configure checks that
# run a test program in Node without fetch.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
# Emscripten's platform file searches only its own system root for libraries and
# headers, so the prefix is named to find_package directly.
emcmake cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node);--no-experimental-fetch" \
    -DCMAKE_PREFIX_PATH="$PREFIX" \
    -DJPEG_LIBRARY="$PREFIX/lib/libjpeg.a" -DJPEG_INCLUDE_DIR="$PREFIX/include" \
    -DGTest_DIR="$PREFIX/lib/cmake/GTest" >"$BUILD/configure.log" 2>&1 ||
    { tail -n 30 "$BUILD/configure.log" >&2; echo "build-web: configuring $BUILD failed (all of it in $BUILD/configure.log)" >&2; exit 1; }
cmake --build "$BUILD" -j "$JOBS" "$@"
