#!/usr/bin/env bash
# Runs every tests/scenarios/*.script through the script driver, each in a fresh program
# directory. A script's "#args:" line gives driver options; each "#expect: TEXT" line
# must appear in the output and each "#reject: TEXT" line must not. Prints
# "N passed, M failed".
set -u
driver="$1"
here="$(cd "$(dirname "$0")" && pwd)"
passed=0
failed=0
for script in "$here"/*.script; do
    name="$(basename "$script" .script)"
    dir="$(mktemp -d)"
    args="$(sed -n 's/^#args: //p' "$script")"
    # "#ini: KEY=VALUE" lines make a settings file before the start.
    if grep -q '^#ini: ' "$script"; then
        { printf '[Orvane.ini]\r\n'; sed -n 's/^#ini: \(.*\)$/\1\r/p' "$script"; } > "$dir/Orvane.ini"
    fi
    # shellcheck disable=SC2086
    out="$(sed 's#@DIR@#'"$dir"'#g' "$script" | "$driver" --dir "$dir" $args 2>&1)"
    code=$?
    ok=1
    want_code="$(sed -n 's/^#exit: //p' "$script")"
    [ "$code" -eq "${want_code:-0}" ] || { echo "$name: driver exited $code"; ok=0; }
    while IFS= read -r want; do
        printf '%s' "$out" | grep -qF -- "$want" || { echo "$name: missing: $want"; ok=0; }
    done < <(sed -n 's/^#expect: //p' "$script")
    while IFS= read -r bad; do
        printf '%s' "$out" | grep -qF -- "$bad" && { echo "$name: unexpected: $bad"; ok=0; }
    done < <(sed -n 's/^#reject: //p' "$script")
    if [ "$ok" -eq 1 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "--- output of $name:"; printf '%s\n' "$out" | cut -c1-400; fi
    rm -rf "$dir"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
