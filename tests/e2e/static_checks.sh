#!/bin/bash
# What can be checked of a Windows build (32-bit or 64-bit) without running it, each file
# read with the mingw-w64 tools of its own architecture:
#   - every executable and both packages are built for the build's architecture
#   - the import tables hold only DLLs that come with Windows
#   - the application manifest: the exe's own processor (Windows refuses to start an exe
#     whose manifest names another), DPI awareness, long paths and no administrator
#     rights; common controls 6 in the message boxes' manifest only
#   - the version resource carries the project's version, in English and Japanese
#   - the packaged exe is stripped, smaller than the build's, and is the one in the zip
#   - the zip holds the program and its ReadMe in a folder of its own; the installer asks
#     for no administrator rights
#
# usage: tests/e2e/static_checks.sh BUILD_DIR   (a Windows build whose packages are made)
#        The last line says "N passed, M failed".
set -u

HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/lib.sh
. "$HERE/lib.sh"

if [ $# -ne 1 ] || [ ! -f "$1/CMakeCache.txt" ]; then
    echo "usage: $0 BUILD_DIR (a Windows build whose packages are made)" >&2
    echo "0 passed, 1 failed"
    exit 2
fi
BUILD=$(cd "$1" && pwd)
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
# The architecture the build is meant for, from its toolchain file.
case "$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=//p' "$BUILD/CMakeCache.txt")" in
    *mingw-x86_64-*) ARCH=win64 MANIFEST_ARCH=amd64 ;;
    *) ARCH=win32 MANIFEST_ARCH=x86 ;;
esac
TRIPLET=$(mingw_triplet "$ARCH")
SETUP="$BUILD/packages/Sablewick-$VERSION-$ARCH-setup.exe"
ZIP="$BUILD/packages/Sablewick-$VERSION-$ARCH.zip"
EXE="$BUILD/Sablewick.exe"
PACKED_EXE="$BUILD/packaged/Sablewick.exe"
WORK="$BUILD/static-checks"
rm -rf "$WORK"
mkdir -p "$WORK"
missing=""
for f in "$EXE" "$BUILD/sablewick_tests.exe" "$BUILD/sablewick_winprobe.exe" "$PACKED_EXE" "$SETUP" "$ZIP"; do
    [ -f "$f" ] || missing="$missing $f"
done
if [ -n "$missing" ]; then
    echo "missing:$missing (build the Windows targets and run cmake --build $1 --target package)" >&2
    echo "0 passed, 1 failed"
    exit 1
fi

scenario_architecture() {
    local f wrong=""
    for f in "$EXE" "$BUILD/sablewick_tests.exe" "$BUILD/sablewick_winprobe.exe" "$PACKED_EXE" "$SETUP"; do
        [ "$(pe_arch "$f")" = "$ARCH" ] || wrong="$wrong $(basename "$f")=$(pe_arch "$f")"
    done
    if [ -z "$wrong" ]; then
        e2e_pass "$ARCH: the program, its tests, the probe, the packaged exe and the installer are $ARCH programs"
    else
        e2e_fail "$ARCH architecture" "built for another architecture:$wrong"
    fi
}

scenario_imports() {
    local out
    if out=$("$HERE/check_imports.sh" "$EXE" "$BUILD/sablewick_tests.exe" "$PACKED_EXE" 2>&1); then
        e2e_pass "$ARCH import tables: $(echo "$out" | head -n1)"
    else
        e2e_fail "$ARCH import tables" "$(echo "$out" | tr '\n' ' ')"
    fi
}

# The resources of EXE as a resource script.
resources_of() {
    "$TRIPLET-windres" -J coff -O rc -i "$1" -o "$2" 2>"$WORK/windres.log"
}

# A manifest resource (NUMBER, type 24) as windres writes it: quoted lines, quotes doubled.
manifest_resource() {
    awk -v head="^$1 24 " '$0 ~ head { on = 1; next } on && /^END/ { exit } on' "$2" |
        sed -n 's/^ *"\(.*\)\\n" *$/\1/p; s/^ *"\(.*\)" *$/\1/p' | sed 's/""/"/g'
}

scenario_manifest() {
    local rc="$WORK/exe.rc" manifest boxes problems=""
    resources_of "$PACKED_EXE" "$rc" || { e2e_fail "$ARCH manifest" "windres cannot read the exe"; return 1; }
    manifest=$(manifest_resource 1 "$rc")
    [ -n "$manifest" ] || { e2e_fail "$ARCH manifest" "no manifest resource in the exe"; return 1; }
    printf '%s\n' "$manifest" >"$WORK/manifest.xml"
    grep -q "name=\"Sablewick\" version=\"[0-9.]*\" processorArchitecture=\"$MANIFEST_ARCH\"" \
        "$WORK/manifest.xml" || problems="$problems its own processorArchitecture is not $MANIFEST_ARCH;"
    grep -q '>true/pm</dpiAware>' "$WORK/manifest.xml" || problems="$problems dpiAware;"
    grep -q '>PerMonitorV2,PerMonitor</dpiAwareness>' "$WORK/manifest.xml" || problems="$problems dpiAwareness;"
    # The process's own manifest would load the common controls at every start.
    if grep -q 'Microsoft.Windows.Common-Controls' "$WORK/manifest.xml"; then
        problems="$problems common controls for the whole process;"
    fi
    grep -q '>true</longPathAware>' "$WORK/manifest.xml" || problems="$problems longPathAware;"
    grep -q 'requestedExecutionLevel level="asInvoker"' "$WORK/manifest.xml" || problems="$problems asInvoker;"
    boxes=$(manifest_resource 101 "$rc")
    printf '%s\n' "$boxes" >"$WORK/messageboxes.manifest.xml"
    grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
        "$WORK/messageboxes.manifest.xml" || problems="$problems common controls 6 for the message boxes;"
    if [ -z "$problems" ]; then
        e2e_pass "$ARCH manifest: processorArchitecture $MANIFEST_ARCH, per-monitor DPI aware, long paths, asInvoker; common controls 6 for message boxes"
    else
        e2e_fail "$ARCH manifest" "wrong or missing:$problems (see $WORK/manifest.xml)"
    fi
}

