#!/usr/bin/env bash
# Installs what is missing, builds everything in Release and runs every test;
# then runs the suite again with AddressSanitizer and UndefinedBehaviorSanitizer
# in a build of its own that reuses the Release build's JUCE library.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh

jobs=${LUMIDOR_JOBS:-2}

# The editor tests open real windows: without a display, run a virtual one.
if [[ -z "${DISPLAY:-}" ]]; then
    displayfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
    xvfb_pid=$!
    trap 'kill "$xvfb_pid" 2>/dev/null || true; rm -f "$displayfile"' EXIT
    for _ in $(seq 50); do [[ -s "$displayfile" ]] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$displayfile")"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

if [[ "${LUMIDOR_SKIP_SANITIZERS:-0}" != 1 ]]; then
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIDOR_SANITIZE=ON -DLUMIDOR_BENCH=OFF \
        -DLUMIDOR_JUCE_ARCHIVE="$PWD/build/liblumidor_juce.a" >/dev/null
    cmake --build build-asan -j"$jobs"
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$jobs")
fi

# Arbitrary bytes against both state readers, for a minute, with a fixed seed.
if [[ "${LUMIDOR_SKIP_FUZZ:-0}" != 1 ]] && command -v clang++ >/dev/null; then
    LUMIDOR_FUZZ_JUCE_ARCHIVE="$PWD/build/liblumidor_juce.a" tests/fuzz/run-fuzz.sh 60
fi
