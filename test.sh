#!/usr/bin/env bash
# Installs what is missing, builds everything in Release and runs every test;
# then runs the suite again with AddressSanitizer and UndefinedBehaviorSanitizer
# in a build of its own that reuses the Release build's JUCE library.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh

jobs=${LUMIDOR_JOBS:-2}

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

if [[ "${LUMIDOR_SKIP_SANITIZERS:-0}" != 1 ]]; then
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIDOR_SANITIZE=ON -DLUMIDOR_BENCH=OFF \
        -DLUMIDOR_JUCE_ARCHIVE="$PWD/build/liblumidor_juce.a" >/dev/null
    cmake --build build-asan -j"$jobs"
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$jobs")
fi
