# Shell functions for end-to-end tests of Sablewick.exe under Wine on a private X server.
# Sourced by tests/e2e/run_wine_tests.sh; a new scenario is a shell function that uses
# these and reports with e2e_pass / e2e_fail.
#
#   e2e_setup BUILD_DIR     fresh Wine prefix of the build's architecture and X server,
#                           Japanese font replacements (tools/lib/wine.sh, xvfb.sh)
#   e2e_teardown            ends our programs, waits for wineserver, stops the X server
#   app_start [DIR]         starts Sablewick.exe (copied into DIR) in the background;
#                           APP_PID is the process
#   app_wait_exit PID SECS  waits for a process; APP_STATUS is its exit code
#   window_find NAME SECS   prints the X window id of the first window named NAME
#   window_count NAME       how many mapped windows are named NAME
#   window_geometry ID      prints "x y width height" (root coordinates)
#   mouse_to X Y            moves the pointer to a root position
#   mouse_click X Y [BTN]   clicks at a root position
#   mouse_drag X1 Y1 X2 Y2 [BTN]  press at one root position, move in steps, release
#   key_press KEYS...       xdotool key names, to the focused window
#   type_text TEXT          types ASCII text into the focused window
#   screenshot FILE         the whole screen as a PNG
#   pixel FILE X Y          prints "r g b" of one pixel of a picture file
#   pixels_close A B TOL    true when two "r g b" triples differ by at most TOL each
#   pixels_differing A B GEOM  how many pixels of the area GEOM (WxH+X+Y) of two
#                           pictures differ by more than a JPEG's rounding
#   write_settings DIR KEY=VALUE...  writes DIR/Orvane.ini with these keys (CR LF lines)
#   to_ppm PICTURE OUT      decodes a picture file into a binary 8-bit PPM
#   area_matches ARGS...    tests/e2e/area_matches.py with Debian's Python
#   watch_area_start ARGS...  starts "area_matches.py watch ARGS" in the background and
#                           returns once it grabs the screen; WATCH_PID, WATCH_OUT
#   watch_area_finish       waits for the watcher; its report is in WATCH_REPORT
#   space_draws_a_card NAME SHOWN FOCUSED CARD WAIT  Tab, then Space on ランダム, checked
#                           through a screen reader's functions FOCUSED and CARD
# shellcheck shell=bash

E2E_PASSED=0
E2E_FAILED=0
E2E_APP_PIDS=""

# shellcheck source=tools/lib/wine.sh
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/wine.sh"
# shellcheck source=tools/lib/xvfb.sh
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/xvfb.sh"

e2e_log() { printf '%s\n' "$*" >&2; }
e2e_pass() { E2E_PASSED=$((E2E_PASSED + 1)); printf 'PASS %s\n' "$1"; }
e2e_fail() {
    E2E_FAILED=$((E2E_FAILED + 1))
    printf 'FAIL %s: %s\n' "$1" "${2:-}"
}
e2e_summary() {
    printf '%d passed, %d failed\n' "$E2E_PASSED" "$E2E_FAILED"
    [ "$E2E_FAILED" -eq 0 ]
}

e2e_setup() {
    E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    E2E_BUILD=$(cd "$1" && pwd)
    E2E_DIR="$E2E_BUILD/e2e"
    E2E_SCREEN_W=1024
    E2E_SCREEN_H=768
    rm -rf "$E2E_DIR"
    mkdir -p "$E2E_DIR"

    local arch
    arch=$(pe_arch "$E2E_BUILD/Sablewick.exe") || return 1
    wine_use "$arch" || { e2e_log "the $arch build cannot run here: $WINE_WHY"; return 1; }
    wine_env "$E2E_DIR/wineprefix"

    # A white root window: the picture is dark where the window shape cuts it away, so
    # a screenshot tells the shaped window from the screen behind it.
    xvfb_start "$E2E_DIR/xvfb.log" -screen 0 "${E2E_SCREEN_W}x${E2E_SCREEN_H}x24" -wr || return 1
    trap e2e_teardown EXIT

    e2e_log "e2e: $arch Wine prefix $WINEPREFIX on $DISPLAY"
    wine_prefix_prepare "$E2E_DIR" || return 1
}

e2e_teardown() {
    local pid
    for pid in $E2E_APP_PIDS; do
        kill "$pid" 2>/dev/null || true
    done
    E2E_APP_PIDS=""
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && [ -n "$WINE_SERVER" ]; then
        # Let Wine finish (and write its registry) before the X server goes away.
        timeout 30 "$WINE_SERVER" -w 2>/dev/null || "$WINE_SERVER" -k 2>/dev/null || true
    fi
    xvfb_stop
}

# Copies the program into DIR (default: $E2E_DIR/app) so it writes its settings there,
# and starts it from there.
app_start() {
    local dir="${1:-$E2E_DIR/app}"
    mkdir -p "$dir"
    [ -f "$dir/Sablewick.exe" ] || cp "$E2E_BUILD/Sablewick.exe" "$dir/Sablewick.exe"
    (cd "$dir" && exec "$WINE_LOADER" ./Sablewick.exe) >>"$E2E_DIR/app.log" 2>&1 &
    APP_PID=$!
    E2E_APP_PIDS="$E2E_APP_PIDS $APP_PID"
}

