#!/usr/bin/env bash
# Runs every benchmark of the project and prints one table, each figure beside a baseline
# measured in the same run:
#   start-up to the first frame      headless driver          vs a process that prints at once
#   start-up to the window shown     Sablewick.exe under Wine vs an empty Win32 program of
#                                    the same architecture (32-bit where this machine runs
#                                    32-bit programs, otherwise 64-bit)
#   start-up, peak and own memory, present  the native GTK 3 program vs the least a GTK 3
#                                    window costs (a part of its own on the page, with
#                                    its targets and where its memory is)
#   one animation step, a whole reveal, one sparkle step     vs a plain copy of the card area
#   the window shape, the wallpaper at three screen sizes    vs a plain copy of as many pixels
#   showing the window and a card-turn frame at 150 and 200 % vs a plain copy of as many
#                                                               physical pixels
#   peak memory of a reading and a wallpaper                 vs starting and closing only
#   exe size                                                 vs the empty Win32 program
#   the page's size, navigation to the first frame, a card-turn step's present  the web
#                                    program in headless Chromium vs its resource files, a
#                                    page painting one blank canvas, a plain putImageData
#                                    (a part of its own on the page)
#
# usage: tools/bench.sh [--windows-dir DIR] [--doc] [--gtk-only] [--web-only]
#   --windows-dir DIR  the Windows build to time (default build/win32 where this machine
#                    runs 32-bit programs, otherwise build/win64; built when needed)
#   --doc            also write the table and this machine into docs/performance.md
#   --gtk-only       only the native GTK 3 program against the least a GTK window costs
#                    (tests/gtk/bench/gtk_bench.sh): no Windows build, no set-up; with
#                    --doc only that part of docs/performance.md is rewritten
#   --web-only       only the web program in headless Chromium (tests/web/bench/), the
#                    same way
# Needs an X server of its own (Xvfb) for the Wine rows; everything else is headless.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs="$(nproc 2>/dev/null || echo 2)"

win_dir=""
write_doc=0
gtk_only=0
web_only=0
while [ $# -gt 0 ]; do
    case "$1" in
        --windows-dir) win_dir=$2; shift 2 ;;
        --doc) write_doc=1; shift ;;
        --gtk-only) gtk_only=1; shift ;;
        --web-only) web_only=1; shift ;;
        *) echo "usage: $0 [--windows-dir DIR] [--doc] [--gtk-only] [--web-only]" >&2; exit 2 ;;
    esac
done
PY=/usr/bin/python3
out=build/bench
mkdir -p "$out"
log() { echo "bench: $*" >&2; }
machine_line() {
    local cpu mem
    cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)
    mem=$(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
    echo "Machine: $(nproc) processors (nproc), $cpu, $mem of memory; run on $(date -u +%Y-%m-%d)."
}

