#!/usr/bin/env bash
# Checks every C++ source of the project against .clang-format and lists the
# files that differ; exits 1 if any does. Fix one with: clang-format -i FILE
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(find bench dsp framework gui plugin tests tools -name '*.cpp' -o -name '*.h' | sort)
bad=()
for file in "${files[@]}"; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || bad+=("$file")
done
if (( ${#bad[@]} > 0 )); then
    echo "not formatted as .clang-format says (clang-format -i FILE mends it):" >&2
    printf '  %s\n' "${bad[@]}" >&2
    exit 1
fi
echo "format: ${#files[@]} files as .clang-format says"
