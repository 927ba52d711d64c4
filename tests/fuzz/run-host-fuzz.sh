#!/bin/sh
# Builds the host-surface fuzzer in build-fuzz-host/ (clang, ASan, UBSan and
# coverage for our targets; JUCE compiled with ASan and coverage, so that a
# fault inside the framework is caught where it happens) and fuzzes one plug-in
# instance per input through its dispatcher, parameters and process calls for
# SECONDS seconds. The corpus is kept in build-fuzz-host/host-corpus/ across
# runs; crashes land in build-fuzz-host/artifacts/.
#
# Usage: tests/fuzz/run-host-fuzz.sh SECONDS [extra libFuzzer flags...]
set -eu

seconds=${1:?usage: run-host-fuzz.sh SECONDS [libFuzzer flags...]}
shift

root=$(cd "$(dirname "$0")/../.." && pwd)
tree="$root/build-fuzz-host"

# The build shares the machine with other builds; the run does not need the lock.
flock /tmp/lumidor-build.lock sh -c "
    CC=clang CXX=clang++ cmake -S '$root' -B '$tree' \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLUMIDOR_SANITIZE=ON -DLUMIDOR_SANITIZE_JUCE=ON -DLUMIDOR_FUZZ=ON -DLUMIDOR_BENCH=OFF -DLUMIDOR_PLUGIN_FORMATS=OFF \
        -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link \
        -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null &&
    cmake --build '$tree' -j2 --target lumidor_host_fuzzer"

mkdir -p "$tree/host-corpus" "$tree/artifacts"
"$tree/tests/fuzz/lumidor_host_fuzzer" -seed=1 -max_total_time="$seconds" -max_len=4096 \
    -artifact_prefix="$tree/artifacts/host-" "$@" "$tree/host-corpus"
