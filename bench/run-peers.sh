#!/usr/bin/env bash
# Benchmarks Lumidor against reverbs that Debian packages as Linux VST 2
# modules. Installs them first (as root or through sudo): they are needed
# for this benchmark only, never for building or testing.
#   bench/run-peers.sh [extra lumidor-host bench options]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(dragonfly-reverb-vst dpf-plugins-vst iem-plugin-suite-vst)
sudo_cmd=()
[[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
missing=()
for p in "${packages[@]}"; do
    [[ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)" == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]} > 0)); then
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    for p in "${missing[@]}"; do
        "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$p" || echo "not available: $p" >&2
    done
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target Lumidor lumidor-host >/dev/null

peers=(
    DragonflyRoomReverb-vst.so DragonflyHallReverb-vst.so DragonflyPlateReverb-vst.so
    MVerb-vst.so MaFreeverb-vst.so MaGigaverb-vst.so iem.at/libFdnReverb.so
)
against=()
for p in "${peers[@]}"; do
    for dir in /usr/lib/lxvst /usr/lib/vst; do
        if [[ -f "$dir/$p" ]]; then
            against+=(--against "$dir/$p")
            break
        fi
    done
done

build/lumidor-host bench "${against[@]}" --rate 44100 --block 512 --seconds 10 --reps 7 "$@"
