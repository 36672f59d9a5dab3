#!/bin/bash
# End-to-end tests of a Windows build (32-bit or 64-bit) under the Wine of its
# architecture (tools/lib/wine.sh), on a private Xvfb screen of 1024 x 768, in a fresh Wine
# prefix inside the build folder:
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
#   - a reading with a known Fate: the card back fully shown during the turn, then the
#     drawn card's picture, number, title and explanation
#   - the window shape: presses outside it reach the desktop, not the program
#   - the card index: covered unseen cells, the title card's and seen cards' cells, the
#     wish box hidden while it is open and back after a right click
#   - the options menu's captions, separators, check marks and enabled items; the
#     stay-on-top item on and off, keeping the window's shape
#   - with every card seen, the wallpaper command writes WallOrvane.bmp (24-bit, the
#     screen's size, the card in its frame block) and installs it
#
# Screenshots and the pictures the scenarios compared are left in BUILD_DIR/e2e/shots.
#
# The import tables, manifests and version resources are checked without Wine, by
# tests/e2e/static_checks.sh.
#
# usage: tests/e2e/run_wine_tests.sh BUILD_DIR [--unit-only]   (a build configured with
#        cmake/mingw-i686-posix.cmake or cmake/mingw-x86_64-posix.cmake, with Sablewick,
#        sablewick_tests and sablewick_winprobe built; --unit-only runs the unit tests
#        alone). The last line says "N passed, M failed".
set -u

HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/lib.sh
. "$HERE/lib.sh"

