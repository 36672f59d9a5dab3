#!/usr/bin/env bash
# Robustness checks beyond the test suites: every libFuzzer target for a while, a long
# monkey run, and valgrind memcheck over the script-driver scenarios. Prints executions
# per target and every finding; exits non-zero when there is any.
#
#   FUZZ_SECONDS    seconds per fuzz target (default 20)
#   MONKEY_SEEDS    monkey seeds (default 20), MONKEY_EVENTS events per seed (default 4000)
#
# Run from anywhere; builds what it needs (build/fuzz with clang, build/native).
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"
fuzz_seconds="${FUZZ_SECONDS:-20}"
monkey_seeds="${MONKEY_SEEDS:-20}"
monkey_events="${MONKEY_EVENTS:-4000}"
jobs="$(nproc 2>/dev/null || echo 2)"
findings=0
summary=()

note() { summary+=("$1"); echo "$1"; }
finding() { findings=$((findings + 1)); note "FINDING: $1"; }

# ---- Fuzzing
fuzz_dir=build/fuzz
echo "== fuzz build (clang, libFuzzer, AddressSanitizer, UBSan) in $fuzz_dir"
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer,address,undefined - -o /tmp/sablewick-fuzz-probe.$$ 2>/dev/null; then
    finding "clang++ -fsanitize=fuzzer does not work (install clang and libclang-rt-14-dev: tools/setup.sh)"
else
    rm -f /tmp/sablewick-fuzz-probe.$$
    mkdir -p "$fuzz_dir"
    san="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
    if CC=clang CXX=clang++ cmake -S . -B "$fuzz_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DSABLEWICK_FUZZ=ON -DSABLEWICK_BENCHMARKS=OFF \
            -DCMAKE_C_FLAGS="$san" -DCMAKE_CXX_FLAGS="$san" >"$fuzz_dir/configure.log" 2>&1 &&
        cmake --build "$fuzz_dir" -j "$jobs" --target fuzz_targets >"$fuzz_dir/build.log" 2>&1; then
        mkdir -p "$fuzz_dir/findings"
        # The targets as the build lists them (cmake/Robustness.cmake).
        mapfile -t targets <"$fuzz_dir/fuzz_targets.txt"
        run_target() {
            local t="$1" work="$fuzz_dir/corpus/$1"
            mkdir -p "$work"
            # New inputs go to the build's own corpus; the committed seeds are only read.
            ASAN_OPTIONS=detect_leaks=1 "$fuzz_dir/fuzz_$t" -max_total_time="$fuzz_seconds" \
                -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
                -artifact_prefix="$fuzz_dir/findings/$t-" "$work" "tests/fuzz/corpus/$t" \
                >"$fuzz_dir/$t.log" 2>&1
            echo $? >"$fuzz_dir/$t.rc"
        }
        echo "== fuzzing ${#targets[@]} targets, ${fuzz_seconds} s each, $jobs at a time"
        running=0
        for t in "${targets[@]}"; do
            rm -f "$fuzz_dir/findings/$t-"* "$fuzz_dir/$t.rc"
            run_target "$t" &
            running=$((running + 1))
            if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
        done
        wait
        for t in "${targets[@]}"; do
            execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$fuzz_dir/$t.log" | tail -n1)"
            rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$fuzz_dir/$t.log" | tail -n1)"
            rc="$(cat "$fuzz_dir/$t.rc" 2>/dev/null || echo '?')"
            crashes="$(find "$fuzz_dir/findings" -name "$t-*" -type f | wc -l)"
            note "fuzz $t: ${execs:-0} executions (${rate:-0} per second), $crashes findings (exit $rc)"
            if [ "$rc" != 0 ] || [ "$crashes" -ne 0 ]; then
                finding "fuzz $t: see $fuzz_dir/$t.log and $fuzz_dir/findings/$t-*"
                grep -m3 -E 'ERROR|runtime error|fuzz property failed' "$fuzz_dir/$t.log" | sed 's/^/    /'
            fi
        done
    else
        finding "the fuzz build failed: see $fuzz_dir/configure.log and $fuzz_dir/build.log"
        tail -n 20 "$fuzz_dir/build.log" 2>/dev/null
    fi
fi

# ---- The native build for the monkey and memcheck (tools/test.sh has made it already).
native=build/native
if [ ! -x "$native/sablewick_tests" ] || [ ! -x "$native/sablewick-headless" ]; then
    echo "== native build"
    cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
        cmake --build "$native" -j "$jobs" >/dev/null || finding "the native build failed"
fi

# ---- Monkey
echo "== monkey: $monkey_seeds seeds, $monkey_events events each"
if [ -x "$native/sablewick_tests" ]; then
    monkey_log="$native/monkey.log"
    SABLEWICK_MONKEY_SEEDS="$monkey_seeds" SABLEWICK_MONKEY_EVENTS="$monkey_events" \
        "$native/sablewick_tests" --gtest_filter='Monkey.*' >"$monkey_log" 2>&1
    rc=$?
    events="$(sed -n 's/^monkey: \([0-9]*\) events.*/\1/p' "$monkey_log" | tail -n1)"
    violations="$(grep -c '^seed [0-9]*: after event' "$monkey_log")"
    note "monkey: ${events:-0} events, $violations violations"
    if [ "$rc" -ne 0 ]; then
        finding "monkey (see $monkey_log)"
        grep -A12 '^seed [0-9]*: after event' "$monkey_log" | sed 's/^/    /'
    fi
fi

# ---- valgrind memcheck over the driver scenarios
echo "== valgrind memcheck over tests/scenarios"
if ! command -v valgrind >/dev/null; then
    finding "valgrind is not installed (tools/setup.sh)"
elif [ -x "$native/sablewick-headless" ]; then
    checked=0
    for script in tests/scenarios/*.script; do
        name="$(basename "$script" .script)"
        dir="$(mktemp -d)"
        args="$(sed -n 's/^#args: //p' "$script")"
        if grep -q '^#ini: ' "$script"; then
            { printf '[Orvane.ini]\r\n'; sed -n 's/^#ini: \(.*\)$/\1\r/p' "$script"; } >"$dir/Orvane.ini"
        fi
        log="$native/memcheck-$name.log"
        # shellcheck disable=SC2086
        sed 's#@DIR@#'"$dir"'#g' "$script" |
            valgrind -q --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect \
                --errors-for-leak-kinds=definite,indirect --log-file="$log" \
                "$native/sablewick-headless" --dir "$dir" $args >/dev/null 2>&1
        rc=$?
        rm -rf "$dir"
        checked=$((checked + 1))
        if [ "$rc" -eq 99 ] || [ -s "$log" ]; then
            finding "memcheck $name: see $log"
            head -n 20 "$log" | sed 's/^/    /'
        fi
    done
    note "memcheck: $checked scenarios"
fi

echo "== robustness summary"
printf '  %s\n' "${summary[@]}"
echo "  findings: $findings"
[ "$findings" -eq 0 ]
