#!/bin/bash
# The native program's figures beside an empty GTK 3 window of the same size, measured
# in the same run on a private Xvfb screen inside a D-Bus session of its own:
#   start_program / start_empty   ms from starting the process to its window mapped
#                                 (median of 10, after 2 warm-up runs each)
#   rss_program / rss_empty       KiB, GNU time's peak resident memory: a reading made
#                                 with the wish "abc" and closed, against the empty
#                                 window opened and ended
#   present / present_drawn / copy  µs for one card-turn step's 348 x 508 present, the
#                                 same until the X server has drawn it, and a plain copy
#                                 of as many pixels
#
# usage: tests/gtk/bench/gtk_bench.sh BUILD_DIR OUT_FILE
# Not -e: the shared helpers of tests/e2e/lib.sh poll with commands that fail until
# the window is there.
set -u
if [ -z "${SABLEWICK_GTK_IN_SESSION:-}" ]; then
    SABLEWICK_GTK_IN_SESSION=1 exec dbus-run-session -- bash "$0" "$@"
fi
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
# shellcheck source=tests/e2e/lib.sh
. "$ROOT/tests/e2e/lib.sh"
BUILD=$(cd "$1" && pwd)
OUT=$2
WORK=$(mktemp -d)
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/config" XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export LANG=C.UTF-8 LC_ALL=C.UTF-8 SDL_AUDIODRIVER=dummy
xvfb_start "$WORK/xvfb.log" -noreset || exit 1
trap 'e2e_teardown; rm -rf "$WORK"' EXIT

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
: >"$WORK/program.txt"
: >"$WORK/empty.txt"
for round in $(seq 0 11); do
    p=$("$BUILD/sablewick_time_to_map" "$BUILD/sablewick" --dir "$WORK/app" 2>/dev/null)
    e=$("$BUILD/sablewick_time_to_map" "$BUILD/sablewick_gtk_empty_window" 2>/dev/null)
    # The first rounds warm the file cache.
    [ "$round" -lt 2 ] && continue
    echo "$p" >>"$WORK/program.txt"
    echo "$e" >>"$WORK/empty.txt"
done

write_settings "$WORK/reading" Fate=10 "OldDate=$(date +%Y/%m/%d)"
/usr/bin/time -f %M -o "$WORK/rss-program.txt" "$BUILD/sablewick" --dir "$WORK/reading" 2>/dev/null &
timer=$!
id=$(window_find Sablewick 20)
read -r x y _ _ <<<"$(window_geometry "$id")"
mouse_click $((x + 523)) $((y + 142))
type_text abc
key_press Return
sleep 3
mouse_click $((x + 719)) $((y + 17))
wait "$timer"
[ "$(tr -d '\r' <"$WORK/reading/Orvane.ini" | sed -n 's/^Wish=//p')" = abc ] ||
    { echo "gtk_bench: the reading was not made" >&2; exit 1; }
/usr/bin/time -f %M -o "$WORK/rss-empty.txt" "$BUILD/sablewick_gtk_empty_window" &
timer=$!
window_find SablewickBaseline 20 >/dev/null
sleep 1
kill "$(pgrep -P "$timer")"
wait "$timer"

{
    echo "start_program $(median <"$WORK/program.txt")"
    echo "start_empty $(median <"$WORK/empty.txt")"
    echo "rss_program $(cat "$WORK/rss-program.txt")"
    echo "rss_empty $(cat "$WORK/rss-empty.txt")"
    "$BUILD/sablewick_gtk_present_bench"
} >"$OUT"
cat "$OUT"
