# shellcheck shell=bash
# The one way the project's scripts start Wine. Sourced by every script that runs a
# Windows program: the Wine test runner, the installer test, the screenshots, the display
# scale scenarios, tools/bench.sh and tools/run.sh --wine.
#
#   wine_machine_runs_32bit    true when this machine starts 32-bit programs; probed once
#                              (the answer is kept in SABLEWICK_RUNS_32BIT for the scripts
#                              started from this one; setting it to "no" beforehand tries
#                              the 64-bit road on a machine that could run both)
#   wine_say_32bit             prints "32-bit programs run here: yes" (or no, and why)
#   wine_32bit_road            true when the Windows tests take the 32-bit build: 32-bit
#                              programs start here and 32-bit Wine is installed; else false
#                              with WINE_ROAD_WHY saying why the 64-bit build runs them
#   pe_arch EXE, mingw_triplet ARCH    from tools/lib/pe.sh
#   wine_use ARCH              chooses Wine's own loader and server for win32 or win64;
#                              false, with WINE_WHY saying why, where this machine cannot
#                              run that architecture
#   wine_env PREFIX            exports the environment of a Wine run in the prefix PREFIX
#   wine_prefix_prepare LOGDIR creates $WINEPREFIX when needed (a prefix of the other
#                              architecture is replaced) with the Japanese fonts
#   wine ARGS..., wineserver ARGS..., winepath ARGS...   the chosen loader and server
#                              (Debian's commands of these names are not used); WINE_LOADER
#                              and WINE_SERVER are their paths, for exec and timeout
#
# Debian's "wine" and "wineboot" commands take the 32-bit loader whenever it is
# installed, even for a 64-bit program and even where 32-bit programs cannot start, so
# nothing here goes through them.

# shellcheck source=tools/lib/pe.sh
. "$(dirname "${BASH_SOURCE[0]}")/pe.sh"

WINE_LIB_DIR=/usr/lib/wine
WINE_BUILD_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build"
WINE_ARCH=""
WINE_LOADER=""
WINE_SERVER=""
WINE_WHY=""

# A whole i386 program of 93 bytes, statically linked: it only calls exit(42). A kernel
# without 32-bit support refuses it (execve: Exec format error), one with it returns 42.
wine_probe_32bit() {
    local probe="$WINE_BUILD_ROOT/probe-i386" status out
    mkdir -p "$WINE_BUILD_ROOT"
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\061\333\263\052\061\300\100\315\200' >"$probe"
    chmod +x "$probe"
    # (written so that a caller's "set -e" does not end it at the expected 42)
    status=0
    out=$("$probe" 2>&1) || status=$?
    rm -f "$probe"
    if [ "$status" -eq 42 ]; then
        SABLEWICK_RUNS_32BIT=yes
        SABLEWICK_32BIT_WHY=""
    else
        SABLEWICK_RUNS_32BIT=no
        SABLEWICK_32BIT_WHY="a 32-bit test program did not start: ${out##*: }"
        [ -n "$out" ] || SABLEWICK_32BIT_WHY="a 32-bit test program ended with $status instead of 42"
    fi
    export SABLEWICK_RUNS_32BIT SABLEWICK_32BIT_WHY
}

wine_machine_runs_32bit() {
    case "${SABLEWICK_RUNS_32BIT:-}" in
        yes | no) ;;
        *) wine_probe_32bit ;;
    esac
    [ "$SABLEWICK_RUNS_32BIT" = yes ]
}

wine_say_32bit() {
    if wine_machine_runs_32bit; then
        echo "32-bit programs run here: yes"
    else
        echo "32-bit programs run here: no (${SABLEWICK_32BIT_WHY:-SABLEWICK_RUNS_32BIT=no was given})"
    fi
}

wine_32bit_road() {
    WINE_ROAD_WHY=""
    if ! wine_machine_runs_32bit; then
        WINE_ROAD_WHY="32-bit programs do not start on this machine (${SABLEWICK_32BIT_WHY:-SABLEWICK_RUNS_32BIT=no was given})"
    elif [ ! -x "$WINE_LIB_DIR/wine" ] || [ ! -x "$WINE_LIB_DIR/wineserver32" ]; then
        # tools/setup.sh goes on without it when apt cannot install it (and says so).
        WINE_ROAD_WHY="32-bit Wine is not installed ($WINE_LIB_DIR/wine, $WINE_LIB_DIR/wineserver32)"
    fi
    [ -z "$WINE_ROAD_WHY" ]
}

