# The 32-bit Windows program, the one we release; it runs on every Windows.
#
#   tools/build-mingw-deps.sh build/win32 i686
#   cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686-posix.cmake
#
# (tools/build-windows.sh i686 does both and builds.)
set(MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-posix.cmake)
