#!/bin/bash
# End-to-end tests of the native Linux program (the GTK 3 build) on a private Xvfb screen
# of 1024 x 768 with a white root window, inside a D-Bus session of its own:
#   - the platform contract test and the backend's own tests on the real GTK backend
#   - cmake --install: the program, its desktop entry and its hicolor icons
#   - no display: a clear message and exit code 3, no crash
#   - the 737 x 584 window centred 6 pixels above the middle, shaped: the background
#     picture inside the shape, the white screen outside it
#   - no OpenGL: none of libGL, libEGL, libGLX, a DRI driver or libLLVM is mapped into
#     the program after its start nor after a reading (a GDK_GL of the user's own stands)
#   - a composited screen (xcompmgr): the window takes the alpha visual, the picture
#     inside the shape, the compositor's desktop outside it, and still no OpenGL
#   - a second start exits 0 and leaves one window (over D-Bus, and without a bus over
#     the socket in the runtime folder)
#   - typing "abc" and Enter with Fate 10: card 22's picture in the picture area, its
#     number, title and text in the labels; the right sound's bytes reach the device
#   - the card index: covered unseen cells, the wish box hidden, back after a right click
#   - the right-click menu's captions, separators, checks and enabled items
#   - the card's web link opens in the desktop's https handler, which does not inherit
#     the program's own GDK_GL
#   - the close button writes Orvane.ini with the wish and the window's position; the
#     session's end (SIGTERM) writes it too
#   - the wallpaper: WallOrvane.bmp written (24-bit, the screen's size) and set through
#     the desktop's settings (GNOME keys, kept in a key file for the test); on an unknown
#     desktop a message says where the file is
#   - bad input: an unwritable settings folder (an error box, exit 1, nothing written), no
#     Japanese font, no sound device
#   - a screen reader over AT-SPI: the painted buttons by name where they are drawn, a
#     reading made by the reader's action, Tab's focus (and its ring, gone after a click),
#     Tab and Space drawing a card, the reader's close saving the wish
#
# usage: tests/gtk/run_gtk_tests.sh BUILD_DIR   (a native build with the sablewick and
#        sablewick_gtk_tests targets). The last line says "N passed, M failed".
set -u

if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
# A session bus of its own, so single-instance runs through D-Bus as on a desktop.
if [ -z "${SABLEWICK_GTK_IN_SESSION:-}" ] && command -v dbus-run-session >/dev/null; then
    SABLEWICK_GTK_IN_SESSION=1 exec dbus-run-session -- bash "$0" "$@"
fi

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
# shellcheck source=tests/e2e/lib.sh
. "$ROOT/tests/e2e/lib.sh"

BUILD=$(cd "$1" && pwd)
APP="$BUILD/sablewick"
for f in "$APP" "$BUILD/sablewick_gtk_tests"; do
    if [ ! -x "$f" ]; then
        echo "missing $f: build the native targets first" >&2
        echo "0 passed, 1 failed"
        exit 1
    fi
done

E2E_ROOT=$ROOT
E2E_DIR="$BUILD/gtk-e2e"
E2E_SCREEN_W=1024
E2E_SCREEN_H=768
rm -rf "$E2E_DIR"
mkdir -p "$E2E_DIR/shots"
SHOTS="$E2E_DIR/shots"
WIN_W=737
WIN_H=584
EXPECT_X=$(((E2E_SCREEN_W - WIN_W) / 2))
EXPECT_Y=$(((E2E_SCREEN_H - WIN_H) / 2 - 6))
TODAY=$(date +%Y/%m/%d)
export LANG=C.UTF-8 LC_ALL=C.UTF-8
# A private home for everything the program and GTK keep.
export HOME="$E2E_DIR/home" XDG_CONFIG_HOME="$E2E_DIR/home/config"
export XDG_RUNTIME_DIR="$E2E_DIR/runtime" XDG_CACHE_HOME="$E2E_DIR/home/cache"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset XDG_CURRENT_DESKTOP WAYLAND_DISPLAY
export GTK_A11Y=none NO_AT_BRIDGE=1
export SDL_AUDIODRIVER=disk

xvfb_start "$E2E_DIR/xvfb.log" -screen 0 "${E2E_SCREEN_W}x${E2E_SCREEN_H}x24" -wr -noreset ||
    { echo "0 passed, 1 failed"; exit 1; }
trap e2e_teardown EXIT
# Services the session bus starts (the accessibility bus among them) get the private
# home and runtime folder too: otherwise they take the socket in the real home, which a
# second run on the same machine would take over.
dbus-update-activation-environment HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR XDG_CACHE_HOME \
    DISPLAY 2>/dev/null || true
# The window's background picture and its shape, which the screenshots are held against.
convert "$ROOT/resources/BASE.jpg" -depth 8 "$E2E_DIR/base.ppm"
convert "$ROOT/resources/BASEMSK.bmp" -depth 8 -type TrueColor "$E2E_DIR/mask.ppm"

