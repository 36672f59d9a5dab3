#!/bin/bash
# The release packages of a Windows build (cmake --build BUILD_DIR --target package):
#   - the zip holds the program and its ReadMe in a folder of its own; the packaged exe is
#     stripped, imports only system DLLs and carries the version resource (English and
#     Japanese) with the project's version
#   - the installer asks for no administrator rights
# and, under Wine in a fresh prefix on a private X server:
#   - a silent install (/S) puts the program, the ReadMe and the uninstaller into
#     %LOCALAPPDATA%\Programs\Sablewick, a Start-menu shortcut to it into the user's
#     Start menu and an uninstall entry into HKCU
#   - the installed program runs, closes through its close button and writes Orvane.ini
#     in the install folder
#   - the uninstaller refuses to run while the program runs, and leaves everything
#   - a silent uninstall removes the program, the shortcut and the entry, and keeps
#     Orvane.ini; a reinstall keeps it too; /REMOVESETTINGS removes it and the folder
#
# usage: tests/e2e/installer_test.sh BUILD_DIR      The last line says "N passed, M failed".
set -u

HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/lib.sh
. "$HERE/lib.sh"

if [ $# -ne 1 ] || [ ! -f "$1/CMakeCache.txt" ]; then
    echo "usage: $0 BUILD_DIR (a Windows build whose packages are made)" >&2
    echo "0 passed, 1 failed"
    exit 2
fi
BUILD=$(cd "$1" && pwd)
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
SETUP="$BUILD/packages/Sablewick-$VERSION-win32-setup.exe"
ZIP="$BUILD/packages/Sablewick-$VERSION-win32.zip"
for f in "$SETUP" "$ZIP"; do
    if [ ! -f "$f" ]; then
        echo "missing $f: run cmake --build $1 --target package first" >&2
        echo "0 passed, 1 failed"
        exit 1
    fi
done

WORK="$BUILD/installer-e2e"
rm -rf "$WORK"
mkdir -p "$WORK"

# ---- the packages themselves ----------------------------------------------------------

scenario_zip() {
    local top="Sablewick-$VERSION-win32"
    local listing
    # cmake reads zips itself, so the test needs no unzip.
    listing=$(cmake -E tar tf "$ZIP" | sort | tr '\n' ' ')
    if [ "$listing" != "$top/ReadMe.txt $top/Sablewick.exe " ]; then
        e2e_fail "zip contents" "'$listing'"
        return 1
    fi
    mkdir -p "$WORK/zip"
    (cd "$WORK/zip" && cmake -E tar xf "$ZIP") || { e2e_fail "zip" "does not unpack"; return 1; }
    PACKED_EXE="$WORK/zip/$top/Sablewick.exe"
    e2e_pass "zip: $top/ holds Sablewick.exe and ReadMe.txt"
}

scenario_packed_exe() {
    local exe=$PACKED_EXE out
    if i686-w64-mingw32-objdump -h "$exe" | grep -q '\.debug_'; then
        e2e_fail "packed exe" "still has debug sections"
    elif [ "$(stat -c %s "$exe")" -ge "$(stat -c %s "$BUILD/Sablewick.exe")" ]; then
        e2e_fail "packed exe" "not smaller than the build's exe"
    else
        e2e_pass "packed exe: stripped, $(stat -c %s "$exe") bytes"
    fi
    if out=$("$HERE/check_imports.sh" "$exe" 2>&1); then
        e2e_pass "packed exe: $out"
    else
        e2e_fail "packed exe imports" "$out"
    fi
}

# Reads the version resource back out of the packed exe.
scenario_version_resource() {
    local rc="$WORK/resources.rc"
    i686-w64-mingw32-windres -J coff -O rc -i "$PACKED_EXE" -o "$rc" 2>"$WORK/windres.log" ||
        { e2e_fail "version resource" "windres cannot read the exe"; return 1; }
    # The block of one language: from its BLOCK line to the next END.
    block() { awk -v b="BLOCK \"$1\"" 'index($0, b) { on = 1 } on { print } on && /^ *END/ { exit }' "$rc"; }
    local en ja want_ver
    en=$(block 040904B0)
    ja=$(block 041104B0)
    want_ver=$(echo "$VERSION" | tr '.' ',' | sed 's/,/, /g')
    local problems=""
    grep -q "FILEVERSION $want_ver, 0" "$rc" || problems="$problems FILEVERSION;"
    grep -q "PRODUCTVERSION $want_ver, 0" "$rc" || problems="$problems PRODUCTVERSION;"
    for b in en ja; do
        local text=${!b}
        [ -n "$text" ] || { problems="$problems no $b block;"; continue; }
        echo "$text" | grep -q "\"ProductName\", L\?\"Sablewick\"" || problems="$problems $b ProductName;"
        echo "$text" | grep -q "\"ProductVersion\", L\?\"$VERSION\"" || problems="$problems $b ProductVersion;"
        echo "$text" | grep -q "\"FileVersion\", L\?\"$VERSION\"" || problems="$problems $b FileVersion;"
        echo "$text" | grep -q '"CompanyName", L\?"Sablewick' || problems="$problems $b CompanyName;"
    done
    # The Japanese description is written in kana and kanji (タロット占い).
    echo "$ja" | grep -q '"FileDescription", L"\\x30bf\\x30ed\\x30c3\\x30c8\\x5360\\x3044' ||
        problems="$problems Japanese FileDescription;"
    echo "$en" | grep -q '"FileDescription", L\?"Sablewick' || problems="$problems English FileDescription;"
    grep -q 'VALUE "Translation", 0x409, 1200, 0x411, 1200' "$rc" || problems="$problems Translation;"
    if [ -z "$problems" ]; then
        e2e_pass "version resource: Sablewick $VERSION, English and Japanese"
    else
        e2e_fail "version resource" "wrong or missing:$problems (see $rc)"
    fi
}

scenario_no_admin_prompt() {
    # NSIS writes the execution level into the installer's manifest.
    if strings "$SETUP" | grep -q 'requestedExecutionLevel level="asInvoker"'; then
        e2e_pass "installer: runs as the invoking user (asInvoker)"
    else
        e2e_fail "installer" "its manifest does not ask for asInvoker: $(strings "$SETUP" | grep -o 'requestedExecutionLevel level="[a-zA-Z]*"' | head -n1)"
    fi
}

# ---- under Wine -----------------------------------------------------------------------

wine_setup() {
    export WINEPREFIX="$WORK/wineprefix"
    export WINEDEBUG=-all
    # winemenubuilder would turn the Start-menu shortcut into a .desktop file in the
    # real home folder; the test keeps everything inside its prefix.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export WINEARCH=win32
    export LANG=C.UTF-8 LC_ALL=C.UTF-8
    local display i
    display=$(e2e_free_display) || { e2e_log "no free X display"; return 1; }
    Xvfb ":$display" -screen 0 1024x768x24 -wr -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    export DISPLAY=":$display"
    for i in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    xdpyinfo >/dev/null 2>&1 || { e2e_log "Xvfb did not start on $DISPLAY"; return 1; }
    trap e2e_teardown EXIT
    wine_prefix_prepare "$WORK" || return 1
    # The per-user folders, as Windows names them and as Unix paths.
    local local_app roaming
    local_app=$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
    roaming=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
    INST_WIN="$local_app\\Programs\\Sablewick"
    INST=$(winepath -u "$INST_WIN" 2>/dev/null)
    INST=${INST%/}
    SHORTCUT=$(winepath -u "$roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Sablewick.lnk" 2>/dev/null)
    [ -n "$INST" ] && [ -n "$SHORTCUT" ] || { e2e_log "no per-user folders in the prefix"; return 1; }
    # Every Unix path of the test lies inside the prefix.
    case "$INST$SHORTCUT" in *"$WINEPREFIX"*) ;; *) return 1 ;; esac
}

UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sablewick'
reg_value() {
    wine reg query "$UNINSTALL_KEY" /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v k="$1" '$1 == k { sub(/^[ \t]*[^ \t]+[ \t]+REG_[A-Z_]+[ \t]+/, ""); print; exit }'
}

run_setup() {
    (cd "$WORK" && wine "$SETUP" /S) >>"$WORK/setup.log" 2>&1
}

scenario_install() {
    local status
    run_setup
    status=$?
    if [ "$status" -ne 0 ]; then
        e2e_fail "install" "the silent install exited $status"
        return 1
    fi
    local missing="" f
    for f in Sablewick.exe ReadMe.txt Uninstall.exe; do
        [ -f "$INST/$f" ] || missing="$missing $f"
    done
    if [ -n "$missing" ]; then
        e2e_fail "install" "missing in $INST_WIN:$missing"
        return 1
    fi
    if cmp -s "$INST/Sablewick.exe" "$PACKED_EXE"; then
        e2e_pass "install: Sablewick.exe (the packed one), ReadMe.txt and Uninstall.exe in $INST_WIN"
    else
        e2e_fail "install" "the installed Sablewick.exe differs from the zip's"
    fi
    # The shortcut names its target both as ANSI and as UTF-16 text; either will do.
    local target="Programs\\Sablewick\\Sablewick.exe"
    if [ ! -f "$SHORTCUT" ]; then
        e2e_fail "shortcut" "no Sablewick.lnk in the user's Start menu"
    elif strings -a "$SHORTCUT" | grep -qiF "$target" ||
        strings -a -e l "$SHORTCUT" | grep -qiF "$target"; then
        e2e_pass "shortcut: Start menu\\Programs\\Sablewick.lnk points to the installed exe"
    else
        e2e_fail "shortcut" "Sablewick.lnk does not point to ...\\$target"
    fi
    local shown uninstall
    shown=$(reg_value DisplayVersion)
    uninstall=$(reg_value UninstallString)
    if [ "$shown" = "$VERSION" ] && [ "$uninstall" = "\"$INST_WIN\\Uninstall.exe\"" ]; then
        e2e_pass "uninstall entry: HKCU, version $shown, $uninstall"
    else
        e2e_fail "uninstall entry" "DisplayVersion '$shown', UninstallString '$uninstall'"
    fi
}

