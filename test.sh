#!/usr/bin/env bash
# Installs what is missing, checks that every C++ file is formatted as
# .clang-format says, builds everything in Release, and runs every test:
# the install rules and the Debian package (tests/package/run-package-test.sh;
# as root it installs the package and removes it again), the whole suite again
# with AddressSanitizer and UndefinedBehaviorSanitizer
# (in build-asan, reusing the Release build's JUCE library), a minute of
# fuzzing of the state readers, the threaded stress case under
# ThreadSanitizer (build-tsan), and finally the Release suite.
#
# LUMIDOR_SKIP_PACKAGE=1, LUMIDOR_SKIP_SANITIZERS=1, LUMIDOR_SKIP_FUZZ=1 and
# LUMIDOR_SKIP_TSAN=1 leave those parts out for a quicker local run.
#
# ./test.sh --arm64 instead cross-builds everything for 64-bit ARM and runs
# its engine, filter, package and bit tests under qemu
# (scripts/test-arm64.sh).
set -euo pipefail
cd "$(dirname "$0")"
if [[ "${1:-}" == --arm64 ]]; then
    exec scripts/test-arm64.sh
elif [[ $# -gt 0 ]]; then
    echo "usage: ./test.sh [--arm64]" >&2
    exit 2
fi
scripts/setup.sh --tests
scripts/check-format.sh

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

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DLUMIDOR_TESTS=ON -DLUMIDOR_BENCH=ON >/dev/null
cmake --build build -j"$jobs"

if [[ "${LUMIDOR_SKIP_PACKAGE:-0}" != 1 ]]; then
    tests/package/run-package-test.sh build
fi

if [[ "${LUMIDOR_SKIP_SANITIZERS:-0}" != 1 ]]; then
    # The Release build runs the engine's x86-64-v3 copy where the processor
    # has it; this one builds the baseline copy alone, so the pinned hashes
    # check both.
    # The VST3 build is hosted here too; the standalone application's
    # tests run in the Release suite only.
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIDOR_SANITIZE=ON -DLUMIDOR_BENCH=OFF \
        -DLUMIDOR_CPU_DISPATCH=OFF -DLUMIDOR_PLUGIN_FORMATS=ON -DLUMIDOR_JUCE_ARCHIVE="$PWD/build/liblumidor_juce.a" >/dev/null
    cmake --build build-asan -j"$jobs"
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --output-on-failure -j"$jobs" -E '^Standalone(App|Jack)\.')
fi

if [[ "${LUMIDOR_SKIP_FUZZ:-0}" != 1 ]] && command -v clang++ >/dev/null; then
    LUMIDOR_FUZZ_JUCE_ARCHIVE="$PWD/build/liblumidor_juce.a" tests/fuzz/run-fuzz.sh 60
fi

if [[ "${LUMIDOR_SKIP_TSAN:-0}" != 1 ]]; then
    tests/run-tsan.sh 30
fi

(cd build && ctest --output-on-failure -j"$jobs")
