#!/bin/bash
# The installer of a Windows build (cmake --build BUILD_DIR --target package), 32-bit or
# 64-bit, under the Wine of its architecture (tools/lib/wine.sh) in a fresh prefix on a
# private X server:
#   - a silent install (/S) puts the program, the ReadMe and the uninstaller into
#     %LOCALAPPDATA%\Programs\Sablewick, a Start-menu shortcut to it into the user's
#     Start menu and an uninstall entry into HKCU
#   - the installed program runs, closes through its close button and writes Orvane.ini
#     in the install folder
#   - the uninstaller refuses to run while the program runs, and leaves everything
#   - a silent uninstall removes the program, the shortcut and the entry, and keeps
#     Orvane.ini; a reinstall keeps it too; /REMOVESETTINGS removes it and the folder
# With --replacing OTHER_BUILD_DIR (the 32-bit build, for the 64-bit one), the other
# build's installer runs first and this one is installed over it: one program, one
# entry, the settings kept. What needs no Wine (the packages' contents, manifests,
# version resource) is tests/e2e/static_checks.sh.
#
# usage: tests/e2e/installer_test.sh BUILD_DIR [--replacing OTHER_BUILD_DIR]
#        The last line says "N passed, M failed".
set -u

HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/lib.sh
. "$HERE/lib.sh"

usage() {
    echo "usage: $0 BUILD_DIR [--replacing OTHER_BUILD_DIR] (Windows builds whose packages are made)" >&2
    echo "0 passed, 1 failed"
    exit 2
}
[ $# -eq 1 ] || { [ $# -eq 3 ] && [ "$2" = --replacing ]; } || usage
[ -f "$1/CMakeCache.txt" ] || usage
BUILD=$(cd "$1" && pwd)
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
PACKED_EXE="$BUILD/packaged/Sablewick.exe"
[ -f "$PACKED_EXE" ] || usage
ARCH=$(pe_arch "$PACKED_EXE") || usage
SETUP="$BUILD/packages/Sablewick-$VERSION-$ARCH-setup.exe"
OTHER_SETUP=""
if [ $# -eq 3 ]; then
    [ -f "$3/packaged/Sablewick.exe" ] || usage
    OTHER_BUILD=$(cd "$3" && pwd)
    OTHER_ARCH=$(pe_arch "$OTHER_BUILD/packaged/Sablewick.exe") || usage
    OTHER_SETUP="$OTHER_BUILD/packages/Sablewick-$VERSION-$OTHER_ARCH-setup.exe"
fi
for f in "$SETUP" $OTHER_SETUP; do
    if [ ! -f "$f" ]; then
        echo "missing $f: run cmake --build BUILD_DIR --target package first" >&2
        echo "0 passed, 1 failed"
        exit 1
    fi
done

WORK="$BUILD/installer-e2e"
rm -rf "$WORK"
mkdir -p "$WORK"

# ---- under Wine -----------------------------------------------------------------------

wine_setup() {
    wine_use "$ARCH" || { e2e_log "the $ARCH installer cannot run here: $WINE_WHY"; return 1; }
    wine_env "$WORK/wineprefix"
    xvfb_start "$WORK/xvfb.log" -wr || return 1
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
    (cd "$WORK" && wine "${1:-$SETUP}" /S) >>"$WORK/setup.log" 2>&1
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
    (cd "$INST" && exec "$WINE_LOADER" ./Sablewick.exe) >>"$WORK/app.log" 2>&1 &
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
    timeout 30 "$WINE_SERVER" -w 2>/dev/null || true
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

# The other architecture's installer first, then this one over it: the install is
# replaced, not doubled, and the user's settings stay. Everything is removed afterwards,
# so the scenarios after this one start from a prefix without Sablewick.
scenario_replaces_other() {
    local name="$ARCH setup over the $OTHER_ARCH install"
    if ! run_setup "$OTHER_SETUP" || [ ! -f "$INST/Sablewick.exe" ]; then
        e2e_fail "$name" "the $OTHER_ARCH setup did not install"
        return 1
    fi
    local before
    before=$(pe_arch "$INST/Sablewick.exe")
    printf '[Orvane.ini]\r\nCardOk=ll...............................................\r\nWish=carried\r\n' \
        >"$INST/Orvane.ini"
    cp "$INST/Orvane.ini" "$WORK/Orvane.ini.other"
    local status
    run_setup
    status=$?
    if [ "$status" -ne 0 ]; then
        e2e_fail "$name" "the $ARCH setup exited $status"
        return 1
    fi
    local problems="" entries shortcuts
    [ "$before" = "$OTHER_ARCH" ] || problems="$problems the first install held a $before program;"
    cmp -s "$INST/Sablewick.exe" "$PACKED_EXE" || problems="$problems the installed exe is not the $ARCH one;"
    cmp -s "$INST/Orvane.ini" "$WORK/Orvane.ini.other" || problems="$problems Orvane.ini changed;"
    [ "$(reg_value DisplayVersion)" = "$VERSION" ] || problems="$problems no uninstall entry;"
    entries=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null |
        tr -d '\r' | grep -ci 'Sablewick')
    [ "$entries" = 1 ] || problems="$problems $entries uninstall entries;"
    shortcuts=$(find "$(dirname "$SHORTCUT")" -iname 'Sablewick*.lnk' | wc -l)
    [ "$shortcuts" = 1 ] || problems="$problems $shortcuts Start-menu shortcuts;"
    if [ -z "$problems" ]; then
        e2e_pass "$name: one $ARCH program in $INST_WIN, one entry and one shortcut, Orvane.ini kept"
    else
        e2e_fail "$name" "$problems"
    fi
    uninstall_and_wait /REMOVESETTINGS
    if [ -e "$INST" ] || [ -e "$SHORTCUT" ] || [ -n "$(reg_value UninstallString)" ]; then
        e2e_fail "$name" "the $ARCH uninstaller left the replaced install behind"
    else
        e2e_pass "$name: its uninstaller removes all of it"
    fi
}

if ! wine_setup; then
    e2e_fail "setup" "Wine or Xvfb could not be started (see above)"
else
    if [ -n "$OTHER_SETUP" ]; then
        scenario_replaces_other
    fi
    if scenario_install; then
        scenario_run_installed
        scenario_uninstall_refused_while_running
        scenario_uninstall_keeps_settings
        scenario_reinstall_and_remove_settings
    fi
fi

e2e_teardown
trap - EXIT
e2e_summary