# Starts the program with settings in DIR (its --dir), the probe file and the sound
# recording inside DIR; extra environment as NAME=VALUE words before the options.
gtk_start() {
    local dir=$1
    shift
    mkdir -p "$dir"
    # GDK keeps the visuals OpenGL chose on the root window, and a later GTK program reads
    # them there instead of loading OpenGL itself: every start here meets a display on
    # which no GTK program has run, where GDK would load it.
    xprop -root -remove GDK_VISUALS 2>/dev/null
    (cd "$dir" && exec env SABLEWICK_GTK_PROBE="$dir/probe.txt" SDL_DISKAUDIOFILE="$dir/sound.raw" \
        "$@" "$APP" --dir "$dir") >>"$dir/app.log" 2>&1 &
    APP_PID=$!
    E2E_APP_PIDS="$E2E_APP_PIDS $APP_PID"
}

# What the widgets show now (see platform/gtk/GtkProbe.cpp), from the running program.
probe() {
    local dir=$1 i
    rm -f "$dir/probe.txt"
    kill -USR1 "$APP_PID" 2>/dev/null || return 1
    for i in $(seq 1 50); do
        [ -f "$dir/probe.txt" ] && { cat "$dir/probe.txt"; return 0; }
        sleep 0.05
    done
    return 1
}
control_text() { grep -m1 "^control $2 " <<<"$1" | cut -d' ' -f5-; }
control_shown() { awk -v id="$2" '$1 == "control" && $2 == id { print $3; exit }' <<<"$1"; }
card_line() {
    iconv -f CP932 -t UTF-8 "$ROOT/resources/CARDT.txt" | tr -d '\r' | sed -n "$((7 * $1 + $2 + 1))p"
}
ini_value() { tr -d '\r' <"$1/Orvane.ini" | sed -n "s/^$2=//p"; }
all_seen() { printf 'l%.0s' $(seq 49); }

# The OpenGL libraries mapped into a process, by file name; nothing when there are none.
gl_libraries() {
    awk '{ n = split($6, p, "/"); f = p[n] }
        f ~ /^lib(GL|EGL)/ || f ~ /_dri\.so/ || f ~ /^libLLVM/ { print f }' "/proc/$1/maps" |
        sort -u | tr '\n' ' '
}

# The program draws with Cairo alone: GDK must not have loaded OpenGL for it.
scenario_no_gl() {
    local label=$1 pid=$2 found
    if [ ! -r "/proc/$pid/maps" ]; then
        e2e_fail "no OpenGL ($label)" "the program (pid $pid) is not running"
        return 1
    fi
    found=$(gl_libraries "$pid")
    if [ -z "$found" ]; then
        e2e_pass "no OpenGL ($label): no libGL, libEGL, libGLX, DRI driver or libLLVM mapped"
    else
        e2e_fail "no OpenGL ($label)" "mapped: $found"
    fi
}

