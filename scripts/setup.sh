#!/usr/bin/env bash
# Installs every system package the project needs (Debian bookworm, as root
# or through sudo). Quick when everything is present: apt-get update runs only
# when a package is missing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    dpkg-dev file
    juce-modules-source fst-dev
    libgtest-dev libgmock-dev
    python3-numpy python3-scipy
    clang libclang-rt-14-dev
    fonts-liberation fonts-dejavu-core
    xvfb xauth x11-utils libx11-dev libxtst-dev
    lv2-dev liblilv-dev lilv-utils
    libsndfile1-dev
    dpf-source qtractor
    libjack-jackd2-dev jackd2
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
