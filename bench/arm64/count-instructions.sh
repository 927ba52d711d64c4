#!/usr/bin/env bash
# Instructions per stereo frame of the engine on 64-bit ARM, counted under
# qemu's user-mode emulator (exact and repeatable, unlike a timing): the
# engine is built twice, with NEON lanes and with plain two-float lanes, and
# each runs 0 and 96000 frames; the difference over 96000 is the cost of a
# frame. Needs scripts/setup.sh --arm64.
#   bench/arm64/count-instructions.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
out=${1:-build-arm64/frame-cost}
mkdir -p "$out"
cc -O2 -shared -fPIC -o "$out/qemu_insn_count.so" bench/arm64/qemu_insn_count.c

frames=96000
for lanes in neon plain; do
    defines=()
    [[ $lanes == plain ]] && defines=(-DLUMIDOR_NO_SIMD=1)
    # The engine's Release flags: strict IEEE order, no fused multiply-add.
    aarch64-linux-gnu-g++ -std=c++17 -O3 -DNDEBUG -ffp-contract=off -fno-fast-math -fno-tree-slp-vectorize \
        "${defines[@]}" -Idsp dsp/*.cpp bench/arm64/frame_cost.cpp -o "$out/frame_cost_$lanes"
    count() {
        qemu-aarch64 -plugin "$out/qemu_insn_count.so" "$out/frame_cost_$lanes" "$1" 2>&1 >/dev/null |
            sed -n 's/^instructions: //p'
    }
    base=$(count 0)
    full=$(count "$frames")
    awk -v lanes="$lanes" -v b="$base" -v f="$full" -v n="$frames" \
        'BEGIN { printf "%-5s lanes: %.1f instructions per stereo frame\n", lanes, (f - b) / n }'
done