APP_PID=""
APP_WID=""
start_installed() {
    (cd "$INST" && exec wine ./Sablewick.exe) >>"$WORK/app.log" 2>&1 &
    APP_PID=$!
    E2E_APP_PIDS="$E2E_APP_PIDS $APP_PID"
    APP_WID=$(window_find Sablewick 90)
}

close_installed() {
    local x y w h
    read -r x y w h <<<"$(window_geometry "$APP_WID")"
    # The close button: 32 x 32 from (703, 1) of the window.
    mouse_click $((x + 703 + 16)) $((y + 1 + 16))
    app_wait_exit "$APP_PID" 20
}

scenario_run_installed() {
    rm -f "$INST/Orvane.ini"
    start_installed
    if [ -z "$APP_WID" ]; then
        e2e_fail "installed program" "no window named Sablewick within 90 s"
        return 1
    fi
    local x y w h
    read -r x y w h <<<"$(window_geometry "$APP_WID")"
    if [ "$w x $h" != "737 x 584" ]; then
        e2e_fail "installed program" "its window is $w x $h"
    fi
    if ! close_installed; then
        e2e_fail "installed program" "still running 20 s after a click on its close button"
        return 1
    fi
    if [ "$APP_STATUS" != 0 ]; then
        e2e_fail "installed program" "exit code $APP_STATUS"
    elif [ ! -f "$INST/Orvane.ini" ]; then
        e2e_fail "installed program" "no Orvane.ini in the install folder after closing"
    elif ! tr -d '\r' <"$INST/Orvane.ini" | grep -q "^Left=$x\$"; then
        e2e_fail "installed program" "Orvane.ini does not hold the window's position ($x)"
    else
        e2e_pass "installed program: ran, closed by its close button, wrote Orvane.ini in $INST_WIN"
    fi
    # A wish of the user's own, to see it survive the uninstall byte for byte.
    printf '[Orvane.ini]\r\nCardOk=lllll............................................\r\nWish=kept\r\n' \
        >"$INST/Orvane.ini"
    cp "$INST/Orvane.ini" "$WORK/Orvane.ini.before"
}

