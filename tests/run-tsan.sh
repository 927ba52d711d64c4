#!/bin/sh
# Builds the threaded stress test and the module with ThreadSanitizer in
# build-tsan/ (JUCE compiled instrumented too, so its locks and atomics are
# understood) and runs the stress test for SECONDS seconds (default 30).
# Exits non-zero on any reported race. Suppressions, each explained, live in
# tests/tsan.supp and cover JUCE's own code only.
#
# Usage: tests/run-tsan.sh [SECONDS]
set -eu

seconds=${1:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
tree="$root/build-tsan"
jobs=${LUMIDOR_JOBS:-2}

# The build shares the machine with other builds; the run does not need the lock.
flock /tmp/lumidor-build.lock sh -c "
    cmake -S '$root' -B '$tree' -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLUMIDOR_TSAN=ON -DLUMIDOR_BENCH=OFF -DLUMIDOR_PLUGIN_FORMATS=OFF \
        -DCMAKE_C_FLAGS=-fsanitize=thread -DCMAKE_CXX_FLAGS=-fsanitize=thread >/dev/null &&
    cmake --build '$tree' -j$jobs --target lumidor_stress_tests"

LUMIDOR_STRESS_SECONDS="$seconds" \
TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 history_size=4 suppressions=$root/tests/tsan.supp" \
    "$tree/tests/realtime/lumidor_stress_tests"
