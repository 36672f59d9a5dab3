#!/bin/bash
# End-to-end tests of the Windows build under Wine, on a private Xvfb screen of
# 1024 x 768, in a fresh Wine prefix inside the build folder:
#   - the import table holds only system DLLs
#   - the unit tests pass on the real Win32 backend
#   - Sablewick.exe opens its 737 x 584 window centred 6 pixels above the middle,
#     showing the background picture inside the window shape
#   - a second start exits with 0 at once and leaves one window
#   - a second start restores the running instance when it is minimised
#   - typing a wish and Enter: the text stays on one line and a reading is shown
#   - the random button turns up a card: its number label and the picture change
#   - a left drag on the window's frame moves the window
#   - a right click opens the options menu, Escape closes it
#   - the close button ends the program, which writes Orvane.ini next to itself
#
# usage: tests/e2e/run_wine_tests.sh BUILD_DIR   (a build configured with
#        cmake/mingw-i686-posix.cmake, with Sablewick, sablewick_tests and
#        sablewick_winprobe built). The last line says "N passed, M failed".
set -u

HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/lib.sh
. "$HERE/lib.sh"

if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
for exe in Sablewick.exe sablewick_tests.exe sablewick_winprobe.exe; do
    if [ ! -f "$1/$exe" ]; then
        echo "missing $1/$exe: build the Windows targets first" >&2
        echo "0 passed, 1 failed"
        exit 1
    fi
done

if ! e2e_setup "$1"; then
    e2e_fail setup "Wine or Xvfb could not be started"
    e2e_teardown
    e2e_summary
    exit 1
fi

APP_DIR="$E2E_DIR/app"
WIN_W=737
WIN_H=584
# Where the program centres itself: 6 pixels above the exact middle.
EXPECT_X=$(((E2E_SCREEN_W - WIN_W) / 2))
EXPECT_Y=$(((E2E_SCREEN_H - WIN_H) / 2 - 6))

probe() { wine "$E2E_BUILD/sablewick_winprobe.exe" "$@" 2>/dev/null | tr -d '\r'; }

scenario_import_table() {
    local out
    if out=$("$HERE/check_imports.sh" "$E2E_BUILD/Sablewick.exe" "$E2E_BUILD/sablewick_tests.exe" 2>&1); then
        e2e_pass "import table: $(echo "$out" | head -n1)"
    else
        e2e_fail "import table" "$out"
    fi
}

scenario_unit_tests() {
    local log="$E2E_DIR/unit-tests.log" status
    (cd "$E2E_DIR" && wine "$E2E_BUILD/sablewick_tests.exe" --gtest_color=no) >"$log" 2>&1
    status=$?
    local summary
    summary=$(tr -d '\r' <"$log" | grep -E '^\[  (PASSED|FAILED)  \]|tests? from .* ran' | tr '\n' ' ')
    if [ "$status" -eq 0 ] && grep -q '\[  PASSED  \]' "$log"; then
        e2e_pass "unit tests under Wine: $summary"
    else
        e2e_fail "unit tests under Wine" "exit $status; $summary(see $log)"
        tr -d '\r' <"$log" | grep -E '^\[  FAILED  \]|Failure|error' | head -n 20
    fi
}

MAIN_WID=""
MAIN_PID=""

scenario_start() {
    app_start "$APP_DIR"
    MAIN_PID=$APP_PID
    if ! MAIN_WID=$(window_find Sablewick 90); then
        e2e_fail "start" "no window named Sablewick within 90 s"
        return 1
    fi
    local geometry
    geometry=$(window_geometry "$MAIN_WID")
    if [ "$geometry" = "$EXPECT_X $EXPECT_Y $WIN_W $WIN_H" ]; then
        e2e_pass "start: window Sablewick at $EXPECT_X,$EXPECT_Y size ${WIN_W}x$WIN_H"
    else
        e2e_fail "start" "window at/size '$geometry', expected '$EXPECT_X $EXPECT_Y $WIN_W $WIN_H'"
    fi
}

