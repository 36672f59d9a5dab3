#!/bin/bash
# Takes the README's screenshots of the real Sablewick.exe (of the build's architecture,
# under its Wine: tools/lib/wine.sh) on a private Xvfb
# screen, as a user would see it: the title card at start, a card drawn for a wish with
# its reading, the card index, and the options menu. Each is cut to the window (and the
# menu), made transparent where the window's shape cuts the picture away, reduced to a
# palette and saved as docs/screenshot-{title,reading,index,menu}.png; then the reading
# again on a display scaled to 150 % and 200 %, as docs/screenshot-reading-{150,200}.png.
#
# The program starts from a settings file of our own (a fixed Fate for today and half of
# the cards seen), so the same wish always draws the same card; only the sparkles, which
# the program seeds from the clock, differ between runs.
#
# usage: tests/e2e/screenshots.sh BUILD_DIR [OUT_DIR]    (OUT_DIR defaults to docs/)
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
# shellcheck source=tests/e2e/lib.sh
. "$HERE/lib.sh"

if [ $# -lt 1 ] || [ ! -f "$1/Sablewick.exe" ]; then
    echo "usage: $0 BUILD_DIR [OUT_DIR] (a Windows build with Sablewick.exe)" >&2
    exit 2
fi
BUILD=$(cd "$1" && pwd)
OUT=$(mkdir -p "${2:-$ROOT/docs}" && cd "${2:-$ROOT/docs}" && pwd)
WORK="$BUILD/screenshots"
rm -rf "$WORK"
mkdir -p "$WORK/app"
PY=/usr/bin/python3

ARCH=$(pe_arch "$BUILD/Sablewick.exe")
wine_use "$ARCH" || { echo "$0: the $ARCH build cannot run here: $WINE_WHY" >&2; exit 1; }
echo "screenshots: the $ARCH Sablewick.exe under the $ARCH Wine"
wine_env "$WORK/wineprefix"
xvfb_start "$WORK/xvfb.log" -wr || exit 1
trap e2e_teardown EXIT
wine_prefix_prepare "$WORK"

today=$(date +%Y/%m/%d)
seen=$(printf 'l.lll.l.ll..llll.l.ll.lll..l.lll.l..ll.l.lll.l.l')
printf '[Orvane.ini]\r\nFate=7\r\nOldDate=%s\r\nMemDate=%s\r\nCardOk=%s\r\n' \
    "$today" "$today" "$seen" >"$WORK/app/Orvane.ini"
cp "$BUILD/Sablewick.exe" "$WORK/app/"

(cd "$WORK/app" && exec "$WINE_LOADER" ./Sablewick.exe) >"$WORK/app.log" 2>&1 &
APP_PID=$!
E2E_APP_PIDS="$APP_PID"
WID=$(window_find Sablewick 90) || { echo "no Sablewick window" >&2; exit 1; }
read -r WX WY WW WH <<<"$(window_geometry "$WID")"

# The pointer waits outside the window, so no button shows a hover look.
park_mouse() { xdotool mousemove --sync 2 2; }
at() { echo $((WX + $1)) $((WY + $2)); }

# Cuts a screenshot to the window, transparent outside the window's shape; with a
# picture taken just before a menu opened, the menu's rectangle is kept as well.
cut_window() {
    local shot=$1 name=$2 before=${3:-}
    "$PY" - "$shot" "$ROOT/resources/BASEMSK.bmp" "$OUT/screenshot-$name.png" \
        "$WX" "$WY" "$WW" "$WH" "$before" <<'EOF'
import sys
import numpy as np
from PIL import Image
shot, mask_file, out, x, y, w, h, before = sys.argv[1:9]
x, y, w, h = map(int, (x, y, w, h))
screen = np.asarray(Image.open(shot).convert("RGB"))
alpha = np.zeros(screen.shape[:2], np.uint8)
mask_picture = Image.open(mask_file).convert("L")
if mask_picture.size != (w, h):
    # A scaled window: each of its pixels is the mask pixel under its centre.
    mask_picture = mask_picture.resize((w, h), Image.NEAREST)
mask = np.asarray(mask_picture)
alpha[y:y + h, x:x + w] = np.where(mask[:h, :w] > 127, 255, 0)
left, top, right, bottom = x, y, x + w, y + h
if before:
    changed = np.any(np.abs(screen.astype(int) - np.asarray(Image.open(before).convert("RGB")).astype(int)) > 24, axis=2)
    # The menu: what appeared outside the window, plus all of its rectangle inside.
    outside = changed.copy()
    outside[y:y + h, x:x + w] = False
    rows, cols = np.nonzero(outside if outside.any() else changed)
    if rows.size:
        m_top, m_bottom, m_left, m_right = rows.min(), rows.max() + 1, cols.min(), cols.max() + 1
        rows, cols = np.nonzero(changed[m_top:m_bottom, :])
        m_left, m_right = min(m_left, cols.min()), max(m_right, cols.max() + 1)
        alpha[m_top:m_bottom, m_left:m_right] = 255
        left, top = min(left, m_left), min(top, m_top)
        right, bottom = max(right, m_right), max(bottom, m_bottom)
picture = Image.fromarray(np.dstack([screen, alpha])[top:bottom, left:right], "RGBA")
# A palette of 256 colours keeps the file small; the artwork survives it well.
picture.quantize(256, method=Image.Quantize.FASTOCTREE, dither=Image.Dither.NONE).save(out, optimize=True)
print("%s: %dx%d" % (out, right - left, bottom - top))
EOF
}

sleep 2
park_mouse
sleep 0.5
screenshot "$WORK/title.png"
cut_window "$WORK/title.png" title

# A wish into the box (client 463, 82), then Enter: the card turns and its reading shows.
# shellcheck disable=SC2046
mouse_click $(at 523 142)
sleep 0.3
type_text "sablewick"
key_press Return
park_mouse
sleep 4
screenshot "$WORK/reading.png"
cut_window "$WORK/reading.png" reading

# A right click on the frame opens the options menu (in the index, a press of any
# mouse button outside the thumbnails leaves the index first).
screenshot "$WORK/before-menu.png"
# shellcheck disable=SC2046
mouse_click $(at 410 450) 3
sleep 1
screenshot "$WORK/menu.png"
cut_window "$WORK/menu.png" menu "$WORK/before-menu.png"
key_press Escape
sleep 0.5

# The right triangle opens the index of cards, ten to a page.
# shellcheck disable=SC2046
mouse_click $(at 599 20)
park_mouse
sleep 3
screenshot "$WORK/index.png"
cut_window "$WORK/index.png" index

# shellcheck disable=SC2046
mouse_click $(at 719 17)
app_wait_exit "$APP_PID" 20 || echo "the program did not close" >&2

# The same reading on a display scaled to 150 % and 200 % (the prefix's LogPixels), on a
# screen large enough for the window at 200 %.
wineserver -w
xvfb_stop
xvfb_start "$WORK/xvfb-scaled.log" -screen 0 1600x1200x24 -wr || exit 1
for dpi in 144 192; do
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -w
    (cd "$WORK/app" && exec "$WINE_LOADER" ./Sablewick.exe) >>"$WORK/app.log" 2>&1 &
    APP_PID=$!
    E2E_APP_PIDS="$APP_PID"
    WID=$(window_find Sablewick 90) || { echo "no Sablewick window at $dpi dpi" >&2; exit 1; }
    read -r WX WY WW WH <<<"$(window_geometry "$WID")"
    # shellcheck disable=SC2046
    mouse_click $(at $((523 * dpi / 96)) $((142 * dpi / 96)))
    sleep 0.3
    type_text "sablewick"
    key_press Return
    park_mouse
    sleep 4
    screenshot "$WORK/reading-$dpi.png"
    cut_window "$WORK/reading-$dpi.png" "reading-$((dpi * 100 / 96))"
    # shellcheck disable=SC2046
    mouse_click $(at $((719 * dpi / 96)) $((17 * dpi / 96)))
    app_wait_exit "$APP_PID" 20 || echo "the program did not close at $dpi dpi" >&2
    wineserver -w
done
