#!/usr/bin/env bash
# Builds everything and runs every test: the native suite on the headless backend, the
# driver scenarios, the native desktop program (GTK 3) and its .deb under Xvfb, the web
# program (Emscripten) in headless Chromium, then both Windows builds (32-bit and 64-bit)
# with their installers and zips, checked without Wine, and the Windows tests under the
# Wine this machine can run: the 32-bit build's where 32-bit programs start (the 64-bit
# build's unit suite and installer beside it), otherwise the 64-bit build's; its unit
# suite, installer and end-to-end tests in a real window under Xvfb. Installs what it
# needs first (tools/setup.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs="$(nproc 2>/dev/null || echo 2)"

bash tools/setup.sh

echo "== source layout (.clang-format)"
bash tools/check_format.sh

echo "== native build and tests"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$jobs"
ctest --test-dir build/native --output-on-failure -j "$jobs"

echo "== sanitizer build and tests"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSABLEWICK_SANITIZE=ON \
    -DSABLEWICK_BENCHMARKS=OFF >/dev/null
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

if [ -f tests/robustness/run.sh ]; then
    echo "== robustness: fuzzing, monkey test, memcheck"
    bash tests/robustness/run.sh
fi

echo "== native desktop program (GTK 3): its package, contract and end-to-end tests under Xvfb"
cmake --build build/native -j "$jobs" --target package
gtk_status=0
bash tests/gtk/run_gtk_tests.sh build/native || gtk_status=$?

echo "== the web program (Emscripten, build/web/Sablewick.html): its end-to-end tests in Chromium"
web_status=0
if bash tools/build-web.sh build/web; then
    bash tests/web/run_web_tests.sh build/web || web_status=$?
else
    echo "the web program did not build (above: the reason); its tests were not run"
    web_status=1
fi

echo "== Windows builds: 32-bit (build/win32, the one we release) and 64-bit (build/win64)"
bash tools/build-windows.sh i686
bash tools/build-windows.sh i686 --target package
bash tools/build-windows.sh x86_64
bash tools/build-windows.sh x86_64 --target package

echo "== Windows static checks of both builds: architecture, imports, manifest, version, packages"
static_status=0
bash tests/e2e/static_checks.sh build/win32 || static_status=1
bash tests/e2e/static_checks.sh build/win64 || static_status=1

# Which Windows build runs here: the 32-bit one where this machine starts 32-bit
# programs; on a kernel without 32-bit support, the 64-bit one under 64-bit Wine.
# shellcheck source=tools/lib/wine.sh
. tools/lib/wine.sh
wine_say_32bit
packaging_status=0
if wine_32bit_road; then
    primary=build/win32
    echo "== the 64-bit build's unit suite under 64-bit Wine"
    bash tests/e2e/run_wine_tests.sh build/win64 --unit-only || packaging_status=$?
    echo "== Windows installers under Wine: the 32-bit one, then the 64-bit one over a 32-bit install"
    bash tests/e2e/installer_test.sh build/win32 || packaging_status=$?
    bash tests/e2e/installer_test.sh build/win64 --replacing build/win32 || packaging_status=$?
else
    primary=build/win64
    echo "not run here: the 32-bit build's unit suite, end-to-end and installer tests, since $WINE_ROAD_WHY; the 64-bit build runs them instead"
    echo "== the Windows installer under Wine: the 64-bit one"
    bash tests/e2e/installer_test.sh build/win64 || packaging_status=$?
fi

echo "== Windows tests under Wine: $primary"
if [ "$packaging_status" -ne 0 ] || [ "$gtk_status" -ne 0 ] || [ "$web_status" -ne 0 ] ||
    [ "$static_status" -ne 0 ]; then
    echo "(the static, packaging, GTK or web tests above failed: this run fails whatever the tests below say)"
fi
# The runner stays last, so its "N passed, M failed" closes the output; a failed
# static, packaging, GTK or web test still fails the run.
earlier=0
for status in "$static_status" "$packaging_status" "$gtk_status" "$web_status"; do
    if [ "$status" -ne 0 ] && [ "$earlier" -eq 0 ]; then earlier=$status; fi
done
bash tests/e2e/run_wine_tests.sh "$primary" && exit "$earlier"