app_wait_exit() {
    local pid=$1 secs=$2 i
    for i in $(seq 1 $((secs * 10))); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid" 2>/dev/null
            APP_STATUS=$?
            return 0
        fi
        sleep 0.1
    done
    APP_STATUS=""
    return 1
}

window_find() {
    local name=$1 secs=$2 i id
    for i in $(seq 1 $((secs * 5))); do
        id=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -n1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

window_count() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l
}

window_geometry() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $4 }
        /Absolute upper-left Y:/ { y = $4 }
        /Width:/ { w = $2 }
        /Height:/ { h = $2 }
        END { print x, y, w, h }'
}

# Moves the pointer to a root position and waits until it is there. xdotool's --sync
# waits for a motion, which never comes when the pointer already is at that spot (it
# then gives up after 15 s), so that case is left alone.
mouse_to() {
    if [ "$(xdotool getmouselocation 2>/dev/null | cut -d' ' -f1,2)" != "x:$1 y:$2" ]; then
        xdotool mousemove --sync "$1" "$2"
    fi
}

mouse_click() {
    mouse_to "$1" "$2"
    xdotool click "${3:-1}"
}

mouse_drag() {
    local x1=$1 y1=$2 x2=$3 y2=$4 btn=${5:-1} i
    mouse_to "$x1" "$y1"
    xdotool mousedown "$btn"
    for i in 1 2 3 4; do
        mouse_to $((x1 + (x2 - x1) * i / 4)) $((y1 + (y2 - y1) * i / 4))
        sleep 0.1
    done
    xdotool mouseup "$btn"
}

key_press() {
    xdotool key "$@"
}

type_text() {
    xdotool type --delay 40 "$1"
}

screenshot() {
    import -window root "$1"
}

pixel() {
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- |
        sed -n '2s/^[^(]*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*$/\1 \2 \3/p' |
        awk '{ printf "%d %d %d\n", $1, $2, $3 }'
}

pixels_differing() {
    compare -metric AE -fuzz 8% \
        \( "$1" -crop "$3" +repage \) \( "$2" -crop "$3" +repage \) null: 2>&1 |
        sed 's/[^0-9].*//'
}

pixels_close() {
    local tol=$3
    # shellcheck disable=SC2086
    set -- $1 $2
    local d
    for d in $(($1 - $4)) $(($2 - $5)) $(($3 - $6)); do
        [ "${d#-}" -le "$tol" ] || return 1
    done
    return 0
}


write_settings() {
    local dir=$1 pair
    shift
    mkdir -p "$dir"
    {
        printf '[Orvane.ini]\r\n'
        for pair in "$@"; do
            printf '%s\r\n' "$pair"
        done
    } >"$dir/Orvane.ini"
}

to_ppm() {
    convert "$1" -depth 8 -type TrueColor "$2"
}

area_matches() {
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/area_matches.py" "$@"
}

watch_area_start() {
    local ready="$E2E_DIR/watch.ready" i
    rm -f "$ready"
    WATCH_OUT="$E2E_DIR/watch.out"
    area_matches watch "$@" --ready "$ready" >"$WATCH_OUT" 2>&1 &
    WATCH_PID=$!
    # Python and its picture libraries take a moment to start.
    for i in $(seq 1 100); do
        [ -f "$ready" ] && return 0
        kill -0 "$WATCH_PID" 2>/dev/null || break
        sleep 0.05
    done
    return 1
}

watch_area_finish() {
    wait "$WATCH_PID"
    local status=$?
    WATCH_REPORT=$(tr '\n' ';' <"$WATCH_OUT")
    return $status
}

# The keyboard's random draw, checked as a screen reader sees it: Tab from the wish box
# must focus ランダム (the function FOCUSED prints the focused object's name), and Space
# must then draw a card other than SHOWN (the function CARD prints the reading's
# "CARD.nnn"), WAIT seconds after each press. A random draw may turn up the card shown
# (one in 49): Space is pressed again then, up to three times.
space_draws_a_card() {
    local name=$1 shown=$2 focused_fn=$3 card_fn=$4 wait=$5 drawn="" presses=0 focused
    key_press Tab
    sleep 0.3
    focused=$("$focused_fn")
    while [ "$presses" -lt 3 ]; do
        key_press space
        presses=$((presses + 1))
        sleep "$wait"
        drawn=$("$card_fn")
        [ "$drawn" = "$shown" ] || break
    done
    if [ "$focused" = ランダム ] && [ -n "$drawn" ] && [ "$drawn" != "$shown" ] &&
        [ "$drawn" != CARD.000 ]; then
        e2e_pass "$name: Tab, Space on ランダム draws a card ($drawn, Space pressed $presses times)"
    else
        e2e_fail "$name" "after Tab the focus is on '$focused'; after Space the reading names '$drawn'"
    fi
    SPACE_DRAWN=$drawn
}