scenario_background_picture() {
    # Give the first frames a moment to be presented.
    sleep 1
    local shot="$E2E_DIR/start.png"
    screenshot "$shot"
    convert "$shot" -crop "${WIN_W}x$WIN_H+$EXPECT_X+$EXPECT_Y" +repage -depth 8 "$E2E_DIR/window.ppm"
    convert "$E2E_ROOT/resources/BASE.jpg" -depth 8 "$E2E_DIR/base.ppm"
    convert "$E2E_ROOT/resources/BASEMSK.bmp" -depth 8 -type TrueColor "$E2E_DIR/mask.ppm"
    local out
    if out=$(/usr/bin/python3 "$HERE/window_matches_picture.py" "$E2E_DIR/window.ppm" \
        "$E2E_DIR/base.ppm" "$E2E_DIR/mask.ppm"); then
        e2e_pass "background picture: $out"
    else
        e2e_fail "background picture" "$out (screenshot $shot)"
    fi
    # One pixel by hand as well: the frame's top-left ornament area of the picture, a
    # point no card, button or label covers.
    local px py want got
    px=20
    py=300
    want=$(pixel "$E2E_ROOT/resources/BASE.jpg" "$px" "$py")
    got=$(pixel "$shot" $((EXPECT_X + px)) $((EXPECT_Y + py)))
    if [ "$(pixel "$E2E_ROOT/resources/BASEMSK.bmp" "$px" "$py")" = "0 0 0" ]; then
        : # outside the shape in this picture set; the grid test above covers it
    elif pixels_close "$want" "$got" 24; then
        e2e_pass "background pixel ($px,$py): screen $got, picture $want"
    else
        e2e_fail "background pixel ($px,$py)" "screen $got, picture $want"
    fi
}

scenario_second_instance() {
    app_start "$APP_DIR"
    local pid=$APP_PID
    if ! app_wait_exit "$pid" 20; then
        e2e_fail "second instance" "still running after 20 s"
        return 1
    fi
    local windows
    windows=$(probe count Sablewick)
    if [ "$APP_STATUS" = 0 ] && [ "$windows" = 1 ] && kill -0 "$MAIN_PID" 2>/dev/null; then
        e2e_pass "second instance: exit 0, one window, the first still runs"
    else
        e2e_fail "second instance" "exit '$APP_STATUS', $windows window(s) named Sablewick"
    fi
}

scenario_restore_minimised() {
    # A window manager would act on the request; the bare test X server has none, so the
    # taskbar's way (ShowWindow from another process) is the fallback.
    xdotool windowminimize "$MAIN_WID" 2>/dev/null || true
    sleep 0.5
    case "$(probe state Sablewick)" in
        *"iconic=1"*) ;;
        *) probe minimize Sablewick >/dev/null ;;
    esac
    local before after
    before=$(probe state Sablewick)
    case "$before" in
        *"iconic=1"*) ;;
        *)
            e2e_fail "restore" "the window could not be minimised: $before"
            return 1
            ;;
    esac
    app_start "$APP_DIR"
    local pid=$APP_PID
    app_wait_exit "$pid" 20 || { e2e_fail "restore" "second start still running"; return 1; }
    sleep 0.5
    after=$(probe state Sablewick)
    case "$after" in
        *"iconic=0 visible=1"*" $EXPECT_X $EXPECT_Y $WIN_W $WIN_H")
            e2e_pass "restore: a second start brought the minimised window back ($after)"
            ;;
        *) e2e_fail "restore" "after the second start: $after" ;;
    esac
}

# The text of the first child control of class CLASS (Static, Edit) whose text matches
# the pattern, or of the first one at all.
child_text() {
    probe texts Sablewick | awk -F'\t' -v cls="$1" -v pat="${2:-}" '
        tolower($1) == tolower(cls) && $3 ~ pat { print $3; exit }'
}

scenario_wish_box() {
    # Into the wish box (client 463, 82, 228 x 121), then Enter.
    mouse_click $((EXPECT_X + 463 + 60)) $((EXPECT_Y + 82 + 60))
    sleep 0.3
    type_text "hello"
    key_press Return
    sleep 0.5
    local wish
    wish=$(child_text Edit)
    if [ "$wish" = "hello" ]; then
        e2e_pass "wish box: typed text kept, Enter inserted no line break"
    else
        e2e_fail "wish box" "its text is '$wish', expected 'hello'"
    fi
    # Enter is the fortune button: the card turns and its number is shown again.
    sleep 3
    local number
    number=$(child_text Static '^CARD[.]')
    case "$number" in
        CARD.[0-9][0-9][0-9]) e2e_pass "wish box: Enter made a reading, $number shown" ;;
        *) e2e_fail "wish box" "after Enter the number label shows '$number'" ;;
    esac
}

