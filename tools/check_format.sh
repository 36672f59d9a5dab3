#!/usr/bin/env bash
# Fails, naming the files, when a C or C++ file of the repository differs from what
# clang-format makes of it with the project's .clang-format. Fix with:
#   clang-format -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null 2>&1; then
    echo "check_format.sh: clang-format is missing (tools/setup.sh installs it)" >&2
    exit 1
fi
differ=()
while IFS= read -r file; do
    if ! clang-format --style=file "$file" | cmp -s - "$file"; then differ+=("$file"); fi
done < <(git ls-files '*.cpp' '*.h' '*.c')
if [ "${#differ[@]}" -ne 0 ]; then
    echo "check_format.sh: ${#differ[@]} file(s) differ from .clang-format:" >&2
    printf '  %s\n' "${differ[@]}" >&2
    exit 1
fi
echo "check_format.sh: every C and C++ file follows .clang-format"