# A GDK_GL of the user's own is left as it is: with no flags at all GDK loads OpenGL where
# a driver is installed, which also shows that the check above would see it.
scenario_users_gl() {
    local dir="$E2E_DIR/users-gl" found
    if ! ls /usr/lib/*/dri/*_dri.so >/dev/null 2>&1; then
        e2e_fail "the user's GDK_GL" "no Mesa DRI driver installed (libgl1-mesa-dri, tools/setup.sh)"
        return 1
    fi
    write_settings "$dir" Fate=10
    gtk_start "$dir" GDK_GL= DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
    if ! window_find Sablewick 20 >/dev/null; then
        e2e_fail "the user's GDK_GL" "no window ($(tail -n 2 "$dir/app.log"))"
        return 1
    fi
    found=$(gl_libraries "$APP_PID")
    kill -INT "$APP_PID"
    app_wait_exit "$APP_PID" 5
    if grep -q 'libGL' <<<"$found" && grep -q '_dri\.so' <<<"$found"; then
        e2e_pass "the user's GDK_GL (empty) stands: GDK loaded $found"
    else
        e2e_fail "the user's GDK_GL" "with GDK_GL empty GDK mapped only '$found'"
    fi
}

# Whether a compositing manager has the screen, asked of the X server through Xlib.
compositor_owns_screen() {
    /usr/bin/python3 - <<'EOF'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XGetSelectionOwner.restype = ctypes.c_ulong
x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
d = x.XOpenDisplay(None)
sys.exit(0 if d and x.XGetSelectionOwner(d, x.XInternAtom(d, b"_NET_WM_CM_S0", 0)) else 1)
EOF
}

# A compositing manager on the screen: the window takes the alpha visual, shows the
# picture inside its shape and the compositor's desktop outside, without OpenGL.
scenario_composited() {
    local dir="$E2E_DIR/composited" cm i behind id depth state out
    if ! command -v xcompmgr >/dev/null; then
        e2e_fail "composited screen" "xcompmgr is not installed (tools/setup.sh)"
        return 1
    fi
    xcompmgr >"$E2E_DIR/xcompmgr.log" 2>&1 &
    cm=$!
    # GDK calls a screen composited once a compositor owns its _NET_WM_CM_S0 selection.
    for i in $(seq 1 50); do
        compositor_owns_screen && break
        sleep 0.1
    done
    if ! compositor_owns_screen || ! kill -0 "$cm" 2>/dev/null; then
        e2e_fail "composited screen" "xcompmgr did not take the screen ($(tail -n 2 "$E2E_DIR/xcompmgr.log"))"
        kill "$cm" 2>/dev/null
        return 1
    fi
    write_settings "$dir" Fate=10 "OldDate=$TODAY" "MemDate=$TODAY"
    gtk_start "$dir"
    if ! id=$(window_find Sablewick 20); then
        e2e_fail "composited screen" "no window ($(tail -n 2 "$dir/app.log"))"
        kill "$cm" 2>/dev/null
        return 1
    fi
    sleep 1
    depth=$(xwininfo -id "$id" | awk '/Depth:/ { print $2 }')
    state=$(probe "$dir")
    screenshot "$SHOTS/composited.png"
    # The compositor paints a desktop of its own over the white root: a corner far from
    # the window shows it.
    behind=$(pixel "$SHOTS/composited.png" 2 2)
    convert "$SHOTS/composited.png" -crop "${WIN_W}x$WIN_H+$EXPECT_X+$EXPECT_Y" +repage -depth 8 \
        "$E2E_DIR/composited.ppm"
    if out=$(/usr/bin/python3 "$ROOT/tests/e2e/window_matches_picture.py" "$E2E_DIR/composited.ppm" \
        "$E2E_DIR/base.ppm" "$E2E_DIR/mask.ppm" --behind "${behind// /,}") &&
        [ "$behind" != "255 255 255" ] && [ "$depth" = 32 ] && grep -q '^visual alpha' <<<"$state"; then
        e2e_pass "composited screen: a $depth-bit alpha visual; $out"
    else
        e2e_fail "composited screen" "depth '$depth', $(grep '^visual' <<<"$state"), desktop '$behind': $out ($SHOTS/composited.png)"
    fi
    scenario_no_gl "composited, the alpha visual asked for" "$APP_PID"
    kill -INT "$APP_PID"
    app_wait_exit "$APP_PID" 5
    kill "$cm" 2>/dev/null
    wait "$cm" 2>/dev/null
}

# The card's web link goes to the desktop's default handler for https, here a script of the
# test's that writes down the address and its environment: what the program started sees
# of the program's own, with GL left to the user (no GDK_GL=disable of ours).
install_test_browser() {
    local apps="$HOME/.local/share/applications"
    mkdir -p "$apps"
    cat >"$E2E_DIR/browser.sh" <<EOF
#!/bin/sh
env >"$E2E_DIR/browser-env.txt"
printf '%s\n' "\$1" >"$E2E_DIR/browser-url.txt"
EOF
    chmod +x "$E2E_DIR/browser.sh"
    printf '[Desktop Entry]\nType=Application\nName=Test browser\nExec=%s %%u\nMimeType=x-scheme-handler/https;\n' \
        "$E2E_DIR/browser.sh" >"$apps/sablewick-test-browser.desktop"
    printf '[Default Applications]\nx-scheme-handler/https=sablewick-test-browser.desktop\n' \
        >"$XDG_CONFIG_HOME/mimeapps.list"
}

scenario_link() {
    local i url
    rm -f "$E2E_DIR/browser-env.txt" "$E2E_DIR/browser-url.txt"
    mouse_click $((EXPECT_X + 613 + 53)) $((EXPECT_Y + 549 + 17))
    for i in $(seq 1 50); do
        [ -s "$E2E_DIR/browser-url.txt" ] && [ -s "$E2E_DIR/browser-env.txt" ] && break
        sleep 0.1
    done
    url=$(cat "$E2E_DIR/browser-url.txt" 2>/dev/null)
    if [ -z "$url" ]; then
        e2e_fail "web link" "the desktop's https handler was not started"
    elif ! grep -q '^SABLEWICK_GTK_PROBE=' "$E2E_DIR/browser-env.txt"; then
        e2e_fail "web link" "the handler did not get the program's environment"
    elif grep -q '^GDK_GL=' "$E2E_DIR/browser-env.txt"; then
        e2e_fail "web link" "the handler inherited $(grep '^GDK_GL=' "$E2E_DIR/browser-env.txt")"
    else
        e2e_pass "web link: the desktop's handler opened $url, without the program's GDK_GL"
    fi
}

scenario_contract_tests() {
    local log="$E2E_DIR/gtk-tests.log" status summary
    (cd "$E2E_DIR" && "$BUILD/sablewick_gtk_tests" --gtest_color=no) >"$log" 2>&1
    status=$?
    summary=$(grep -E '^\[  (PASSED|FAILED)  \]|tests? from .* ran' "$log" | tr '\n' ' ')
    if [ "$status" -eq 0 ] && grep -q '\[  PASSED  \]' "$log"; then
        e2e_pass "contract and backend tests on GTK: $summary"
    else
        e2e_fail "contract and backend tests on GTK" "exit $status; $summary(see $log)"
        grep -E '^\[  FAILED  \]|Failure' "$log" | head -n 20
    fi
}

scenario_no_display() {
    local out status
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$APP" --dir "$E2E_DIR/nodisplay" 2>&1)
    status=$?
    if [ "$status" = 3 ] && grep -q "cannot open a display" <<<"$out" && [ ! -e "$E2E_DIR/nodisplay/Orvane.ini" ]; then
        e2e_pass "no display: exit 3, '$out'"
    else
        e2e_fail "no display" "exit $status, output '$out'"
    fi
}

MAIN=""
MAIN_PID=""
MAIN_WID=""

scenario_start_and_shape() {
    MAIN="$E2E_DIR/main"
    write_settings "$MAIN" Fate=10 "OldDate=$TODAY" "MemDate=$TODAY"
    gtk_start "$MAIN"
    MAIN_PID=$APP_PID
    if ! MAIN_WID=$(window_find Sablewick 20); then
        e2e_fail "start" "no window named Sablewick within 20 s ($(tail -n 3 "$MAIN/app.log"))"
        return 1
    fi
    local geometry
    geometry=$(window_geometry "$MAIN_WID")
    if [ "$geometry" = "$EXPECT_X $EXPECT_Y $WIN_W $WIN_H" ]; then
        e2e_pass "start: window Sablewick at $EXPECT_X,$EXPECT_Y size ${WIN_W}x$WIN_H"
    else
        e2e_fail "start" "window at/size '$geometry', expected '$EXPECT_X $EXPECT_Y $WIN_W $WIN_H'"
    fi
    scenario_no_gl "after the start" "$MAIN_PID"
    sleep 1
    screenshot "$SHOTS/start.png"
    convert "$SHOTS/start.png" -crop "${WIN_W}x$WIN_H+$EXPECT_X+$EXPECT_Y" +repage -depth 8 "$E2E_DIR/window.ppm"
    local out
    if out=$(/usr/bin/python3 "$ROOT/tests/e2e/window_matches_picture.py" "$E2E_DIR/window.ppm" \
        "$E2E_DIR/base.ppm" "$E2E_DIR/mask.ppm"); then
        e2e_pass "shape: $out"
    else
        e2e_fail "shape" "$out ($SHOTS/start.png)"
    fi
}

scenario_second_instance() {
    local label=$1 status windows
    shift
    gtk_start "$E2E_DIR/second" "$@"
    if ! app_wait_exit "$APP_PID" 10; then
        e2e_fail "second instance ($label)" "still running after 10 s"
        return 1
    fi
    status=$APP_STATUS
    windows=$(window_count Sablewick)
    APP_PID=$MAIN_PID
    if [ "$status" = 0 ] && [ "$windows" = 1 ] && kill -0 "$MAIN_PID" 2>/dev/null; then
        e2e_pass "second instance ($label): exit 0, one window, the first still runs"
    else
        e2e_fail "second instance ($label)" "exit '$status', $windows window(s) named Sablewick"
    fi
}

# Fate 10 and the wish "abc" give card 22.
scenario_reading() {
    local card=22 state
    mouse_click $((EXPECT_X + 463 + 60)) $((EXPECT_Y + 82 + 60))
    sleep 0.3
    type_text abc
    key_press Return
    sleep 3
    screenshot "$SHOTS/reading.png"
    state=$(probe "$MAIN")
    local number title text memo want_title want_text
    number=$(control_text "$state" LabelNo)
    title=$(control_text "$state" LabelTittle)
    text=$(control_text "$state" LabelKaisetu)
    memo=$(control_text "$state" Memo1)
    want_title=$(card_line $card 1)
    want_text=$(card_line $card 2)
    if [ "$number" = CARD.022 ] && [ "$title" = "$want_title" ] && [ "$text" = "${want_text//\\n/\\n}" ] &&
        [ "$memo" = abc ]; then
        e2e_pass "reading: the wish 'abc' on one line, $number '$title' with its text"
    else
        e2e_fail "reading" "wish '$memo', number '$number', title '$title' (want '$want_title'), text '$text'"
    fi
    to_ppm "$ROOT/resources/C022.jpg" "$SHOTS/C022.ppm"
    local out
    if out=$(area_matches still "$SHOTS/reading.png" $((EXPECT_X + 36)) $((EXPECT_Y + 48)) \
        "$SHOTS/C022.ppm" --exclude $((EXPECT_X + 160)) $((EXPECT_Y + 252)) 87 87 2>&1); then
        e2e_pass "reading: card 22's picture in the picture area ($out)"
    else
        e2e_fail "reading" "the picture area does not show C022: $out ($SHOTS/reading.png)"
    fi
}

# The recording of the sound device holds A02 (the reading's cue), byte for byte.
scenario_sound() {
    local out
    if out=$(/usr/bin/python3 - "$MAIN/sound.raw" "$ROOT/resources/A02.wav" "$ROOT/resources/A01.wav" <<'EOF'
import sys, wave
rec = open(sys.argv[1], "rb").read()
found = []
for path in sys.argv[2:]:
    w = wave.open(path)
    pcm = w.readframes(w.getnframes())
    # A stretch from the middle of the sound: the first cue is cut off by the next.
    piece = pcm[4000:12000]
    found.append(path.rsplit("/", 1)[1] + (" played" if piece in rec else " missing"))
print(", ".join(found), "in %d recorded bytes" % len(rec))
sys.exit(0 if all(f.endswith("played") for f in found) else 1)
EOF
    ); then
        e2e_pass "sound: $out"
    else
        e2e_fail "sound" "$out"
    fi
}

scenario_index() {
    to_ppm "$ROOT/resources/QUEST.jpg" "$SHOTS/QUEST.ppm"
    to_ppm "$ROOT/resources/INDEX02.jpg" "$SHOTS/INDEX02.ppm"
    mouse_click $((EXPECT_X + 580 + 19)) $((EXPECT_Y + 2 + 18))
    sleep 1
    screenshot "$SHOTS/index.png"
    local state memo_open covered="" wrong="" i n x y
    state=$(probe "$MAIN")
    memo_open=$(control_shown "$state" Memo1)
    # Page 2 holds card 22, the only card seen.
    for i in 0 1 2 3 4 5 6 7 8 9; do
        n=$((20 + i))
        x=$((EXPECT_X + 458 + 48 * (i % 5) + 3))
        y=$((EXPECT_Y + 63 + 74 * (i / 5) + 3))
        if [ "$n" = 22 ]; then
            area_matches still "$SHOTS/index.png" $x $y "$SHOTS/INDEX02.ppm" --from $((48 * (i % 5) + 3)) \
                $((74 * (i / 5) + 3)) --size 40 62 >/dev/null || wrong="$wrong $n(not its thumbnail)"
        elif area_matches still "$SHOTS/index.png" $x $y "$SHOTS/QUEST.ppm" --from 3 3 --size 40 62 >/dev/null; then
            covered="$covered $n"
        else
            wrong="$wrong $n(not covered)"
        fi
    done
    mouse_click $((EXPECT_X + 410)) $((EXPECT_Y + 450)) 3
    sleep 0.8
    local after memo_back
    after=$(probe "$MAIN")
    memo_back=$(control_shown "$after" Memo1)
    if [ -z "$wrong" ] && [ "$memo_open" = 0 ] && [ "$memo_back" = 1 ] && grep -q '^menu none' <<<"$after"; then
        e2e_pass "index: covered$covered, card 22's thumbnail; wish box hidden, back after a right click"
    else
        e2e_fail "index" "wrong cells:${wrong:- none}, wish box while open '$memo_open', after '$memo_back' ($SHOTS/index.png)"
    fi
}

scenario_menu() {
    mouse_click $((EXPECT_X + 410)) $((EXPECT_Y + 450)) 3
    sleep 0.8
    screenshot "$SHOTS/menu.png"
    local state closed
    state=$(probe "$MAIN")
    key_press Escape
    sleep 0.5
    closed=$(probe "$MAIN" | grep '^menu')
    # Captions, checks and enabling as the options menu has them with the defaults and
    # one reading made: sparkles over the picture on; centring, re-centring the light,
    # the previous card, the last run's reading and the wallpaper unavailable.
    local got want
    got=$(awk '$1 == "item" || $1 == "separator"' <<<"$state")
    want=$(cat <<'EOF'
item 0 0 中央に配置する(_C)
item 0 1 常に一番上に配置する(_T)
item 0 1 音声を消す(_M)
separator
item 0 1 羽根ペンを黒くする(_B)
item 0 1 羽根ペンを下向きにする(_D)
item 1 1 光効果を絵の上でも表示する(_L)
item 0 0 光効果の発生点を中央に配置する(_P)
separator
item 0 0 直前のカードを再表示する(_U)
item 0 0 前回起動時の最後の占いを再現する(_R)
item 0 1 次回起動時に最後の占いを再現する(_N)
separator
item 0 0 壁紙作成(_W)
EOF
    )
    if [ "$got" = "$want" ] && [ "$closed" = "menu none" ]; then
        e2e_pass "menu: $(grep -c '^item' <<<"$got") items with their checks and enabling; Escape closed it"
    else
        e2e_fail "menu" "closed: '$closed'; items:
$got
expected:
$want"
    fi
}

scenario_close() {
    mouse_click $((EXPECT_X + 703 + 16)) $((EXPECT_Y + 1 + 16))
    if ! app_wait_exit "$MAIN_PID" 10; then
        e2e_fail "close button" "the program still runs 10 s after the click"
        return 1
    fi
    local wish left top
    wish=$(ini_value "$MAIN" Wish)
    left=$(ini_value "$MAIN" Left)
    top=$(ini_value "$MAIN" Top)
    if [ "$APP_STATUS" = 0 ] && [ "$wish" = abc ] && [ "$left" = "$EXPECT_X" ] && [ "$top" = "$EXPECT_Y" ] &&
        [ "$(ini_value "$MAIN" CardNum)" = 22 ] && [ "$(window_count Sablewick)" = 0 ]; then
        e2e_pass "close button: exit 0, Orvane.ini with Wish=abc, CardNum=22, Left=$left, Top=$top"
    else
        e2e_fail "close button" "exit '$APP_STATUS', Wish='$wish' Left='$left' Top='$top' ($MAIN/Orvane.ini)"
    fi
}

scenario_session_end() {
    local dir="$E2E_DIR/session"
    write_settings "$dir" Fate=10 "OldDate=$TODAY" "MemDate=$TODAY" ResumeOk=1 "Wish=before"
    gtk_start "$dir"
    window_find Sablewick 20 >/dev/null || { e2e_fail "session end" "no window"; return 1; }
    mouse_click $((EXPECT_X + 463 + 60)) $((EXPECT_Y + 82 + 60))
    key_press Escape
    type_text xyz
    key_press Return
    sleep 3
    kill -TERM "$APP_PID"
    app_wait_exit "$APP_PID" 5 || { e2e_fail "session end" "still running 5 s after SIGTERM"; return 1; }
    if [ "$(ini_value "$dir" Wish)" = xyz ]; then
        e2e_pass "session end: SIGTERM wrote the settings at once (Wish=xyz), exit $APP_STATUS"
    else
        e2e_fail "session end" "Wish='$(ini_value "$dir" Wish)' after SIGTERM"
    fi
}

# Every card seen, so the menu offers the wallpaper; its accelerator W chooses it.
make_wallpaper() {
    local dir=$1
    shift
    write_settings "$dir" Fate=10 "OldDate=$TODAY" "MemDate=$TODAY" "CardOk=$(all_seen)"
    gtk_start "$dir" "$@"
    window_find Sablewick 20 >/dev/null || return 1
    sleep 0.5
    mouse_click $((EXPECT_X + 410)) $((EXPECT_Y + 450)) 3
    sleep 0.8
    key_press w
}

bmp_header() {
    /usr/bin/python3 -c '
import struct, sys
d = open(sys.argv[1], "rb").read(54)
w, h = struct.unpack("<ii", d[18:26]); bits = struct.unpack("<H", d[28:30])[0]
print(d[:2].decode(), w, abs(h), bits)' "$1" 2>/dev/null
}

scenario_wallpaper() {
    local dir="$E2E_DIR/wall" keyfile
    make_wallpaper "$dir" XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=keyfile ||
        { e2e_fail "wallpaper" "no window"; return 1; }
    sleep 2
    keyfile="$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"
    local header uri
    header=$(bmp_header "$dir/WallOrvane.bmp")
    uri=$(grep -E "^picture-uri=" "$keyfile" 2>/dev/null)
    if [ "$header" = "BM 1024 768 24" ] && [ "$uri" = "picture-uri='file://$dir/WallOrvane.bmp'" ] &&
        grep -q "^picture-uri-dark='file://$dir/WallOrvane.bmp'" "$keyfile"; then
        e2e_pass "wallpaper: $header written, set as GNOME's background ($uri)"
    else
        e2e_fail "wallpaper" "file '$header', key file: $(tr '\n' ' ' <"$keyfile" 2>/dev/null)"
    fi
    kill -INT "$APP_PID"
    app_wait_exit "$APP_PID" 5

    dir="$E2E_DIR/wall-elsewhere"
    make_wallpaper "$dir" || { e2e_fail "wallpaper elsewhere" "no window"; return 1; }
    sleep 2
    local boxes
    boxes=$(window_count Sablewick)
    screenshot "$SHOTS/wallpaper-message.png"
    key_press Return
    sleep 0.5
    if [ "$boxes" = 2 ] && [ "$(bmp_header "$dir/WallOrvane.bmp")" = "BM 1024 768 24" ] &&
        [ "$(window_count Sablewick)" = 1 ]; then
        e2e_pass "wallpaper on an unknown desktop: the file written, a message says where"
    else
        e2e_fail "wallpaper elsewhere" "$boxes window(s) named Sablewick while it was made ($SHOTS/wallpaper-message.png)"
    fi
    kill -INT "$APP_PID"
    app_wait_exit "$APP_PID" 5
}

scenario_unwritable_folder() {
    local dir="$E2E_DIR/blocked"
    : >"$E2E_DIR/a-file"
    mkdir -p "$dir"
    # A settings folder that cannot be made: its parent is a file.
    local bad="$E2E_DIR/a-file/sablewick"
    (exec env SABLEWICK_GTK_PROBE="$dir/probe.txt" "$APP" --dir "$bad") >"$dir/app.log" 2>&1 &
    APP_PID=$!
    E2E_APP_PIDS="$E2E_APP_PIDS $APP_PID"
    local box=""
    box=$(window_find Sablewick 10) || true
    screenshot "$SHOTS/unwritable.png"
    # No window manager gives the box the keyboard.
    [ -n "$box" ] && xdotool windowfocus --sync "$box" 2>/dev/null
    key_press Return
    app_wait_exit "$APP_PID" 10 || { e2e_fail "unwritable folder" "still running"; return 1; }
    if [ -n "$box" ] && [ "$APP_STATUS" = 1 ] && grep -q "z.html" "$dir/app.log"; then
        e2e_pass "unwritable folder: an error box ($(grep -m1 z.html "$dir/app.log")), exit 1"
    else
        e2e_fail "unwritable folder" "box '$box', exit '$APP_STATUS', log: $(tail -n 2 "$dir/app.log")"
    fi
}

# A run under changed conditions still makes a reading and closes normally.
reading_survives() {
    local name=$1 dir=$2 expect_log=$3
    shift 3
    write_settings "$dir" Fate=10 "OldDate=$TODAY" "MemDate=$TODAY"
    gtk_start "$dir" "$@"
    if ! window_find Sablewick 20 >/dev/null; then
        e2e_fail "$name" "no window ($(tail -n 2 "$dir/app.log"))"
        return 1
    fi
    mouse_click $((EXPECT_X + 463 + 60)) $((EXPECT_Y + 82 + 60))
    type_text abc
    key_press Return
    sleep 3
    local number
    number=$(control_text "$(probe "$dir")" LabelNo)
    mouse_click $((EXPECT_X + 703 + 16)) $((EXPECT_Y + 1 + 16))
    app_wait_exit "$APP_PID" 10
    if [ "$number" = CARD.022 ] && [ "$APP_STATUS" = 0 ] && grep -q "$expect_log" "$dir/app.log" &&
        [ "$(ini_value "$dir" Wish)" = abc ]; then
        e2e_pass "$name: the reading shows $number, exit 0, the user is told: $(grep -m1 "$expect_log" "$dir/app.log")"
    else
        e2e_fail "$name" "number '$number', exit '$APP_STATUS', log: $(tail -n 3 "$dir/app.log")"
    fi
}

scenario_no_font() {
    local conf="$E2E_DIR/no-fonts.conf"
    mkdir -p "$E2E_DIR/empty-fonts"
    printf '<?xml version="1.0"?>\n<fontconfig><dir>%s</dir><cachedir>%s</cachedir></fontconfig>\n' \
        "$E2E_DIR/empty-fonts" "$E2E_DIR/font-cache" >"$conf"
    reading_survives "no Japanese font" "$E2E_DIR/nofont" "no Japanese font" FONTCONFIG_FILE="$conf"
}

scenario_no_sound_device() {
    reading_survives "no sound device" "$E2E_DIR/nosound" "no sound" SDL_AUDIODRIVER=none-such
}

# What `cmake --install` puts where the desktop looks for it.
scenario_install() {
    local prefix="$E2E_DIR/prefix" desktop icon
    if ! cmake --install "$BUILD" --prefix "$prefix" >"$E2E_DIR/install.log" 2>&1; then
        e2e_fail "install" "cmake --install failed ($E2E_DIR/install.log)"
        return 1
    fi
    desktop="$prefix/share/applications/org.sablewick.Sablewick.desktop"
    icon=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/48x48/apps/sablewick.png" 2>/dev/null)
    if [ -x "$prefix/bin/sablewick" ] && grep -qx 'Exec=sablewick' "$desktop" &&
        grep -qx 'Icon=sablewick' "$desktop" && [ "$icon" = 48x48 ] &&
        [ -f "$prefix/share/icons/hicolor/16x16/apps/sablewick.png" ]; then
        e2e_pass "install: bin/sablewick, the desktop entry and the hicolor icons ($icon and smaller)"
    else
        e2e_fail "install" "missing or wrong files under $prefix (48 px icon '$icon')"
    fi
}

# The window as a screen reader finds it over AT-SPI (tests/gtk/atspi_probe.py), in an
# instance with the accessibility bridge on, and as a keyboard user meets it.
acc_list() { /usr/bin/python3 "$ROOT/tests/gtk/atspi_probe.py" list 2>&1; }
acc_field() { awk -F'\t' -v name="$2" -v f="$3" '$2 == name { print $f; exit }' <<<"$1"; }
acc_reading() { awk -F'\t' '$1 == "status" { print $2; exit }' <<<"$1"; }
acc_focused_name() { awk -F'\t' '$7 ~ /(^|,)focused(,|$)/ { print $2; exit }' <<<"$(acc_list)"; }
acc_card() { acc_reading "$(acc_list)" | cut -d' ' -f2; }
scenario_accessibility() {
    local dir="$E2E_DIR/a11y" name="accessibility"
    write_settings "$dir" Fate=10 "OldDate=$TODAY" "MemDate=$TODAY" MuteOn=1
    unset GTK_A11Y NO_AT_BRIDGE
    gtk_start "$dir"
    export GTK_A11Y=none NO_AT_BRIDGE=1
    local pid=$APP_PID
    if ! window_find Sablewick 20 >/dev/null; then
        e2e_fail "$name" "no window ($(tail -n 2 "$dir/app.log"))"
        return 1
    fi
    sleep 1
    local tree b missing=""
    tree=$(acc_list)
    printf '%s\n' "$tree" >"$E2E_DIR/accessibles-start.txt"
    for b in 占い実行 ランダム クリエイター HP 前へ 次へ 最小化 閉じる; do
        [ "$(acc_field "$tree" "$b" 1)" = button ] || missing="$missing $b"
    done
    local close_at fortune_states
    close_at="$(acc_field "$tree" 閉じる 3) $(acc_field "$tree" 閉じる 4) $(acc_field "$tree" 閉じる 5) $(acc_field "$tree" 閉じる 6)"
    fortune_states=$(acc_field "$tree" 占い実行 7)
    if [ -z "$missing" ] && [ "$close_at" = "$((EXPECT_X + 703)) $((EXPECT_Y + 1)) 33 33" ] &&
        [ "${fortune_states#*enabled}" = "$fortune_states" ] &&
        [ "$(acc_reading "$tree" | cut -d' ' -f2)" = CARD.000 ]; then
        e2e_pass "$name: AT-SPI lists the painted buttons by name, 閉じる where it is drawn, 占い実行 not enabled with no wish, the reading at CARD.000"
    else
        e2e_fail "$name" "missing:${missing:- none}; 閉じる at '$close_at'; 占い実行 '$fortune_states'; reading '$(acc_reading "$tree")' ($E2E_DIR/accessibles-start.txt)"
    fi

    # A wish and the reader's click on 占い実行 make the reading.
    mouse_click $((EXPECT_X + 463 + 60)) $((EXPECT_Y + 82 + 60))
    sleep 0.3
    type_text abc
    sleep 0.3
    /usr/bin/python3 "$ROOT/tests/gtk/atspi_probe.py" do 占い実行 >"$dir/do.log" 2>&1
    sleep 3.5
    tree=$(acc_list)
    local reading
    reading=$(acc_reading "$tree")
    local want="占いの結果 CARD.022 $(card_line 22 1) "
    if [ "${reading#"$want"}" != "$reading" ]; then
        e2e_pass "$name: the reader's action on 占い実行 draws card 22 for 'abc'; the reading names it with its title"
    else
        e2e_fail "$name" "after the action the reading is '$reading' ($(cat "$dir/do.log"))"
    fi

    # Tab: a focused button and its ring; a click into the wish box takes the ring away.
    local before="$E2E_DIR/a11y-before.png" after="$SHOTS/gtk-focus-ring.png" clicked="$E2E_DIR/a11y-clicked.png"
    local area="103x39+$((EXPECT_X + 580))+$((EXPECT_Y + 233))"
    screenshot "$before"
    key_press Tab
    sleep 0.5
    tree=$(acc_list)
    screenshot "$after"
    local focused ring gone
    focused=$(awk -F'\t' '$7 ~ /(^|,)focused(,|$)/ { print $2 }' <<<"$tree" | tr '\n' ' ')
    ring=$(pixels_differing "$before" "$after" "$area")
    mouse_click $((EXPECT_X + 463 + 60)) $((EXPECT_Y + 82 + 60))
    sleep 0.5
    screenshot "$clicked"
    gone=$(pixels_differing "$before" "$clicked" "$area")
    if [ "$focused" = "ランダム " ] && [ "${ring:-0}" -ge 40 ] && [ "${gone:-1}" -eq 0 ]; then
        e2e_pass "$name: Tab focuses ランダム (AT-SPI's focused state) and rings it ($ring pixels), a click into the wish box takes the ring away"
    else
        e2e_fail "$name" "after Tab focused '$focused', ring pixels '$ring'; after the click '$gone' differ ($after)"
    fi

    space_draws_a_card "$name" CARD.022 acc_focused_name acc_card 3.5

    /usr/bin/python3 "$ROOT/tests/gtk/atspi_probe.py" do 閉じる >/dev/null 2>&1
    if ! app_wait_exit "$pid" 10; then
        e2e_fail "$name" "the program still runs 10 s after the reader's action on 閉じる"
        kill "$pid" 2>/dev/null
        return 1
    fi
    if [ "$(ini_value "$dir" Wish)" = abc ]; then
        e2e_pass "$name: the reader's action on 閉じる ends the program, which saved the wish"
    else
        e2e_fail "$name" "Orvane.ini holds Wish='$(ini_value "$dir" Wish)'"
    fi
}

install_test_browser
scenario_contract_tests
scenario_install
scenario_no_display
if scenario_start_and_shape; then
    scenario_second_instance "D-Bus"
    scenario_reading
    scenario_sound
    scenario_index
    scenario_menu
    scenario_link
    scenario_no_gl "after a reading, the index, the menu and a link" "$MAIN_PID"
    scenario_close
fi
scenario_composited
scenario_users_gl
# Without a session bus both instances meet at the socket in the runtime folder.
MAIN="$E2E_DIR/nobus"
write_settings "$MAIN" Fate=10
gtk_start "$MAIN" DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
MAIN_PID=$APP_PID
if window_find Sablewick 20 >/dev/null; then
    scenario_second_instance "no bus" DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
else
    e2e_fail "start without a bus" "no window ($(tail -n 2 "$MAIN/app.log"))"
fi
kill -INT "$MAIN_PID" 2>/dev/null
app_wait_exit "$MAIN_PID" 5
scenario_session_end
scenario_wallpaper
scenario_unwritable_folder
scenario_no_font
scenario_no_sound_device
scenario_accessibility

e2e_teardown
trap - EXIT
e2e_summary
