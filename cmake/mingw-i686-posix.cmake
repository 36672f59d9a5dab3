# Cross-compiling the 32-bit Windows program with Debian's mingw-w64 posix toolchain.
# The posix flavour (winpthreads) is the one whose libstdc++ has std::thread and
# std::mutex, which GoogleTest uses.
#
#   tools/build-mingw-deps.sh build-win
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686-posix.cmake
#
# The static libjpeg and GoogleTest built by tools/build-mingw-deps.sh are found in
# SABLEWICK_DEPS_PREFIX, by default <build dir>/deps/prefix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
# The assembler is only named so that a project listing ASM among its languages
# configures; nothing of ours is assembly on Windows.
set(CMAKE_ASM_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_AR ${MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${MINGW_TRIPLET}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${MINGW_TRIPLET}-objdump CACHE FILEPATH "")

if(NOT SABLEWICK_DEPS_PREFIX)
    set(SABLEWICK_DEPS_PREFIX "${CMAKE_BINARY_DIR}/deps/prefix")
endif()
set(SABLEWICK_DEPS_PREFIX "${SABLEWICK_DEPS_PREFIX}" CACHE PATH
    "Where tools/build-mingw-deps.sh installed libjpeg and GoogleTest for mingw")
# try_compile projects re-read this file in their own binary directory; hand them the
# prefix of the real build.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SABLEWICK_DEPS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET} ${SABLEWICK_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests of the build tree run through Wine when a test driver asks for the emulator.
find_program(SABLEWICK_WINE wine)
if(SABLEWICK_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SABLEWICK_WINE})
endif()
