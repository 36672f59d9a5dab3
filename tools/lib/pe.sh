# shellcheck shell=bash
# Which Windows architecture an executable is built for, and the mingw-w64 tools that
# read it (objdump, windres and strip of one architecture do not read the other's files).
#
#   pe_arch EXE          win32 or win64, read from the executable's PE header
#   mingw_triplet ARCH   i686-w64-mingw32 or x86_64-w64-mingw32, for win32 or win64

pe_arch() {
    local offset machine
    [ -f "$1" ] || { echo "pe_arch: no file $1" >&2; return 1; }
    # The PE header's offset stands at 0x3c; its machine field follows the "PE\0\0".
    offset=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
    machine=$(od -An -t x2 -j $((offset + 4)) -N 2 "$1" | tr -d ' ')
    case "$machine" in
        014c) echo win32 ;;
        8664) echo win64 ;;
        *) echo "pe_arch: $1 is not an x86 or x86-64 Windows program (machine '$machine')" >&2; return 1 ;;
    esac
}

mingw_triplet() {
    case "$1" in
        win32) echo i686-w64-mingw32 ;;
        win64) echo x86_64-w64-mingw32 ;;
        *) echo "mingw_triplet: unknown architecture '$1'" >&2; return 1 ;;
    esac
}