UNIT_ONLY=0
if [ $# -eq 2 ] && [ "$2" = --unit-only ]; then
    UNIT_ONLY=1
elif [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR [--unit-only]" >&2
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
    e2e_fail setup "Wine or Xvfb could not be started (see above)"
    e2e_teardown
    e2e_summary
    exit 1
fi

APP_DIR="$E2E_DIR/app"
SHOTS="$E2E_DIR/shots"
mkdir -p "$SHOTS"
TODAY=$(date +%Y/%m/%d)
WIN_W=737
WIN_H=584
# Where the program centres itself: 6 pixels above the exact middle.
EXPECT_X=$(((E2E_SCREEN_W - WIN_W) / 2))
EXPECT_Y=$(((E2E_SCREEN_H - WIN_H) / 2 - 6))

probe() { wine "$E2E_BUILD/sablewick_winprobe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# The card picture (340 x 500) at (36, 48) of the window, and the square where the
# sparkles of the centred light origin are drawn on the window (never into the picture
# the program composes, so comparisons leave it out).
CARD_X=36
CARD_Y=48
LIGHT_X=160
LIGHT_Y=252
LIGHT_SIZE=87
light_exclude() { echo $((EXPECT_X + LIGHT_X)) $((EXPECT_Y + LIGHT_Y)) $LIGHT_SIZE $LIGHT_SIZE; }

# The cards shown so far, in order, as the number label showed them.
CARD_TRAIL=""
note_card() {
    local n=${1#CARD.}
    CARD_TRAIL="$CARD_TRAIL $((10#$n))"
}
card_seen() {
    [ "$1" != 0 ] && case " $CARD_TRAIL " in *" $1 "*) true ;; *) false ;; esac
}
# The card the program keeps as the previous one: the card shown before the last change
# to a different card (the title card never counts).
previous_card() {
    local current=0 previous=0 card
    for card in $CARD_TRAIL; do
        if [ "$card" != "$current" ]; then
            [ "$current" != 0 ] && previous=$current
            current=$card
        fi
    done
    echo "$previous"
}
current_card() {
    local card=0 c
    for c in $CARD_TRAIL; do card=$c; done
    echo "$card"
}

# Line FIELD (0 header, 1 title, 2 explanation, ...) of card N in the card text, UTF-8.
card_line() {
    iconv -f CP932 -t UTF-8 "$E2E_ROOT/resources/CARDT.txt" | tr -d '\r' | sed -n "$((7 * $1 + $2 + 1))p"
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

# A build folder may hold a prefix that Wine of the other architecture made (a checkout
# run on a machine of the other kind, or with SABLEWICK_RUNS_32BIT changed); Wine would
# refuse it ("... is a 32-bit installation") or run in the wrong mode. Preparing it
# replaces it with a fresh one of this architecture.
scenario_stale_prefix() {
    local prefix="$E2E_DIR/wineprefix-stale" other=win64 log="$E2E_DIR/stale-prefix.log"
    [ "$WINEARCH" = win64 ] && other=win32
    mkdir -p "$prefix/drive_c"
    printf 'WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=%s\n' "$other" \
        >"$prefix/system.reg"
    touch "$prefix/.sablewick-fonts" "$prefix/left-by-the-other"
    local answer
    answer=$(
        export WINEPREFIX=$prefix
        wine_prefix_prepare "$E2E_DIR/stale" 2>"$log" && wine cmd /c echo ready 2>/dev/null | tr -d '\r'
    )
    local arch
    arch=$(sed -n 's/^#arch=//p' "$prefix/system.reg" 2>/dev/null | head -n1)
    if [ "$answer" = ready ] && [ "$arch" = "$WINEARCH" ] && [ ! -e "$prefix/left-by-the-other" ] &&
        grep -q "rather than $WINEARCH; making it afresh" "$log"; then
        e2e_pass "stale prefix: a $other prefix in the build folder was noticed and made afresh as $WINEARCH"
    else
        e2e_fail "stale prefix" "answer '$answer', arch now '$arch', message '$(tr '\n' ' ' <"$log")'"
    fi
    timeout 30 "$WINE_SERVER" -w 2>/dev/null
    rm -rf "$prefix"
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
        CARD.[0-9][0-9][0-9])
            note_card "$number"
            e2e_pass "wish box: Enter made a reading, $number shown"
            ;;
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
            note_card "$number"
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

# A reading with the Fate fixed at 0 by the settings file: the wish "abc" gives card 12.
# The picture area is watched from the moment Enter is pressed: the card back must fill
# it (the back stays fully shown for two steps, about 110 ms), and afterwards card 12's
# picture; then the labels show card 12's words.
scenario_reading() {
    local wish=abc card=12
    mouse_click $((EXPECT_X + 463 + 60)) $((EXPECT_Y + 82 + 60))
    sleep 0.3
    # Escape empties the wish box.
    key_press Escape
    sleep 0.2
    type_text "$wish"
    sleep 0.3
    local typed
    typed=$(child_text Edit)
    if [ "$typed" != "$wish" ]; then
        e2e_fail "reading" "the wish box holds '$typed' after Escape and typing '$wish'"
        return 1
    fi
    to_ppm "$E2E_ROOT/resources/C999.jpg" "$SHOTS/C999.ppm"
    to_ppm "$E2E_ROOT/resources/C012.jpg" "$SHOTS/C012.ppm"
    # shellcheck disable=SC2046
    if ! watch_area_start $((EXPECT_X + CARD_X)) $((EXPECT_Y + CARD_Y)) \
        back="$SHOTS/C999.ppm" face="$SHOTS/C012.ppm" --in-order --stop-after-all \
        --duration 6 --out "$SHOTS/reading" --exclude $(light_exclude); then
        e2e_fail "reading" "the screen watcher did not start: $(cat "$WATCH_OUT")"
        return 1
    fi
    key_press Return
    local watched=0
    watch_area_finish || watched=1
    # The labels are shown in the reveal's last step, with the new face.
    sleep 0.4
    screenshot "$SHOTS/reading.png"
    # Steps are at least 55 ms apart: the back is complete at the 10th step (9 intervals
    # after the first), and from the last frame of the full back to the complete new
    # face lie 9 more intervals. Faster means the pacing is broken.
    local back_ms face_ms
    back_ms=$(sed -n 's/^back \([0-9]*\) ms.*/\1/p' "$WATCH_OUT")
    face_ms=$(sed -n 's/^face \([0-9]*\) ms.*/\1/p' "$WATCH_OUT")
    if [ "$watched" = 0 ] && { [ "$back_ms" -lt 495 ] || [ $((face_ms - back_ms)) -lt 495 ]; }; then
        e2e_fail "reading" "the turn ran too fast for 55 ms steps: $WATCH_REPORT"
    elif [ "$watched" = 0 ]; then
        e2e_pass "reading: the card back filled the picture area, then card $card's picture ($WATCH_REPORT frames in $SHOTS)"
    else
        e2e_fail "reading" "picture area: $WATCH_REPORT (closest frames in $SHOTS/reading-*.png)"
    fi
    local texts number title explanation want_title want_explanation
    texts=$(probe texts Sablewick)
    number=$(child_text Static '^CARD[.]')
    want_title=$(card_line $card 1)
    want_explanation=$(card_line $card 2 | sed 's/\\/\\\\/g')
    title=$(printf '%s\n' "$texts" | awk -F'\t' -v want="$want_title" '
        tolower($1) == "static" && $2 == 1 && $3 == want { print $3; exit }')
    explanation=$(printf '%s\n' "$texts" | awk -F'\t' -v want="$want_explanation" '
        tolower($1) == "static" && $2 == 1 && $3 == want { print "shown"; exit }')
    if [ "$number" = "CARD.012" ] && [ -n "$want_title" ] && [ "$title" = "$want_title" ] &&
        [ "$explanation" = shown ]; then
        note_card "$number"
        e2e_pass "reading: the labels show CARD.012, the title '$title' and the explanation"
    else
        [ -n "$number" ] && note_card "$number"
        e2e_fail "reading" "labels: number '$number', title '$title' (want '$want_title'), explanation ${explanation:-not shown}; all labels: $(printf '%s' "$texts" | tr '\n' '|')"
    fi
}

# Presses outside the window's shape fall through to the screen behind it: a drag there
# leaves the window where it is and a right click opens no menu, while the same drag on
# the frame just inside the shape moves the window.
scenario_window_shape() {
    local ox=2 oy=2 mx=420 my=20 ix=10 iy=300
    local mask="$E2E_ROOT/resources/BASEMSK.bmp"
    if [ "$(pixel "$mask" $ox $oy)" != "0 0 0" ] || [ "$(pixel "$mask" $mx $my)" != "0 0 0" ] ||
        [ "$(pixel "$mask" $ix $iy)" = "0 0 0" ]; then
        e2e_fail "window shape" "the test points do not lie outside/inside the shape of this picture set"
        return 1
    fi
    local home="$EXPECT_X $EXPECT_Y $WIN_W $WIN_H" outside_drag menu inside_drag back
    mouse_drag $((EXPECT_X + ox)) $((EXPECT_Y + oy)) $((EXPECT_X + ox + 40)) $((EXPECT_Y + oy + 30))
    sleep 0.5
    outside_drag=$(window_geometry "$MAIN_WID")
    mouse_click $((EXPECT_X + mx)) $((EXPECT_Y + my)) 3
    sleep 0.6
    menu=$(probe menu)
    [ "$menu" = none ] || { key_press Escape; sleep 0.3; }
    mouse_drag $((EXPECT_X + ix)) $((EXPECT_Y + iy)) $((EXPECT_X + ix + 40)) $((EXPECT_Y + iy + 30))
    sleep 0.5
    inside_drag=$(window_geometry "$MAIN_WID")
    mouse_drag $((EXPECT_X + ix + 40)) $((EXPECT_Y + iy + 30)) $((EXPECT_X + ix)) $((EXPECT_Y + iy))
    sleep 0.5
    back=$(window_geometry "$MAIN_WID")
    if [ "$outside_drag" = "$home" ] && [ "$menu" = none ] &&
        [ "$inside_drag" = "$((EXPECT_X + 40)) $((EXPECT_Y + 30)) $WIN_W $WIN_H" ] && [ "$back" = "$home" ]; then
        e2e_pass "window shape: a drag at ($ox, $oy) and a right click at ($mx, $my), outside the shape, did nothing; the drag at ($ix, $iy) inside moved the window"
    else
        e2e_fail "window shape" "after the drag outside '$outside_drag' (want '$home'), right click outside: menu '$menu', after the drag inside '$inside_drag', after dragging back '$back'"
    fi
}

# The card index, opened with the right-hand triangle: the page of the current card with
# every unseen card covered by the question-mark picture and every seen card (and the
# title card) showing its thumbnail; the wish box hidden meanwhile. A right click closes
# it: the wish box is back and the covers are gone. The frame around the current cell
# lies on the cells' edges, so each cell is compared 3 pixels in from its edges.
scenario_index() {
    local slug=$1 label=$2 current
    current=$(current_card)
    local page=$((current / 10))
    local page_pic="$SHOTS/INDEX0$page.ppm"
    to_ppm "$E2E_ROOT/resources/INDEX0$page.jpg" "$page_pic"
    to_ppm "$E2E_ROOT/resources/QUEST.jpg" "$SHOTS/QUEST.ppm"
    mouse_click $((EXPECT_X + 580 + 19)) $((EXPECT_Y + 2 + 18))
    # The opening run lasts 8 steps of 55 ms.
    sleep 0.8
    local shot="$SHOTS/index-$slug.png"
    screenshot "$shot"
    local edit_open
    edit_open=$(probe texts Sablewick | awk -F'\t' 'tolower($1) == "edit" { print $2; exit }')
    local i n x y covered="" pictures="" wrong=""
    for i in 0 1 2 3 4 5 6 7 8 9; do
        n=$((page * 10 + i))
        x=$((EXPECT_X + 458 + 48 * (i % 5) + 3))
        y=$((EXPECT_Y + 63 + 74 * (i / 5) + 3))
        if [ "$n" = 0 ] || card_seen "$n"; then
            if area_matches still "$shot" $x $y "$page_pic" --from $((48 * (i % 5) + 3)) \
                $((74 * (i / 5) + 3)) --size 40 62 >/dev/null; then
                pictures="$pictures $n"
            else
                wrong="$wrong $n(not its thumbnail)"
            fi
        elif area_matches still "$shot" $x $y "$SHOTS/QUEST.ppm" --from 3 3 --size 40 62 >/dev/null; then
            covered="$covered $n"
        else
            wrong="$wrong $n(not covered)"
        fi
    done
    mouse_click $((EXPECT_X + 410)) $((EXPECT_Y + 450)) 3
    sleep 0.6
    local menu edit_closed after="$SHOTS/index-$slug-closed.png" cover_left=""
    menu=$(probe menu)
    [ "$menu" = none ] || { key_press Escape; sleep 0.3; }
    edit_closed=$(probe texts Sablewick | awk -F'\t' 'tolower($1) == "edit" { print $2; exit }')
    screenshot "$after"
    # Cell 1 of page 0 is covered whenever card 1 is unseen; after closing it shows the
    # panel again.
    if area_matches still "$after" $((EXPECT_X + 458 + 48 + 3)) $((EXPECT_Y + 63 + 3)) "$SHOTS/QUEST.ppm" \
        --from 3 3 --size 40 62 >/dev/null; then
        cover_left=yes
    fi
    if [ -z "$wrong" ] && [ "$edit_open" = 0 ]; then
        e2e_pass "index $label: page $page, covered:${covered:- none}, thumbnails:${pictures}; the wish box hidden"
    else
        e2e_fail "index $label" "page $page, wrong cells:${wrong:- none}, wish box visible '$edit_open' (want 0) ($shot)"
    fi
    if [ "$menu" = none ] && [ "$edit_closed" = 1 ] && [ -z "$cover_left" ]; then
        e2e_pass "index $label: a right click closed it, no menu, the wish box is back"
    else
        e2e_fail "index $label" "after the right click: menu '$menu', wish box visible '$edit_closed' (want 1), a cover still shown: ${cover_left:-no} ($after)"
    fi
}

# The options menu as the program builds it: one line per item as the probe prints it.
menu_item() { printf 'item\t%s\t%s\t%s\n' "$1" "$2" "$3"; }
expected_menu() {
    local centre=$1 stay=$2 undo=$3 wall=$4
    menu_item "$centre" unchecked "中央に配置する(&C)"
    menu_item enabled "$stay" "常に一番上に配置する(&T)"
    menu_item enabled unchecked "音声を消す(&M)"
    echo separator
    menu_item enabled unchecked "羽根ペンを黒くする(&B)"
    menu_item enabled unchecked "羽根ペンを下向きにする(&D)"
    menu_item enabled checked "光効果を絵の上でも表示する(&L)"
    menu_item grayed unchecked "光効果の発生点を中央に配置する(&P)"
    echo separator
    menu_item "$undo" unchecked "直前のカードを再表示する(&U)"
    menu_item grayed unchecked "前回起動時の最後の占いを再現する(&R)"
    menu_item enabled unchecked "次回起動時に最後の占いを再現する(&N)"
    echo separator
    menu_item "$wall" unchecked "壁紙作成(&W)"
}

# Opens the menu with a right click on the frame; MENU_ITEMS holds what the probe read.
open_menu() {
    mouse_click $((EXPECT_X + 410)) $((EXPECT_Y + 450)) 3
    sleep 0.8
    MENU_ITEMS=$(probe menuitems Sablewick)
}

# Compares MENU_ITEMS with the expected menu; NAME names the check.
check_menu() {
    local name=$1
    shift
    local want
    want=$(expected_menu "$@")
    if [ "$MENU_ITEMS" = "$want" ]; then
        e2e_pass "$name: $(printf '%s\n' "$MENU_ITEMS" | grep -c '^item') items with their captions, 3 separators, checks and enabled items as expected"
    else
        e2e_fail "$name" "the menu differs (expected < > shown): $(diff <(printf '%s\n' "$want") <(printf '%s\n' "$MENU_ITEMS") | grep '^[<>]' | tr '\n' '|')"
    fi
}

scenario_menu_captions() {
    local undo=grayed previous current
    previous=$(previous_card)
    current=$(current_card)
    [ "$previous" != 0 ] && [ "$previous" != "$current" ] && undo=enabled
    open_menu
    screenshot "$SHOTS/menu-captions.png"
    key_press Escape
    sleep 0.4
    # The window is centred, the light origin not moved, no reading stored, not every
    # card seen.
    check_menu "menu captions" grayed unchecked "$undo" grayed
}

# Stay-on-top through the menu's accelerator key, on and then off: the window becomes
# topmost and normal again, and each time keeps its shape and its looks.
scenario_stay_on_top() {
    local before="$SHOTS/topmost-before.png" on="$SHOTS/topmost-on.png" off="$SHOTS/topmost-off.png"
    to_ppm "$E2E_ROOT/resources/BASEMSK.bmp" "$SHOTS/mask.ppm"
    screenshot "$before"
    open_menu
    key_press t
    sleep 0.8
    local state_on state_off shape_on shape_off items_on
    state_on=$(probe state Sablewick)
    screenshot "$on"
    # shellcheck disable=SC2046
    shape_on=$(area_matches shape "$on" "$EXPECT_X" "$EXPECT_Y" "$SHOTS/mask.ppm" --like "$before" \
        --exclude $(light_exclude)) && shape_on="ok: $shape_on"
    open_menu
    items_on=$(printf '%s\n' "$MENU_ITEMS" | grep -F '常に一番上に配置する(&T)')
    key_press t
    sleep 0.8
    state_off=$(probe state Sablewick)
    screenshot "$off"
    # shellcheck disable=SC2046
    shape_off=$(area_matches shape "$off" "$EXPECT_X" "$EXPECT_Y" "$SHOTS/mask.ppm" --like "$before" \
        --exclude $(light_exclude)) && shape_off="ok: $shape_off"
    case "$state_on" in
        *"topmost=1 $EXPECT_X $EXPECT_Y $WIN_W $WIN_H") ;;
        *) e2e_fail "stay on top" "after choosing it: $state_on" ;;
    esac
    case "$items_on" in
        *"	checked	"*) ;;
        *) e2e_fail "stay on top" "its menu item is not checked while on: '$items_on'" ;;
    esac
    case "$state_off" in
        *"topmost=0 $EXPECT_X $EXPECT_Y $WIN_W $WIN_H") ;;
        *) e2e_fail "stay on top" "after choosing it again: $state_off" ;;
    esac
    case "$shape_on|$shape_off" in
        ok:*"|ok:"*)
            case "$state_on|$items_on|$state_off" in
                *topmost=1*"	checked	"*topmost=0*)
                    e2e_pass "stay on top: on (checked, topmost) and off again, the shape kept both times (${shape_on#ok: })"
                    ;;
            esac
            ;;
        *) e2e_fail "stay on top" "the window's shape or looks changed: on: $shape_on; off: $shape_off ($on, $off)" ;;
    esac
}

