#!/bin/sh
# Runs the plug-in under Valgrind's memcheck: invalid reads and writes, use of
# uninitialised values and definite leaks fail the run. Uses the host tool
# (build/lumidor-host validate) when it has been built, otherwise the module
# test binary, which loads build/Lumidor.so with dlopen the same way.
#
# Usage: tests/run-valgrind.sh [BUILD_DIR] [extra arguments for the program]
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-$root/build}
[ $# -gt 0 ] && shift

if [ -x "$tree/lumidor-host" ]; then
    set -- "$tree/lumidor-host" validate "$@"
elif [ -x "$tree/tests/module/lumidor_module_tests" ]; then
    set -- "$tree/tests/module/lumidor_module_tests" "$@"
else
    echo "run-valgrind.sh: build lumidor-host or lumidor_module_tests in $tree first" >&2
    exit 2
fi

echo "valgrind: $*"
exec valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
    --show-leak-kinds=definite --track-origins=yes --trace-children=yes --keep-debuginfo=yes --num-callers=30 "$@"
