#!/usr/bin/env bash
# Installs the system packages the project needs (Debian bookworm, as root or
# through sudo): those the build needs, and with --tests also those only the
# test suite runs (sanitizer and fuzzing compilers, a virtual X display, the
# hosts and tools the tests drive). Quick when everything is present: apt-get
# update runs only when a package is missing. --clean-room installs what
# scripts/clean-room.sh needs on the machine that runs it (Debian's
# bootstrapper), and nothing of the build. --arm64 installs what the arm64
# cross build and its emulated tests need (scripts/build-arm64.sh): the cross
# compiler, qemu's user-mode emulator and the arm64 libraries beside the
# amd64 ones.
#
# Usage: scripts/setup.sh [--tests | --clean-room | --arm64]
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

# The arm64 build links the same libraries as the amd64 one, in their arm64
# builds (Debian's multiarch packages install beside the amd64 ones), plus
# the X extension headers JUCE includes, which the amd64 build gets through
# juce-modules-source. curl is not among them: JUCE is built without it, and
# of the arm64 curl packages only the GnuTLS one can sit beside the amd64
# curl that juce-modules-source depends on.
arm64_packages=(
    crossbuild-essential-arm64 qemu-user
    libx11-dev:arm64 libxext-dev:arm64 libxinerama-dev:arm64 libxrandr-dev:arm64 libxcursor-dev:arm64
    libxtst-dev:arm64
    libfreetype-dev:arm64 libfontconfig-dev:arm64 libpng-dev:arm64 libjpeg-dev:arm64 zlib1g-dev:arm64
    libflac-dev:arm64 libogg-dev:arm64 libvorbis-dev:arm64 libasound2-dev:arm64
    liblilv-dev:arm64 libsndfile1-dev:arm64 libjack-jackd2-dev:arm64
    libgtest-dev:arm64 libgmock-dev:arm64
)

if [[ "${1:-}" == --tests ]]; then
    packages+=("${test_packages[@]}")
elif [[ "${1:-}" == --clean-room ]]; then
    packages=(mmdebstrap)
elif [[ "${1:-}" == --arm64 ]]; then
    packages+=("${arm64_packages[@]}")
elif [[ $# -gt 0 ]]; then
    echo "usage: scripts/setup.sh [--tests | --clean-room | --arm64]" >&2
    exit 2
fi

missing=()
native=$(dpkg --print-architecture)
for p in "${packages[@]}"; do
    # A package may be installed for several architectures: the one asked
    # for (the native one unless the name says) must be there.
    arch=$native
    [[ "$p" == *:* ]] && arch=${p#*:}
    status=$(dpkg-query -W -f='${Architecture} ${Status}\n' "$p" 2>/dev/null || true)
    grep -Eqx "($arch|all) install ok installed" <<<"$status" || missing+=("$p")
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
if [[ "${1:-}" == --arm64 ]] && ! dpkg --print-foreign-architectures | grep -qx arm64; then
    "${sudo_cmd[@]}" dpkg --add-architecture arm64
fi
"${sudo_cmd[@]}" apt-get update -qq
# --no-remove: an arm64 package that conflicts with an installed amd64 one
# (as libcurl4-openssl-dev:arm64 does with the curl JUCE needs) must stop
# the install, never quietly take the amd64 build's packages away.
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends --no-remove "${missing[@]}"
