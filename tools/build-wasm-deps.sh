#!/bin/sh
# Builds the libraries the web program links, from Debian's own sources, with Debian's
# Emscripten (emcmake):
#   libjpeg    static, from the libjpeg-turbo source package (apt-get source; a source
#              already unpacked for the Windows builds is reused)
#   GoogleTest static gtest/gtest_main, from Debian's /usr/src/googletest
# Everything goes under BUILD_DIR/deps; the libraries are installed into
# BUILD_DIR/deps/prefix (lib/, include/, GoogleTest's CMake package in lib/cmake/GTest).
# Finished steps leave a stamp, so a second run returns at once.
#
# Debian's Emscripten keeps a frozen cache of its system libraries: it never builds into
# it, so nothing is written under /usr/share; a library missing there is an error of the
# link, not a silent download. Its JavaScript optimizer needs Debian's Node modules
# (acorn) on NODE_PATH. What it emits fetches its WebAssembly with fetch() where that
# exists, which Node 18 and later have but which takes no file path: the configure
# checks that run a test program (check_type_size) run it in Node without fetch, or
# they would read the exit code of the failed fetch as a type's size.
#
# usage: tools/build-wasm-deps.sh BUILD_DIR
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
ROOT=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
BUILD_DIR=$(cd "$1" && pwd)
DEPS="$BUILD_DIR/deps"
PREFIX="$DEPS/prefix"
mkdir -p "$DEPS" "$PREFIX"

for tool in emcmake emcc em++ cmake; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "build-wasm-deps: $tool not found: run tools/setup.sh first (it installs emscripten)" >&2
        exit 1
    fi
done
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
EMULATOR="$(command -v node);--no-experimental-fetch"

# Two cores are shared with other builds on the machine.
JOBS=$(nproc 2>/dev/null || echo 2)
[ "$JOBS" -le 2 ] || JOBS=2
GENERATOR=""
if command -v ninja >/dev/null 2>&1; then GENERATOR="-G Ninja"; fi

log() { echo "build-wasm-deps: $*"; }
# shellcheck source=tools/lib/jpeg.sh
. "$ROOT/tools/lib/jpeg.sh"

# The compiler, its CMake platform file and the flags below are part of the stamp, so a
# new Emscripten or a change here rebuilds instead of silently reusing an old library.
EM_PLATFORM=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
TOOLCHAIN_ID=$( (em++ --version | head -n1; cat "$EM_PLATFORM" 2>/dev/null; cat "$0") |
    cksum | cut -d' ' -f1)

# The program throws and catches C++ exceptions (EError), and a test that throws must be
# reported, not end the run: GoogleTest is built with catching enabled, as the program is.
CXX_EXCEPTIONS="-fexceptions"

# ---- libjpeg ---------------------------------------------------------------------------
JPEG_STAMP="$DEPS/libjpeg.$TOOLCHAIN_ID.stamp"
if [ -f "$JPEG_STAMP" ] && [ -f "$PREFIX/lib/libjpeg.a" ]; then
    log "libjpeg: up to date"
else
    # The Windows builds unpack the same source package; it is only read from there.
    JPEG_SRC=$(jpeg_source "$DEPS" build-wasm-deps "$ROOT/build/win64/deps/src" "$ROOT/build/win32/deps/src") || exit 1

    # WebAssembly has no SIMD code in libjpeg-turbo; the plain C paths decode the few
    # pictures a second the program needs.
    log "libjpeg: building from $JPEG_SRC"
    rm -rf "$DEPS/libjpeg-build"
    # shellcheck disable=SC2086
    emcmake cmake -S "$JPEG_SRC" -B "$DEPS/libjpeg-build" $GENERATOR \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$EMULATOR" \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JPEG8=OFF >"$DEPS/libjpeg-configure.log" 2>&1 ||
        { tail -n 30 "$DEPS/libjpeg-configure.log" >&2; exit 1; }
    # Only the library: the command-line tools and the tests are not built.
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
    # pulled in by libgtest-dev).
    GTEST_SRC=/usr/src/googletest
    if [ ! -f "$GTEST_SRC/CMakeLists.txt" ]; then
        echo "build-wasm-deps: $GTEST_SRC is missing: run tools/setup.sh first (it installs libgtest-dev)" >&2
        exit 1
    fi
    log "googletest: building from $GTEST_SRC"
    rm -rf "$DEPS/gtest-build"
    # No threads: the program is built without them, and a test page needs no
    # cross-origin isolation then.
    # shellcheck disable=SC2086
    emcmake cmake -S "$GTEST_SRC" -B "$DEPS/gtest-build" $GENERATOR \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$EMULATOR" \
        -DCMAKE_CXX_FLAGS="$CXX_EXCEPTIONS" \
        -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON \
        -DBUILD_SHARED_LIBS=OFF -Dgtest_disable_pthreads=ON >"$DEPS/gtest-configure.log" 2>&1 ||
        { tail -n 30 "$DEPS/gtest-configure.log" >&2; exit 1; }
    cmake --build "$DEPS/gtest-build" -j "$JOBS" >"$DEPS/gtest-build.log" 2>&1 ||
        { tail -n 30 "$DEPS/gtest-build.log" >&2; exit 1; }
    cmake --install "$DEPS/gtest-build" >"$DEPS/gtest-install.log" 2>&1 ||
        { tail -n 30 "$DEPS/gtest-install.log" >&2; exit 1; }
    rm -f "$DEPS"/gtest.*.stamp
    touch "$GTEST_STAMP"
    log "googletest: installed into $PREFIX"
fi