wine_use() {
    WINE_ARCH=$1
    WINE_WHY=""
    case "$WINE_ARCH" in
        win32)
            WINE_LOADER=$WINE_LIB_DIR/wine
            WINE_SERVER=$WINE_LIB_DIR/wineserver32
            if ! wine_machine_runs_32bit; then
                WINE_WHY="32-bit programs do not start on this machine (${SABLEWICK_32BIT_WHY:-SABLEWICK_RUNS_32BIT=no was given})"
            fi
            ;;
        win64)
            WINE_LOADER=$WINE_LIB_DIR/wine64
            WINE_SERVER=$WINE_LIB_DIR/wineserver64
            ;;
        *)
            WINE_WHY="unknown architecture '$WINE_ARCH'"
            ;;
    esac
    if [ -z "$WINE_WHY" ] && { [ ! -x "$WINE_LOADER" ] || [ ! -x "$WINE_SERVER" ]; }; then
        WINE_WHY="Wine's $WINE_ARCH loader or server is not installed ($WINE_LOADER, $WINE_SERVER; tools/setup.sh installs them)"
    fi
    [ -z "$WINE_WHY" ]
}

wine_env() {
    [ -n "$WINE_LOADER" ] || { echo "wine_env: call wine_use first" >&2; return 1; }
    export WINEPREFIX=$1
    export WINEARCH=$WINE_ARCH
    # Wine starts further processes of the prefix through these, not through Debian's
    # wrappers.
    export WINELOADER=$WINE_LOADER
    export WINESERVER=$WINE_SERVER
    export WINEDEBUG=-all
    # No Mono or Gecko prompts; winemenubuilder would turn shortcuts into .desktop files
    # in the real home folder.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    # Wine reads its command-line arguments (registry values included) as UTF-8.
    export LANG=C.UTF-8 LC_ALL=C.UTF-8
}

wine() { "$WINE_LOADER" "$@"; }
wineserver() { "$WINE_SERVER" "$@"; }
winepath() { "$WINE_LOADER" winepath "$@"; }

# Replaces a prefix that was made for the other architecture (a build folder of the
# other kind, or a run with SABLEWICK_RUNS_32BIT changed): Wine would refuse it with a
# message that says little, or run the program in the wrong mode.
wine_prefix_check_arch() {
    local have=""
    [ -d "$WINEPREFIX" ] || return 0
    if [ -f "$WINEPREFIX/system.reg" ]; then
        have=$(sed -n 's/^#arch=//p' "$WINEPREFIX/system.reg" | head -n1 | tr -d '\r')
    fi
    if [ "$have" != "$WINEARCH" ]; then
        echo "wine: the prefix $WINEPREFIX is ${have:-unfinished} rather than $WINEARCH; making it afresh" >&2
        rm -rf "$WINEPREFIX"
    fi
}

# Creates $WINEPREFIX when needed and gives it the Japanese fonts the program asks for.
# Done once per prefix (a stamp file inside it); logs go to LOGDIR.
wine_prefix_prepare() {
    local log_dir=$1
    wine_prefix_check_arch
    local stamp="$WINEPREFIX/.sablewick-fonts"
    [ -f "$stamp" ] && return 0
    mkdir -p "$log_dir"
    if ! wine wineboot -i >"$log_dir/wineboot.log" 2>&1; then
        echo "wine: wineboot failed for a $WINEARCH prefix: $(tail -n 3 "$log_dir/wineboot.log" | tr '\n' ' ')" >&2
        return 1
    fi
    wineserver -w

    # The program asks for "ＭＳ ゴシック" and "ＭＳ Ｐゴシック" by name; Wine finds the
    # IPA fonts of fonts-ipafont-gothic under those names through its replacement table.
    local key='HKCU\Software\Wine\Fonts\Replacements'
    wine reg add "$key" /v "ＭＳ ゴシック" /t REG_SZ /d IPAGothic /f >/dev/null 2>&1 &&
        wine reg add "$key" /v "ＭＳ Ｐゴシック" /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1 &&
        wine reg add "$key" /v "MS Gothic" /t REG_SZ /d IPAGothic /f >/dev/null 2>&1 &&
        wine reg add "$key" /v "MS PGothic" /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1 ||
        { echo "wine: setting the font replacements failed" >&2; return 1; }
    # Menus and message boxes use the system's UI fonts, which have no Japanese in a
    # fresh prefix; Windows links them to its Japanese fonts, and so does this prefix.
    local link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' face
    for face in "Tahoma" "Tahoma Bold" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
        wine reg add "$link" /v "$face" /t REG_MULTI_SZ /d "ipag.ttf,IPAGothic" /f >/dev/null 2>&1 ||
            { echo "wine: setting the font links failed" >&2; return 1; }
    done
    wineserver -w
    touch "$stamp"
}
