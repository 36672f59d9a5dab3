# The 64-bit Windows program, for 64-bit Windows only; also what the Windows tests run on
# a machine whose kernel starts 64-bit programs only.
#
#   tools/build-mingw-deps.sh build/win64 x86_64
#   cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64-posix.cmake
#
# (tools/build-windows.sh x86_64 does both and builds.)
set(MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-posix.cmake)