# Runs the uninstaller in place (_?=), so its exit code is the uninstall's own.
uninstall_in_place() {
    (cd "$WORK" && wine "$INST/Uninstall.exe" /S "$@" "_?=$INST_WIN") >>"$WORK/uninstall.log" 2>&1
}

scenario_uninstall_refused_while_running() {
    start_installed
    if [ -z "$APP_WID" ]; then
        e2e_fail "uninstall while running" "the program did not start"
        return 1
    fi
    uninstall_in_place
    local status=$? left=""
    [ -f "$INST/Sablewick.exe" ] || left="$left Sablewick.exe gone;"
    [ -f "$SHORTCUT" ] || left="$left shortcut gone;"
    [ -n "$(reg_value DisplayVersion)" ] || left="$left entry gone;"
    if [ "$status" -ne 0 ] && [ -z "$left" ]; then
        e2e_pass "uninstall while running: refused (exit $status), nothing removed"
    else
        e2e_fail "uninstall while running" "exit $status;$left"
    fi
    close_installed || e2e_fail "uninstall while running" "the program did not close afterwards"
    cp "$WORK/Orvane.ini.before" "$INST/Orvane.ini"
}

# The normal uninstall copies itself away and returns at once; wait for its work.
uninstall_and_wait() {
    local i
    (cd "$WORK" && wine "$INST/Uninstall.exe" /S "$@") >>"$WORK/uninstall.log" 2>&1
    for i in $(seq 1 300); do
        [ -e "$INST/Uninstall.exe" ] || break
        sleep 0.1
    done
    timeout 30 wineserver -w 2>/dev/null || true
}

scenario_uninstall_keeps_settings() {
    uninstall_and_wait
    local left=""
    local f
    for f in Sablewick.exe ReadMe.txt Uninstall.exe; do
        [ -e "$INST/$f" ] && left="$left $f"
    done
    [ -e "$SHORTCUT" ] && left="$left Sablewick.lnk"
    [ -n "$(reg_value UninstallString)" ] && left="$left uninstall entry"
    if [ -n "$left" ]; then
        e2e_fail "uninstall" "still there:$left"
    else
        e2e_pass "uninstall: program, ReadMe, uninstaller, shortcut and entry removed"
    fi
    if cmp -s "$INST/Orvane.ini" "$WORK/Orvane.ini.before"; then
        e2e_pass "uninstall: Orvane.ini kept unchanged in $INST_WIN"
    else
        e2e_fail "uninstall" "Orvane.ini was removed or changed"
    fi
}

scenario_reinstall_and_remove_settings() {
    run_setup || { e2e_fail "reinstall" "the silent install failed"; return 1; }
    if ! cmp -s "$INST/Orvane.ini" "$WORK/Orvane.ini.before"; then
        e2e_fail "reinstall" "Orvane.ini was not kept over a new install"
    else
        e2e_pass "reinstall: the kept Orvane.ini is found again"
    fi
    # A wallpaper made in an earlier run goes with the settings.
    printf 'BM' >"$INST/WallOrvane.bmp"
    uninstall_and_wait /REMOVESETTINGS
    if [ -e "$INST" ]; then
        e2e_fail "uninstall /REMOVESETTINGS" "left: $(ls -A "$INST" | tr '\n' ' ')"
    else
        e2e_pass "uninstall /REMOVESETTINGS: Orvane.ini, WallOrvane.bmp and the folder removed"
    fi
}

PACKED_EXE=""
if scenario_zip; then
    scenario_packed_exe
    scenario_version_resource
fi
scenario_no_admin_prompt
if [ -z "$PACKED_EXE" ]; then
    : # nothing to compare an installed program with
elif ! wine_setup; then
    e2e_fail "setup" "Wine or Xvfb could not be started"
elif scenario_install; then
    scenario_run_installed
    scenario_uninstall_refused_while_running
    scenario_uninstall_keeps_settings
    scenario_reinstall_and_remove_settings
fi

e2e_teardown
trap - EXIT
e2e_summary
