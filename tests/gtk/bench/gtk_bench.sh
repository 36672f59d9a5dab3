#!/bin/bash
# The native program's figures beside the least a GTK 3 window costs, measured in the same
# run on a private Xvfb screen inside a D-Bus session of its own. Every start meets a
# display without GDK's cached GL visuals (as if no GTK program had run on it yet), so a
# process that lets GDK load OpenGL pays for it each time.
#   start_program / start_plain / start_empty_gl
#                 ms from starting the process to its window mapped (median of 10, after
#                 2 warm-up runs each): the program, PlainGtkWindow.c (no GL, nothing in
#                 the window) and EmptyGtkWindow.c (GTK's default, GL allowed)
#   rss_*         KiB, GNU time's peak resident memory: a reading made with the wish
#                 "abc" and closed; each window opened and ended
#   anon_*        KiB, RssAnon of /proc/PID/status after the reading (the windows: once
#                 mapped and settled): the process's own heap, stacks and arenas
#   rss_program_gl / anon_program_gl  the same reading with the user's own GDK_GL= (empty),
#                 which the program leaves alone: what GDK's OpenGL would add
#   present / present_drawn / copy  µs for one card-turn step's 348 x 508 present, the
#                 same until the X server has drawn it, and a plain copy of as many pixels
# Beside OUT_FILE: OUT_FILE.smaps, the program's and the plain window's resident memory
# by mapping (tests/gtk/bench/smaps_by_mapping.py).
#
# usage: tests/gtk/bench/gtk_bench.sh BUILD_DIR OUT_FILE
# Not -e: the shared helpers of tests/e2e/lib.sh poll with commands that fail until
# the window is there.
set -u
if [ -z "${SABLEWICK_GTK_IN_SESSION:-}" ]; then
    SABLEWICK_GTK_IN_SESSION=1 exec dbus-run-session -- bash "$0" "$@"
fi
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../../.." && pwd)
# shellcheck source=tests/e2e/lib.sh
. "$ROOT/tests/e2e/lib.sh"
BUILD=$(cd "$1" && pwd)
OUT=$2
WORK=$(mktemp -d)
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/config" XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export LANG=C.UTF-8 LC_ALL=C.UTF-8 SDL_AUDIODRIVER=dummy
unset GDK_GL
xvfb_start "$WORK/xvfb.log" -noreset || exit 1
trap 'e2e_teardown; rm -rf "$WORK"' EXIT

# GDK keeps the visuals OpenGL chose on the root window for the GTK programs after it.
fresh_display() { xprop -root -remove GDK_VISUALS 2>/dev/null; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
rss_anon() { awk '/^RssAnon:/ { print $2 }' "/proc/$1/status"; }

: >"$WORK/program.txt"
: >"$WORK/plain.txt"
: >"$WORK/empty_gl.txt"
for round in $(seq 0 11); do
    fresh_display
    p=$("$BUILD/sablewick_time_to_map" "$BUILD/sablewick" --dir "$WORK/app" 2>/dev/null)
    fresh_display
    b=$("$BUILD/sablewick_time_to_map" "$BUILD/sablewick_gtk_plain_window" 2>/dev/null)
    fresh_display
    e=$("$BUILD/sablewick_time_to_map" "$BUILD/sablewick_gtk_empty_window" 2>/dev/null)
    # The first rounds warm the file cache.
    [ "$round" -lt 2 ] && continue
    echo "$p" >>"$WORK/program.txt"
    echo "$b" >>"$WORK/plain.txt"
    echo "$e" >>"$WORK/empty_gl.txt"
done

# A reading with the wish "abc", closed by its close button, under GNU time; NAME.peak is
# its peak, NAME.anon its RssAnon before the close, NAME.smaps its mappings then.
reading() {
    local name=$1 dir="$WORK/$1" timer pid id x y
    shift
    write_settings "$dir" Fate=10 "OldDate=$(date +%Y/%m/%d)"
    fresh_display
    env "$@" /usr/bin/time -f %M -o "$WORK/$name.peak" "$BUILD/sablewick" --dir "$dir" 2>/dev/null &
    timer=$!
    id=$(window_find Sablewick 20)
    pid=$(pgrep -P "$timer")
    read -r x y _ _ <<<"$(window_geometry "$id")"
    mouse_click $((x + 523)) $((y + 142))
    type_text abc
    key_press Return
    sleep 3
    rss_anon "$pid" >"$WORK/$name.anon"
    cp "/proc/$pid/smaps" "$WORK/$name.smaps"
    mouse_click $((x + 719)) $((y + 17))
    wait "$timer"
    [ "$(tr -d '\r' <"$dir/Orvane.ini" | sed -n 's/^Wish=//p')" = abc ] ||
        { echo "gtk_bench: the reading was not made ($name)" >&2; exit 1; }
}

# A window opened, settled for a second and ended, under GNU time.
window_run() {
    local name=$1 exe=$2 timer pid
    fresh_display
    /usr/bin/time -f %M -o "$WORK/$name.peak" "$exe" &
    timer=$!
    window_find SablewickBaseline 20 >/dev/null
    sleep 1
    pid=$(pgrep -P "$timer")
    rss_anon "$pid" >"$WORK/$name.anon"
    cp "/proc/$pid/smaps" "$WORK/$name.smaps"
    kill "$pid"
    wait "$timer"
}

reading program
reading program_gl GDK_GL=
window_run plain "$BUILD/sablewick_gtk_plain_window"
window_run empty_gl "$BUILD/sablewick_gtk_empty_window"

{
    echo "start_program $(median <"$WORK/program.txt")"
    echo "start_plain $(median <"$WORK/plain.txt")"
    echo "start_empty_gl $(median <"$WORK/empty_gl.txt")"
    for name in program plain empty_gl program_gl; do
        echo "rss_$name $(cat "$WORK/$name.peak")"
        echo "anon_$name $(cat "$WORK/$name.anon")"
    done
    "$BUILD/sablewick_gtk_present_bench"
} >"$OUT"
/usr/bin/python3 "$HERE/smaps_by_mapping.py" "$WORK/program.smaps" "$WORK/plain.smaps" >"$OUT.smaps"
cat "$OUT"