# A second run with every card seen: the wallpaper command makes WallOrvane.bmp beside
# the program, a 24-bit picture of the screen's size whose frame block, centred 7 pixels
# above the middle, holds the window's picture area as it was, on a starry sky; and
# installs it as the desktop wallpaper.
scenario_wallpaper() {
    local dir="$E2E_DIR/app-wallpaper" seen
    seen=$(printf 'l%.0s' $(seq 1 49))
    write_settings "$dir" Fate=0 "OldDate=$TODAY" "MemDate=$TODAY" "CardOk=$seen"
    app_start "$dir"
    local pid=$APP_PID
    if ! window_find Sablewick 60 >/dev/null; then
        e2e_fail "wallpaper" "the program did not open its window"
        return 1
    fi
    sleep 1
    local before="$SHOTS/wallpaper-before.png"
    screenshot "$before"
    open_menu
    local wall_item
    wall_item=$(printf '%s\n' "$MENU_ITEMS" | grep -F '壁紙作成(&W)')
    key_press w
    local bmp="$dir/WallOrvane.bmp" i size=""
    for i in $(seq 1 100); do
        if [ -f "$bmp" ]; then
            size=$(stat -c %s "$bmp")
            sleep 0.3
            [ "$size" = "$(stat -c %s "$bmp")" ] && break
        fi
        sleep 0.2
    done
    case "$wall_item" in
        "item	enabled	"*) ;;
        *) e2e_fail "wallpaper" "with every card seen its menu item reads '$wall_item'" ;;
    esac
    if [ ! -f "$bmp" ]; then
        e2e_fail "wallpaper" "no WallOrvane.bmp in $dir 20 s after the command"
    else
        local magic width height bits compression want_size=$((54 + 1024 * 3 * 768))
        magic=$(head -c 2 "$bmp")
        read -r width height <<<"$(od -An -t d4 -j 18 -N 8 "$bmp")"
        bits=$(od -An -t u2 -j 28 -N 2 "$bmp" | tr -d ' ')
        compression=$(od -An -t u4 -j 30 -N 4 "$bmp" | tr -d ' ')
        if [ "$magic" = BM ] && [ "$width" = "$E2E_SCREEN_W" ] && [ "${height#-}" = "$E2E_SCREEN_H" ] &&
            [ "$bits" = 24 ] && [ "$compression" = 0 ] && [ "$size" = "$want_size" ]; then
            e2e_pass "wallpaper: WallOrvane.bmp is a ${width}x$height 24-bit BMP of $size bytes"
        else
            e2e_fail "wallpaper" "WallOrvane.bmp: '$magic' ${width}x$height, $bits bits, compression $compression, $size bytes (want $want_size)"
        fi
        # The window's point (x, y) lands on the wallpaper at (306 + x, 91 + y - 12).
        local png="$SHOTS/WallOrvane.png" card="$SHOTS/wallpaper-card.ppm" block sky
        convert "$bmp" "$png"
        convert "$before" -crop "340x500+$((EXPECT_X + CARD_X))+$((EXPECT_Y + CARD_Y))" +repage \
            -depth 8 -type TrueColor "$card"
        block=$(area_matches still "$png" $((306 + CARD_X)) $((91 + CARD_Y - 12)) "$card" \
            --exclude $((306 + LIGHT_X)) $((91 + LIGHT_Y - 12)) $LIGHT_SIZE $LIGHT_SIZE) && block="ok: $block"
        sky=$(area_matches sky "$png" 0 0 300 768) && sky="ok: $sky"
        if [ "${block#ok: }" != "$block" ] && [ "${sky#ok: }" != "$sky" ]; then
            e2e_pass "wallpaper: the frame block at (306, 91) shows the window's card (${block#ok: }), the sky beside it is starry (${sky#ok: })"
        else
            e2e_fail "wallpaper" "card in the frame block: $block; sky left of it: $sky ($png)"
        fi
        local installed
        installed=$(wine reg query 'HKCU\Control Panel\Desktop' /v Wallpaper 2>/dev/null | tr -d '\r' | grep -i 'Wallpaper')
        case "$installed" in
            *WallOrvane.bmp*) e2e_pass "wallpaper: installed as the desktop wallpaper" ;;
            *) e2e_fail "wallpaper" "the desktop's Wallpaper value is '$installed'" ;;
        esac
    fi
    mouse_click $((EXPECT_X + 703 + 16)) $((EXPECT_Y + 1 + 16))
    if ! app_wait_exit "$pid" 20; then
        e2e_fail "wallpaper" "the program still runs 20 s after the close button"
    fi
}

scenario_unit_tests
if [ "$UNIT_ONLY" -eq 1 ]; then
    e2e_teardown
    trap - EXIT
    e2e_summary
    exit
fi
scenario_stale_prefix
# A known Fate and today's date, so that a wish gives a known card.
write_settings "$APP_DIR" Fate=0 "OldDate=$TODAY" "MemDate=$TODAY"
if scenario_start; then
    scenario_background_picture
    scenario_index at-start "at start"
    scenario_second_instance
    scenario_restore_minimised
    scenario_wish_box
    scenario_random_card
    scenario_reading
    scenario_index after-reading "after the reading"
    scenario_drag_window
    scenario_window_shape
    scenario_popup_menu
    scenario_menu_captions
    scenario_stay_on_top
    scenario_close_button
    scenario_wallpaper
fi

# Scenario groups of their own, one file each: every file starts its own program
# instances in folders of its own and leaves none running.
for group in "$HERE"/scenarios/*.sh; do
    [ -f "$group" ] || continue
    # shellcheck disable=SC1090
    . "$group"
done

e2e_teardown
trap - EXIT
e2e_summary