# Reads the version resource back out of the packed exe.
scenario_version_resource() {
    local rc="$WORK/exe.rc"
    [ -f "$rc" ] || resources_of "$PACKED_EXE" "$rc" ||
        { e2e_fail "$ARCH version resource" "windres cannot read the exe"; return 1; }
    # The block of one language: from its BLOCK line to the next END.
    block() { awk -v b="BLOCK \"$1\"" 'index($0, b) { on = 1 } on { print } on && /^ *END/ { exit }' "$rc"; }
    local en ja want_ver
    en=$(block 040904B0)
    ja=$(block 041104B0)
    want_ver=$(echo "$VERSION" | tr '.' ',' | sed 's/,/, /g')
    local problems=""
    grep -q "FILEVERSION $want_ver, 0" "$rc" || problems="$problems FILEVERSION;"
    grep -q "PRODUCTVERSION $want_ver, 0" "$rc" || problems="$problems PRODUCTVERSION;"
    for b in en ja; do
        local text=${!b}
        [ -n "$text" ] || { problems="$problems no $b block;"; continue; }
        echo "$text" | grep -q "\"ProductName\", L\?\"Sablewick\"" || problems="$problems $b ProductName;"
        echo "$text" | grep -q "\"ProductVersion\", L\?\"$VERSION\"" || problems="$problems $b ProductVersion;"
        echo "$text" | grep -q "\"FileVersion\", L\?\"$VERSION\"" || problems="$problems $b FileVersion;"
        echo "$text" | grep -q '"CompanyName", L\?"Sablewick' || problems="$problems $b CompanyName;"
    done
    # The Japanese description is written in kana and kanji (タロット占い).
    echo "$ja" | grep -q '"FileDescription", L"\\x30bf\\x30ed\\x30c3\\x30c8\\x5360\\x3044' ||
        problems="$problems Japanese FileDescription;"
    echo "$en" | grep -q '"FileDescription", L\?"Sablewick' || problems="$problems English FileDescription;"
    grep -q 'VALUE "Translation", 0x409, 1200, 0x411, 1200' "$rc" || problems="$problems Translation;"
    if [ -z "$problems" ]; then
        e2e_pass "$ARCH version resource: Sablewick $VERSION, English and Japanese"
    else
        e2e_fail "$ARCH version resource" "wrong or missing:$problems (see $rc)"
    fi
}

scenario_packed_exe() {
    local size built
    size=$(stat -c %s "$PACKED_EXE")
    built=$(stat -c %s "$EXE")
    if "$TRIPLET-objdump" -h "$PACKED_EXE" | grep -q '\.debug_'; then
        e2e_fail "$ARCH packed exe" "still has debug sections"
    elif [ "$size" -ge "$built" ]; then
        e2e_fail "$ARCH packed exe" "not smaller than the build's exe ($size against $built bytes)"
    else
        e2e_pass "$ARCH packed exe: stripped, $size bytes (the build's $built)"
    fi
}

scenario_zip() {
    local top="Sablewick-$VERSION-$ARCH" listing
    # cmake reads zips itself, so the test needs no unzip.
    listing=$(cmake -E tar tf "$ZIP" | sort | tr '\n' ' ')
    if [ "$listing" != "$top/ReadMe.txt $top/Sablewick.exe " ]; then
        e2e_fail "$ARCH zip contents" "'$listing'"
        return 1
    fi
    mkdir -p "$WORK/zip"
    (cd "$WORK/zip" && cmake -E tar xf "$ZIP") || { e2e_fail "$ARCH zip" "does not unpack"; return 1; }
    if cmp -s "$WORK/zip/$top/Sablewick.exe" "$PACKED_EXE"; then
        e2e_pass "$ARCH zip: $top/ holds the packed Sablewick.exe and ReadMe.txt"
    else
        e2e_fail "$ARCH zip" "its Sablewick.exe is not the packed one"
    fi
}

scenario_no_admin_prompt() {
    # NSIS writes the execution level into the installer's manifest.
    if strings "$SETUP" | grep -q 'requestedExecutionLevel level="asInvoker"'; then
        e2e_pass "$ARCH installer: runs as the invoking user (asInvoker)"
    else
        e2e_fail "$ARCH installer" "its manifest does not ask for asInvoker: $(strings "$SETUP" | grep -o 'requestedExecutionLevel level="[a-zA-Z]*"' | head -n1)"
    fi
}

scenario_architecture
scenario_imports
scenario_manifest
scenario_version_resource
scenario_packed_exe
scenario_zip
scenario_no_admin_prompt
e2e_summary
