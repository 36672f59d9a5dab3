#!/bin/sh
# Builds the Windows program of one architecture with Debian's mingw-w64 posix toolchain:
#   i686    build/win32, the 32-bit program we release (it runs on every Windows)
#   x86_64  build/win64, the 64-bit one
# The libraries it links come first (tools/build-mingw-deps.sh). Further arguments go to
# "cmake --build" (e.g. --target package).
#
# usage: tools/build-windows.sh i686|x86_64 [CMAKE BUILD ARGUMENTS...]
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
if [ $# -lt 1 ]; then
    echo "usage: $0 i686|x86_64 [CMAKE BUILD ARGUMENTS...]" >&2
    exit 2
fi
ARCH=$1
shift
case "$ARCH" in
    i686) BUILD=build/win32 ;;
    x86_64) BUILD=build/win64 ;;
    *) echo "$0: unknown architecture '$ARCH' (i686 or x86_64)" >&2; exit 2 ;;
esac
TOOLCHAIN="$ROOT/cmake/mingw-$ARCH-posix.cmake"
JOBS=$(nproc 2>/dev/null || echo 2)

# A build folder configured for another toolchain is configured afresh: CMake would keep
# the old compilers of its cache.
if [ -f "$BUILD/CMakeCache.txt" ] &&
    ! grep -qx "CMAKE_TOOLCHAIN_FILE:[A-Z]*=$TOOLCHAIN" "$BUILD/CMakeCache.txt"; then
    echo "build-windows: $BUILD was configured with another toolchain; configuring it afresh"
    rm -rf "$BUILD/CMakeCache.txt" "$BUILD/CMakeFiles"
fi
bash tools/build-mingw-deps.sh "$BUILD" "$ARCH"
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" >/dev/null
cmake --build "$BUILD" -j "$JOBS" "$@"
