#!/bin/sh
# Builds the state fuzzer with clang, ASan, UBSan and coverage for our
# targets (JUCE with ASan and coverage) in build-fuzz/, writes a fresh seed corpus and fuzzes both
# state readers for SECONDS seconds with a fixed seed.
#
# Usage: tests/fuzz/run-fuzz.sh SECONDS [extra libFuzzer flags...]
# Crashes land in build-fuzz/artifacts/.
set -eu

seconds=${1:?usage: run-fuzz.sh SECONDS [libFuzzer flags...]}
shift

root=$(cd "$(dirname "$0")/../.." && pwd)
tree="$root/build-fuzz"
lock=/tmp/lumidor-build.lock

# LUMIDOR_FUZZ_JUCE_ARCHIVE=build/liblumidor_juce.a links the main build's
# JUCE instead of compiling an instrumented copy: quicker, but JUCE's own XML
# parser is then fuzzed without coverage guidance or AddressSanitizer.
juce_archive="-DLUMIDOR_SANITIZE_JUCE=ON"
if [ -n "${LUMIDOR_FUZZ_JUCE_ARCHIVE:-}" ]; then
    juce_archive="-DLUMIDOR_JUCE_ARCHIVE=$LUMIDOR_FUZZ_JUCE_ARCHIVE"
fi

# The build shares the machine with other builds; the run does not need the lock.
flock "$lock" sh -c "
    CC=clang CXX=clang++ cmake -S '$root' -B '$tree' \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLUMIDOR_SANITIZE=ON -DLUMIDOR_FUZZ=ON -DLUMIDOR_BENCH=OFF -DLUMIDOR_PLUGIN_FORMATS=OFF $juce_archive \
        -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link \
        -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null &&
    cmake --build '$tree' -j2 --target lumidor_state_fuzzer lumidor_state_seeds"

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
"$tree/tests/fuzz/lumidor_state_seeds" "$corpus/seeds"
mkdir -p "$corpus/work" "$tree/artifacts"

"$tree/tests/fuzz/lumidor_state_fuzzer" -seed=1 -max_total_time="$seconds" \
    -artifact_prefix="$tree/artifacts/" "$@" "$corpus/work" "$corpus/seeds"