scenario_random_card() {
    # The random button's rectangle is (580, 233), 103 x 39.
    mouse_click $((EXPECT_X + 580 + 50)) $((EXPECT_Y + 233 + 19))
    sleep 3
    local number
    number=$(child_text Static '^CARD[.]')
    local shot="$E2E_DIR/random.png"
    screenshot "$shot"
    # The picture area of the card, 348 x 508 from (31, 43) of the window.
    local changed
    changed=$(pixels_differing "$E2E_DIR/start.png" "$shot" "348x508+$((EXPECT_X + 31))+$((EXPECT_Y + 43))")
    case "$number" in
        CARD.000 | "") e2e_fail "random card" "the number label shows '$number'" ;;
        CARD.[0-9][0-9][0-9])
            if [ "${changed:-0}" -gt 20000 ]; then
                e2e_pass "random card: $number shown, $changed pixels of the picture area changed"
            else
                e2e_fail "random card" "$number shown but only ${changed:-0} pixels of the picture changed ($shot)"
            fi
            ;;
        *) e2e_fail "random card" "the number label shows '$number'" ;;
    esac
}

scenario_drag_window() {
    # A press on the frame between the picture and the text panels, where no button
    # lies: a window drag.
    local gx=410 gy=450
    if [ "$(pixel "$E2E_ROOT/resources/BASEMSK.bmp" "$gx" "$gy")" = "0 0 0" ]; then
        e2e_fail "drag" "the grab point ($gx, $gy) is outside the window shape of this picture set"
        return 1
    fi
    mouse_drag $((EXPECT_X + gx)) $((EXPECT_Y + gy)) $((EXPECT_X + gx + 40)) $((EXPECT_Y + gy + 30))
    sleep 0.5
    local moved
    moved=$(window_geometry "$MAIN_WID")
    # And back, so the scenarios after this one find the window where they expect it.
    mouse_drag $((EXPECT_X + gx + 40)) $((EXPECT_Y + gy + 30)) $((EXPECT_X + gx)) $((EXPECT_Y + gy))
    sleep 0.5
    local back
    back=$(window_geometry "$MAIN_WID")
    if [ "$moved" = "$((EXPECT_X + 40)) $((EXPECT_Y + 30)) $WIN_W $WIN_H" ] &&
        [ "$back" = "$EXPECT_X $EXPECT_Y $WIN_W $WIN_H" ]; then
        e2e_pass "drag: the window followed the mouse by (40, 30) and back"
    else
        e2e_fail "drag" "after the drag '$moved', after dragging back '$back'"
    fi
}

scenario_popup_menu() {
    mouse_click $((EXPECT_X + 410)) $((EXPECT_Y + 450)) 3
    sleep 0.8
    local opened closed
    opened=$(probe menu)
    screenshot "$E2E_DIR/menu.png"
    key_press Escape
    sleep 0.5
    closed=$(probe menu)
    case "$opened" in
        "open "*)
            if [ "$closed" = none ]; then
                e2e_pass "popup menu: a right click opened it ($opened), Escape closed it"
            else
                e2e_fail "popup menu" "still open after Escape: $closed"
            fi
            ;;
        *) e2e_fail "popup menu" "no menu after a right click" ;;
    esac
}

scenario_close_button() {
    rm -f "$APP_DIR/Orvane.ini"
    # The close button's rectangle starts at (703, 1) and is 32 pixels wide and high.
    mouse_click $((EXPECT_X + 703 + 16)) $((EXPECT_Y + 1 + 16))
    if ! app_wait_exit "$MAIN_PID" 20; then
        e2e_fail "close button" "the program still runs 20 s after the click"
        return 1
    fi
    if [ "$APP_STATUS" != 0 ]; then
        e2e_fail "close button" "exit code $APP_STATUS"
    elif [ ! -f "$APP_DIR/Orvane.ini" ]; then
        e2e_fail "close button" "no Orvane.ini in $APP_DIR"
    else
        local left top
        left=$(tr -d '\r' <"$APP_DIR/Orvane.ini" | sed -n 's/^Left=//p')
        top=$(tr -d '\r' <"$APP_DIR/Orvane.ini" | sed -n 's/^Top=//p')
        if [ "$left" = "$EXPECT_X" ] && [ "$top" = "$EXPECT_Y" ]; then
            e2e_pass "close button: exit 0, Orvane.ini written with the window position"
        else
            e2e_fail "close button" "Orvane.ini has Left='$left' Top='$top', expected $EXPECT_X,$EXPECT_Y"
        fi
    fi
    if [ "$(window_count Sablewick)" != 0 ]; then
        e2e_fail "close button" "a window named Sablewick is still shown"
    fi
}

scenario_import_table
scenario_unit_tests
if scenario_start; then
    scenario_background_picture
    scenario_second_instance
    scenario_restore_minimised
    scenario_wish_box
    scenario_random_card
    scenario_drag_window
    scenario_popup_menu
    scenario_close_button
fi

e2e_teardown
trap - EXIT
e2e_summary
