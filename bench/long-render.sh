#!/usr/bin/env bash
# Peak memory and time of one-hour renders through lumidor-host, which
# streams block by block: its memory should not grow with the length.
#   bench/long-render.sh [build/lumidor-host]
# 1. the demo phrase followed by an hour of reverb tail (--tail 3600), float;
# 2. that hour of float as an input file, rendered to 16-bit.
# Needs /usr/bin/time (Debian package "time") and about 2 GB in $TMPDIR.
set -euo pipefail
host=$(realpath "${1:-build/lumidor-host}")
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (apt-get install time)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

measure() {
    local label=$1
    shift
    /usr/bin/time -f "%M %e %U" -o "$work/time" "$@" >/dev/null
    read -r kb wall user <"$work/time"
    printf '| %s | %d | %.1f | %.1f |\n' "$label" $((kb / 1024)) "$wall" "$user"
}

"$host" make-demo-phrase "$work/dry.wav" >/dev/null
echo "| render | peak RSS, MB | wall, s | CPU, s |"
echo "|---|---:|---:|---:|"
measure "4.5 s phrase + 3600 s tail, 32-bit float out" "$host" render "$work/dry.wav" "$work/tail.wav" --tail 3600
measure "3604.5 s of 32-bit float input, 16-bit out" "$host" render "$work/tail.wav" "$work/hour16.wav" --bits 16 --tail 0
measure "4.5 s phrase, 2 s tail (for comparison)" "$host" render "$work/dry.wav" "$work/short.wav"
