# What both Windows toolchains share: Debian's mingw-w64 posix toolchain for the
# architecture in MINGW_ARCH (i686 or x86_64), set by the two small files that include
# this one, cmake/mingw-i686-posix.cmake (the program we release) and
# cmake/mingw-x86_64-posix.cmake.
#
# The posix flavour (winpthreads) is the one whose libstdc++ has std::thread and
# std::mutex, which GoogleTest uses. The static libjpeg and GoogleTest built by
# tools/build-mingw-deps.sh are found in SABLEWICK_DEPS_PREFIX, by default
# <build dir>/deps/prefix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_ARCH})

set(MINGW_TRIPLET ${MINGW_ARCH}-w64-mingw32)
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

# Tests of the build tree that ask for the emulator run under Wine's own loader of this
# architecture: Debian's "wine" wrapper takes the 32-bit loader whenever it is installed,
# even for a 64-bit program and even where 32-bit programs cannot run.
if(MINGW_ARCH STREQUAL "x86_64")
    find_program(SABLEWICK_WINE_LOADER wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
else()
    find_program(SABLEWICK_WINE_LOADER wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
endif()
if(SABLEWICK_WINE_LOADER)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SABLEWICK_WINE_LOADER})
endif()
