#!/bin/sh
# Builds the libraries the Windows targets link, from Debian's own source packages, with
# the mingw-w64 posix toolchain of one architecture (i686 or x86_64):
#   libjpeg    static, from the libjpeg-turbo source package (apt-get source)
#   GoogleTest static gtest/gtest_main, from Debian's googletest sources
# Everything goes under BUILD_DIR/deps; the libraries are installed into
# BUILD_DIR/deps/prefix, which cmake/mingw-ARCH-posix.cmake searches. Finished steps
# leave a stamp, so a second run returns at once.
#
# usage: tools/build-mingw-deps.sh BUILD_DIR [i686|x86_64]     (default i686)
set -eu

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 BUILD_DIR [i686|x86_64]" >&2
    exit 2
fi
ARCH=${2:-i686}
case "$ARCH" in
    i686 | x86_64) ;;
    *) echo "$0: unknown architecture '$ARCH' (i686 or x86_64)" >&2; exit 2 ;;
esac
ROOT=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
BUILD_DIR=$(cd "$1" && pwd)
DEPS="$BUILD_DIR/deps"
PREFIX="$DEPS/prefix"
TOOLCHAIN="$ROOT/cmake/mingw-$ARCH-posix.cmake"
mkdir -p "$DEPS" "$PREFIX"

JOBS=$(nproc 2>/dev/null || echo 2)
GENERATOR=""
if command -v ninja >/dev/null 2>&1; then GENERATOR="-G Ninja"; fi

log() { echo "build-mingw-deps: $*"; }
# shellcheck source=tools/lib/jpeg.sh
. "$ROOT/tools/lib/jpeg.sh"

# Compiler flags that change the result are part of the stamp, so a change of toolchain
# or flags rebuilds instead of silently reusing an old library.
# A build folder that held the other architecture's libraries rebuilds them too.
TOOLCHAIN_ID=$( ("$ARCH-w64-mingw32-g++-posix" --version | head -n1; cat "$TOOLCHAIN" \
    "$ROOT/cmake/mingw-posix.cmake") | cksum | cut -d' ' -f1)

# ---- libjpeg ---------------------------------------------------------------------------
# The SIMD code decodes the start's pictures several times faster; it needs nasm, which
# tools/setup.sh installs. A library built without it is built again once nasm is there.
SIMD=OFF
if command -v nasm >/dev/null 2>&1; then SIMD=ON; fi
JPEG_STAMP="$DEPS/libjpeg.$TOOLCHAIN_ID.simd-$SIMD.stamp"
if [ -f "$JPEG_STAMP" ] && [ -f "$PREFIX/lib/libjpeg.a" ]; then
    log "libjpeg: up to date"
else
    JPEG_SRC=$(jpeg_source "$DEPS" build-mingw-deps) || exit 1

    log "libjpeg: building from $(basename "$JPEG_SRC") (SIMD $SIMD)"
    rm -rf "$DEPS/libjpeg-build"
    # shellcheck disable=SC2086
    cmake -S "$JPEG_SRC" -B "$DEPS/libjpeg-build" $GENERATOR \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DSABLEWICK_DEPS_PREFIX="$PREFIX" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_TURBOJPEG=OFF -DWITH_SIMD=$SIMD -DWITH_JPEG8=OFF \
        -DWITH_CRT_DLL=ON >"$DEPS/libjpeg-configure.log" 2>&1 ||
        { tail -n 30 "$DEPS/libjpeg-configure.log" >&2; exit 1; }
    cmake --build "$DEPS/libjpeg-build" -j "$JOBS" --target jpeg-static >"$DEPS/libjpeg-build.log" 2>&1 ||
        { tail -n 30 "$DEPS/libjpeg-build.log" >&2; exit 1; }
    jpeg_install "$DEPS/libjpeg-build" "$JPEG_SRC" "$PREFIX" "$JPEG_STAMP"
    log "libjpeg: installed into $PREFIX"
fi

# ---- GoogleTest ------------------------------------------------------------------------
GTEST_STAMP="$DEPS/gtest.$TOOLCHAIN_ID.stamp"
if [ -f "$GTEST_STAMP" ] && [ -f "$PREFIX/lib/libgtest.a" ] && [ -f "$PREFIX/lib/libgtest_main.a" ]; then
    log "googletest: up to date"
else
    # Debian ships the googletest sources in /usr/src/googletest (package googletest,
    # pulled in by libgtest-dev); the source package is the fallback.
    GTEST_SRC=/usr/src/googletest
    if [ ! -f "$GTEST_SRC/CMakeLists.txt" ]; then
        SRC_CACHE="$DEPS/src"
        mkdir -p "$SRC_CACHE"
        GTEST_SRC=$(find "$SRC_CACHE" -maxdepth 1 -type d -name 'googletest-*' | head -n1)
        if [ -z "$GTEST_SRC" ]; then
            log "googletest: fetching Debian's googletest source package"
            (cd "$SRC_CACHE" && chmod 0777 . && apt-get source -q googletest)
            GTEST_SRC=$(find "$SRC_CACHE" -maxdepth 1 -type d -name 'googletest-*' | head -n1)
        fi
    fi
    log "googletest: building from $GTEST_SRC"
    rm -rf "$DEPS/gtest-build"
    # Threads: the posix toolchain has winpthreads, which gtest uses for its mutexes.
    # shellcheck disable=SC2086
    cmake -S "$GTEST_SRC" -B "$DEPS/gtest-build" $GENERATOR \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DSABLEWICK_DEPS_PREFIX="$PREFIX" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" \
        -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON \
        -DBUILD_SHARED_LIBS=OFF -Dgtest_disable_pthreads=OFF >"$DEPS/gtest-configure.log" 2>&1 ||
        { tail -n 30 "$DEPS/gtest-configure.log" >&2; exit 1; }
    cmake --build "$DEPS/gtest-build" -j "$JOBS" >"$DEPS/gtest-build.log" 2>&1 ||
        { tail -n 30 "$DEPS/gtest-build.log" >&2; exit 1; }
    cmake --install "$DEPS/gtest-build" >"$DEPS/gtest-install.log" 2>&1 ||
        { tail -n 30 "$DEPS/gtest-install.log" >&2; exit 1; }
    rm -f "$DEPS"/gtest.*.stamp
    touch "$GTEST_STAMP"
    log "googletest: installed into $PREFIX"
fi
