#!/usr/bin/env bash
# Builds everything and runs every test: the native suite on the headless backend, the
# driver scenarios, the native desktop program (GTK 3) and its .deb under Xvfb, then
# the Windows build, its installer and zip (installed and
# uninstalled under Wine), and the Windows tests under Wine (its unit suite and the
# end-to-end tests in a real window under Xvfb). Installs what it needs first (tools/setup.sh).
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

echo "== Windows build"
bash tools/build-mingw-deps.sh build/win32
cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686-posix.cmake >/dev/null
cmake --build build/win32 -j "$jobs"

echo "== Windows packages: installer and zip, installed and uninstalled under Wine"
cmake --build build/win32 -j "$jobs" --target package
packaging_status=0
bash tests/e2e/installer_test.sh build/win32 || packaging_status=$?

echo "== Windows tests under Wine"
if [ "$packaging_status" -ne 0 ] || [ "$gtk_status" -ne 0 ]; then
    echo "(the packaging or GTK tests above failed: this run fails whatever the tests below say)"
fi
# The runner stays last, so its "N passed, M failed" closes the output; a failed
# packaging or GTK test still fails the run.
bash tests/e2e/run_wine_tests.sh build/win32 && exit $((packaging_status != 0 ? packaging_status : gtk_status))
