#!/usr/bin/env bash
# Installs the system packages the project needs (Debian bookworm, as root or
# through sudo): those the build needs, and with --tests also those only the
# test suite runs (sanitizer and fuzzing compilers, a virtual X display, the
# hosts and tools the tests drive). Quick when everything is present: apt-get
# update runs only when a package is missing. --clean-room installs what
# scripts/clean-room.sh needs on the machine that runs it (Debian's
# bootstrapper), and nothing of the build.
#
# Usage: scripts/setup.sh [--tests | --clean-room]
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    juce-modules-source fst-dev
    # The editor's faces in every style it draws: DejaVu's oblique faces
    # come only with -extra, and a bare machine has no other font.
    fonts-liberation fonts-dejavu-core fonts-dejavu-extra
    libx11-dev libxtst-dev
    lv2-dev liblilv-dev
    libsndfile1-dev
    dpf-source
    libjack-jackd2-dev
)
test_packages=(
    libgtest-dev libgmock-dev
    dpkg-dev file
    python3-numpy python3-scipy
    clang libclang-rt-14-dev clang-format
    xvfb xauth x11-utils
    lilv-utils
    qtractor
    jackd2
)

if [[ "${1:-}" == --tests ]]; then
    packages+=("${test_packages[@]}")
elif [[ "${1:-}" == --clean-room ]]; then
    packages=(mmdebstrap)
elif [[ $# -gt 0 ]]; then
    echo "usage: scripts/setup.sh [--tests | --clean-room]" >&2
    exit 2
fi

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
