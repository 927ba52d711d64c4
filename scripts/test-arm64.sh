#!/usr/bin/env bash
# The arm64 build and its emulated tests (./test.sh --arm64 runs this):
# installs the cross compiler, qemu and the arm64 libraries
# (scripts/setup.sh --arm64), cross-builds every format, lumidor-host, the
# engine and filter tests and the fingerprint into build-arm64, makes and
# checks the arm64 Debian package, and runs under qemu-aarch64 the engine
# and filter tests (their pinned hashes included) and the bit check
# (tests/bits), which must give the amd64 figures exactly. Debian's arm64
# lv2apply is unpacked into the build folder for it, not installed, since it
# cannot sit beside the amd64 one. Finally it prints the engine's
# instructions per frame with NEON and with plain lanes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --arm64

jobs=${LUMIDOR_JOBS:-2}
build=build-arm64
lilv="$build/lilv-utils"
if [[ ! -x "$lilv/root/usr/bin/lv2apply" ]]; then
    mkdir -p "$lilv"
    (cd "$lilv" && apt-get download -qq lilv-utils:arm64 2>/dev/null && dpkg-deb -x lilv-utils_*_arm64.deb root)
fi

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu.cmake \
    -DCMAKE_BUILD_TYPE=Release -DLUMIDOR_TESTS=ON -DLUMIDOR_BENCH=ON \
    -DLUMIDOR_LV2APPLY="$PWD/$lilv/root/usr/bin/lv2apply" >/dev/null
cmake --build "$build" -j"$jobs"

tests/package/run-package-test.sh "$build"
(cd "$build" && ctest --output-on-failure -j"$jobs")
bench/arm64/count-instructions.sh "$build/frame-cost"