# The native GTK 3 program and what it is measured against: builds, runs and writes
# $out/gtk.txt (and gtk.txt.smaps); false without GTK 3.
gtk_bench() {
    cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSABLEWICK_BENCHMARKS=ON >/dev/null
    if ! cmake --build build/native -j "$jobs" --target sablewick sablewick_gtk_plain_window \
        sablewick_gtk_empty_window sablewick_time_to_map sablewick_gtk_present_bench >/dev/null 2>&1; then
        log "no GTK 3 build"
        return 1
    fi
    if ! ls /usr/lib/*/dri/*_dri.so >/dev/null 2>&1; then
        log "Mesa's GL drivers (libgl1-mesa-dri) are not installed: the GL rows show no GL"
    fi
    rm -f "$out/gtk.txt"
    log "the GTK 3 program beside the least a GTK 3 window costs"
    bash tests/gtk/bench/gtk_bench.sh build/native "$out/gtk.txt" >/dev/null 2>"$out/gtk.log" ||
        { log "the GTK bench failed (see $out/gtk.log)"; return 1; }
    "$PY" tests/gtk/bench/gtk_report.py "$out/gtk.txt" "$(machine_line)" >"$out/gtk.md"
}

# The web program in headless Chromium and what it is measured against: builds, runs
# and writes $out/web.md; false without Emscripten or Chromium.
web_bench() {
    if ! sh tools/build-web.sh build/web --target Sablewick >"$out/web-build.log" 2>&1; then
        log "no web build (see $out/web-build.log)"
        return 1
    fi
    log "the web program beside a blank canvas page, in headless Chromium"
    node tests/web/bench/web_bench.mjs build/web "$(machine_line)" >"$out/web.md" 2>"$out/web.log" ||
        { log "the web bench failed (see $out/web.log)"; return 1; }
}

# Puts part NAME of the page (between its markers NAME-begin and NAME-end) in place of the
# one there; a page without them gets it at its end.
replace_doc_part() {
    "$PY" - docs/performance.md "$2" "$1" <<'EOF'
import sys
page_path, part_path, name = sys.argv[1:4]
page, part = open(page_path).read(), open(part_path).read().rstrip("\n") + "\n"
begin = page.find("<!-- %s-begin" % name)
end_mark = "<!-- %s-end -->\n" % name
end = page.find(end_mark)
if begin >= 0 and end > begin:
    page = page[:begin] + part + page[end + len(end_mark):]
else:
    page = page.rstrip("\n") + "\n\n" + part
open(page_path, "w").write(page)
EOF
}

# One part alone (gtk or web, its bench function NAME_bench): printed, and with --doc put
# in place of its part of the page.
only_part() {
    "$1_bench" || exit 1
    cat "$out/$1.md"
    if [ "$write_doc" -eq 1 ]; then
        replace_doc_part "$1" "$out/$1.md"
        log "rewrote the $2 part of docs/performance.md"
    fi
}

if [ "$gtk_only" -eq 1 ] || [ "$web_only" -eq 1 ]; then
    if [ "$gtk_only" -eq 1 ]; then only_part gtk GTK; fi
    if [ "$web_only" -eq 1 ]; then only_part web web; fi
    exit 0
fi
# shellcheck source=tests/e2e/lib.sh
. tests/e2e/lib.sh
wine_say_32bit >&2
if [ -z "$win_dir" ]; then
    if wine_32bit_road; then win_dir=build/win32; else win_dir=build/win64; fi
fi
case "$win_dir" in
    build/win32) win_arch=win32 ;;
    build/win64) win_arch=win64 ;;
    *) win_arch=$(pe_arch "$win_dir/Sablewick.exe") ;;
esac

if [ "$(id -u)" -eq 0 ]; then bash tools/setup.sh >/dev/null; fi

# ---- builds ---------------------------------------------------------------------------
log "building the native benchmarks and the driver (build/native)"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSABLEWICK_BENCHMARKS=ON >/dev/null
cmake --build build/native -j "$jobs" --target sablewick_bench sablewick-headless \
    sablewick_time_to_map >/dev/null
log "building the $win_arch Sablewick.exe ($win_dir)"
case "$win_dir" in
    build/win32) bash tools/build-windows.sh i686 --target Sablewick sablewick_packed_exe >/dev/null ;;
    build/win64) bash tools/build-windows.sh x86_64 --target Sablewick sablewick_packed_exe >/dev/null ;;
esac
# The baseline is built the same way as the program: the same compiler of the same
# architecture, the same optimisation, the runtime linked in.
"$(mingw_triplet "$win_arch")-gcc-posix" -O2 -s -mwindows -static -o "$out/empty_win32.exe" \
    tests/e2e/empty_win32.c

# ---- drawing: Google Benchmark on the headless backend ----------------------------------
log "drawing benchmarks"
build/native/sablewick_bench --benchmark_format=json --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true >"$out/drawing.json" 2>"$out/drawing.log"

# The floor of the pixel work that has no benchmark of its own: copying as many 32-bit
# pixels, row by row, as the window shape reads and the wallpaper writes.
cat >"$out/plain_copy.c" <<'EOF'
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}
int main(int argc, char** argv) {
    for (int a = 1; a + 1 < argc; a += 2) {
        const int w = atoi(argv[a]), h = atoi(argv[a + 1]);
        uint32_t* src = malloc((size_t)w * h * 4);
        uint32_t* dst = malloc((size_t)w * h * 4);
        for (size_t i = 0; i < (size_t)w * h; ++i) src[i] = (uint32_t)(i * 2654435761u);
        memset(dst, 1, (size_t)w * h * 4);
        double best = 1e9;
        for (int round = 0; round < 5; ++round) {
            int n = 0;
            const double start = now();
            double elapsed;
            do {
                for (int y = 0; y < h; ++y) memcpy(dst + (size_t)y * w, src + (size_t)y * w, (size_t)w * 4);
                __asm__ __volatile__("" : : "r"(dst) : "memory");
                ++n;
            } while ((elapsed = now() - start) < 0.05);
            if (elapsed / n < best) best = elapsed / n;
        }
        printf("%dx%d %.1f\n", w, h, best * 1e9);
        free(src);
        free(dst);
    }
    return 0;
}
EOF
cc -O2 -o "$out/plain_copy" "$out/plain_copy.c"
"$out/plain_copy" 737 584 1024 768 1920 1080 3840 2160 >"$out/plain_copy.txt"

# ---- start-up, headless ---------------------------------------------------------------
log "headless start-up"
"$PY" - "$out/startup_headless.txt" <<'EOF'
import os, statistics, subprocess, sys, tempfile, time
def first_line(argv, stdin):
    start = time.perf_counter()
    p = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    p.stdin.write(stdin)
    p.stdin.close()
    line = p.stdout.readline()
    took = time.perf_counter() - start
    p.stdout.read()
    p.wait()
    assert line, argv
    return took
runs = {"program": [], "baseline": []}
with tempfile.TemporaryDirectory() as d:
    for i in range(23):
        runs["program"].append(first_line(["build/native/sablewick-headless", "--dir", d + "/", "--seed", "7"],
                                          b"start\nstate\n"))
        runs["baseline"].append(first_line(["/bin/echo", "{}"], b""))
with open(sys.argv[1], "w") as f:
    for k, v in runs.items():
        # The first runs warm the file cache.
        f.write("%s %.3f\n" % (k, statistics.median(v[3:]) * 1000))
EOF

# ---- peak memory ----------------------------------------------------------------------
log "peak memory"
peak_kib() {
    local dir
    dir=$(mktemp -d)
    # Every card seen, so the menu offers the wallpaper.
    printf '[Orvane.ini]\r\nCardOk=%s\r\n' "$(printf 'l%.0s' $(seq 49))" >"$dir/Orvane.ini"
    printf '%b' "$1" | /usr/bin/time -f '%M' -o "$out/time.txt" \
        build/native/sablewick-headless --dir "$dir/" --seed 7 >"$out/session.json"
    [ "$2" = none ] || [ -s "$dir/$2" ] || { log "the session made no $2"; exit 1; }
    rm -rf "$dir"
    cat "$out/time.txt"
}
peak_session=$(peak_kib 'start\ntype 願い\nkey 13\nidle\nmenu WallMakeClick\nidle\nstate\nclose\n' WallOrvane.bmp)
peak_bare=$(peak_kib 'start\nclose\n' none)

# ---- the native desktop program (GTK 3) ----------------------------------------------
rm -f "$out/gtk.md" "$out/web.md"
gtk_bench || true
web_bench || true

# ---- start-up under Wine ----------------------------------------------------------------
log "start-up under the $win_arch Wine"
wine_use "$win_arch" || { log "the $win_arch build cannot run here: $WINE_WHY"; exit 1; }
wine_dir="$(cd "$win_dir" && pwd)/bench-e2e"
rm -rf "$wine_dir"
mkdir -p "$wine_dir/app" "$wine_dir/empty"
wine_env "$wine_dir/wineprefix"
xvfb_start "$wine_dir/xvfb.log" || exit 1
trap e2e_teardown EXIT
wine_prefix_prepare "$wine_dir"
# One wineserver for all runs, so no run pays for starting it.
wineserver -p
# The exe the installer and the zip carry: stripped, as the empty program is. The build's
# own copy also holds its debug information, which Wine reads in with the image.
cp "$win_dir/packaged/Sablewick.exe" "$wine_dir/app/"
cp "$out/empty_win32.exe" "$wine_dir/empty/"

# Microseconds from launching the process to its window being mapped, as the X server
# reports it (tests/gtk/bench/TimeToMap.c, which then leaves the window up for a moment
# and ends the process). Nothing polls the server while the program starts: a poller
# started every few milliseconds took a processor from both programs and added over
# 100 ms to each start on two processors.
time_to_map="$(pwd)/build/native/sablewick_time_to_map"
time_start() {
    local dir=$1 exe=$2 ms
    ms=$(cd "$dir" && timeout 90 "$time_to_map" --settle 700 "$WINE_LOADER" "./$exe" \
        2>>"$wine_dir/app.log") || { log "$exe showed no window in 90 s"; exit 1; }
    awk -v ms="$ms" 'BEGIN { printf "%d\n", ms * 1000 }'
}
: >"$wine_dir/starts.txt"
for round in $(seq 0 21); do
    p=$(time_start "$wine_dir/app" Sablewick.exe)
    e=$(time_start "$wine_dir/empty" empty_win32.exe)
    # Round 0 only warms Wine up.
    [ "$round" -eq 0 ] || echo "$p $e" >>"$wine_dir/starts.txt"
done
wineserver -k || true
cp "$wine_dir/starts.txt" "$out/startup_wine.txt"

# ---- sizes ----------------------------------------------------------------------------
size_exe=$(stat -c %s "$win_dir/Sablewick.exe")
size_packed=$(stat -c %s "$win_dir/packaged/Sablewick.exe")
size_empty=$(stat -c %s "$out/empty_win32.exe")

# ---- the table ------------------------------------------------------------------------
"$PY" - "$out" "$peak_session" "$peak_bare" "$size_exe" "$size_packed" "$size_empty" "$win_arch" \
    >"$out/table.md" <<'EOF'
import json, statistics, sys
out, peak_session, peak_bare, size_exe, size_packed, size_empty, win_arch = sys.argv[1:8]
bits = {"win32": "32-bit", "win64": "64-bit"}[win_arch]
bench = {}
for b in json.load(open(out + "/drawing.json"))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        unit = {"ns": 1e-3, "us": 1.0, "ms": 1e3}[b["time_unit"]]
        bench[b["run_name"]] = b["real_time"] * unit  # microseconds
copy = {}
for line in open(out + "/plain_copy.txt"):
    size, ns = line.split()
    copy[size] = float(ns) / 1000
heads = dict(l.split() for l in open(out + "/startup_headless.txt"))
wine = [tuple(map(int, l.split())) for l in open(out + "/startup_wine.txt")]
wine_program = statistics.median(p for p, _ in wine) / 1000
wine_empty = statistics.median(e for _, e in wine) / 1000

def us(v):
    if v >= 1000:
        return "%.1f ms" % (v / 1000)
    return "%.1f µs" % v if v < 100 else "%.0f µs" % v

rows = []
def row(what, value, base, base_what, fmt=us):
    rows.append((what, fmt(value), fmt(base), base_what, "%.2f×" % (value / base)))

ms = lambda v: "%.1f ms" % v
row("Start-up to the first frame, headless (`start`, `state`; median of 20)",
    float(heads["program"]), float(heads["baseline"]), "a process that prints at once", ms)
row("Start-up to the window shown, %s Sablewick.exe as packaged, under %s Wine (median of %d)" % (bits, bits, len(wine)),
    wine_program, wine_empty, "an empty %s Win32 program's window under Wine" % bits, ms)
area = bench["BM_PlainAreaCopy"]
widths = [k for k in bench if k.startswith("BM_ComposeCardArea/")]
mean_step = statistics.mean(bench[k] for k in widths)
slowest = max(widths, key=lambda k: bench[k])
row("One animation step (a card-turn frame, mean of the %d widths)" % len(widths),
    mean_step, area, "plain copy of the 348 × 508 card area")
row("Slowest animation step (width %s %%)" % slowest.split("/")[1],
    bench[slowest], area, "plain copy of the 348 × 508 card area")
reveal = bench["BM_WholeReveal"]
row("A whole reveal (21 steps, the new face's JPEG decoded)", reveal, 21 * area,
    "21 plain copies of the card area")
row("One sparkle step", bench["BM_StepLightEffect"], area, "plain copy of the 348 × 508 card area")
row("The window shape from its 737 × 584 mask", bench["BM_BuildWindowShape"], copy["737x584"],
    "plain copy of 737 × 584 pixels")
for w, h in ((1024, 768), (1920, 1080), (3840, 2160)):
    row("The wallpaper at %d × %d (stars, frame, 24-bit file written)" % (w, h),
        bench["BM_MakeWallpaper/%d/%d" % (w, h)], copy["%dx%d" % (w, h)],
        "plain copy of %d × %d pixels" % (w, h))
for percent in (150, 200):
    row("Showing the whole window at %d %% (program pixels scaled into the window's)" % percent,
        bench["BM_PresentScaled/%d/1" % percent], bench["BM_PlainPhysicalCopy/%d/1" % percent],
        "plain copy of as many physical pixels")
    row("Showing one card-turn frame at %d %% (the 348 × 508 area, scaled)" % percent,
        bench["BM_PresentScaled/%d/0" % percent], bench["BM_PlainPhysicalCopy/%d/0" % percent],
        "plain copy of as many physical pixels")
mib = lambda v: "%.1f MiB" % (v / 1024)
row("Peak memory, headless: a reading and a wallpaper at 1024 × 768",
    float(peak_session), float(peak_bare), "the same program started and closed", mib)
kib = lambda v: "%.0f KiB" % (v / 1024)
row("%s Sablewick.exe, as built (with debug information)" % bits, float(size_exe),
    float(size_empty), "the empty %s Win32 program" % bits, kib)
row("%s Sablewick.exe, stripped as packaged" % bits, float(size_packed), float(size_empty),
    "the empty %s Win32 program" % bits, kib)

print("| what | Sablewick | baseline | baseline is | ratio |")
print("|---|---:|---:|---|---:|")
for r in rows:
    print("| %s | %s | %s | %s | %s |" % r)
EOF
cat "$out/table.md"

if [ "$write_doc" -eq 1 ]; then
    {
        cat <<'EOF'
# Performance

What the program costs, measured by `bash tools/bench.sh --doc`, which runs every
benchmark of the project and rewrites this page. Each figure stands beside a baseline
measured in the same run on the same machine, so the ratio says more than the number.

- Drawing figures come from Google Benchmark on the headless backend
  (`tests/bench/SablewickBench.cpp`, median of three repetitions): the program composes
  every frame into its own back buffer, so this is the work Windows would do minus the
  final `BitBlt`. A card-turn frame is compared with the program's own unscaled copy of the
  same 348 × 508 area; the window shape and the wallpaper with a plain row-by-row copy of
  as many 32-bit pixels (a small C program built by the script).
- Start-up headless is the time from starting `sablewick-headless` to its first `state`
  line for the script `start`, `state`. Start-up under Wine is the time from starting
  the packaged (stripped) Sablewick.exe under Wine's own loader to its window being
  mapped on a private Xvfb screen, as the X server reports it (`TimeToMap.c`), against `tests/e2e/empty_win32.c`, a program that only opens a borderless window
  of the same size, built by the same compiler for the same architecture; Wine's own start
  dominates both. The Windows rows name the architecture they ran: the 32-bit build where
  the machine starts 32-bit programs, otherwise the 64-bit one under 64-bit Wine.
- Peak memory is GNU time's maximum resident set of a scripted headless session that
  draws a card for a wish and makes the wallpaper (all cards seen).
- The native GTK 3 program has a part of its own below ("The native GTK 3 program"): the
  time from starting the process to its window being mapped (`TimeToMap.c` watches the X
  server), GNU time's peak resident set and the process's own memory after a reading,
  each against the least a GTK 3 window costs, with the targets and where the memory
  is; and a card-turn step's present (`PresentBench.cpp`) into the window's mirror (an
  image in memory shared with the X server), and until the X server has drawn it.
  `bash tools/bench.sh --gtk-only --doc` rewrites that part alone.
- The program in a browser has a part of its own too ("The program in a browser"), run in
  Debian's Chromium, headless, from the disk (`tests/web/bench/web_bench.mjs`): the
  page's size against the resource files it carries; the time from navigation to the
  first frame (the performance mark `sablewick-first-frame`) against a page that paints
  one blank canvas of the window's size (`tests/web/bench/blank.html`); and a card-turn
  step's present (the program's picture into the canvas, timed by the program) against a
  plain `putImageData` of as many pixels. `bash tools/bench.sh --web-only --doc` rewrites
  that part alone.

On a monitor scaled to 150 % or 200 % the Windows backend draws the program's pixels into
the larger window (`platform/WindowScale.cpp`, benchmarked as `BM_PresentScaled`): each
physical pixel is the area-weighted mean of the program pixels under it, at 200 % a copy
of one, at 150 % every third pixel a mean of two. The baseline is a plain copy of as many
physical pixels between two pictures of the window's physical size.

Reading the table: a card-turn frame scales the card straight into the back buffer,
well under a millisecond, so the turn is paced by its 55 ms step, never by drawing (the
scaled widths are not kept: they would cost over 3 MB of memory for nothing the user
sees). A whole reveal is mostly those scalings and the new card's JPEG decoded at its
midpoint. The wallpaper is far above a copy because it stamps tens of thousands of stars
and writes and syncs a 24-bit file of the screen's size; it runs once, on a menu command.

Where the Windows start goes (the target is at most 1.3 times the empty program's; see
the row below). The start varies from run to run by more than its margin to the target:
one run's row may meet it while a longer one does not. The row times the packaged exe, stripped as the empty
program is: the build's own copy carries its debug information, about 8 MB that Wine
reads in with the image. Started in turn with the empty program, 21 rounds after a
warm-up, the X server reporting the map: the build's copy as it was at the start of this
work took 270 ms (1.75 times the empty program's 154 ms), its stripped copy 248 ms
(1.61 times), and the stripped exe now 223 ms (1.45 times). The parts below are the
medians of 7 traced starts of a 64-bit build under 64-bit Wine
(`WINEDEBUG=+timestamp,+loaddll,+debugstr,+x11drv`, with marks put in for the purpose),
in milliseconds after the exe is loaded, the empty program's beside them:

| part | program | empty program |
|---|---:|---:|
| before `WinMain` | 150 | 149 |
| the window class and its icons, where Wine's X11 driver and the theme library come in | 78 | 51 |
| the main window | 41 | 32 |
| the labels and the wish box, their face and fonts | 21 | |
| the rest of the start: settings, pictures, the window's outline, the first frame | 25 | |
| to the window mapped | 317 | 234 |

- The program imports only KERNEL32, USER32, GDI32, IMM32 (which user32 loads anyway)
  and msvcrt. shell32, ole32 and winmm, with shlwapi, combase, rpcrt4 and msacm32 behind
  them, are loaded at their first use from the system folder
  (`platform/win32/Win32Libraries.cpp`).
- The labels and the wish box are the system's own STATIC and EDIT. The process's
  manifest no longer asks for the common controls of version 6, which the first label
  loaded with their theming (28 ms for the controls before, 21 now); message boxes ask
  for them in an activation context of their own (`resources/MessageBoxes.manifest.in`).
  The Japanese face is found by asking for the faces of the list by name, under a
  millisecond.
- The browser's lookup, which loads shell32 and ole32 (13 ms), waits until the window has
  been shown and painted; the probe is still written during the start.
- Pictures presented before the window is shown only land in its mirror; the first paint
  draws it whole. libjpeg-turbo is built with its SIMD code (nasm), which decodes the
  start's seven pictures faster than its plain C paths.
- The first frame's pictures are decoded on a second thread meanwhile. Nothing is loaded
  off the main thread: loading a library there while the main thread connects to the
  display once kept the window from ever coming (3 starts of 10 under Wine).
- The driver's start (from loading winex11 to the theme library) takes about 15 ms
  longer than the empty program's, with the decoding thread busy beside it on a machine
  of two processors; a build that decodes on the main thread instead came to the same
  time to the window mapped.

The empty program makes no child window, no font and no picture, so the labels' font
machinery, the icons, the pictures and the window's shape are what stay above it.

EOF
        echo "## Latest run"
        echo
        machine_line
        echo
        cat "$out/table.md"
        if [ -f "$out/gtk.md" ]; then
            echo
            cat "$out/gtk.md"
        fi
        if [ -f "$out/web.md" ]; then
            echo
            cat "$out/web.md"
        fi
    } >docs/performance.md
    log "wrote docs/performance.md"
fi
