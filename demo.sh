#!/usr/bin/env bash
# Installs what is missing, builds in Release, and renders the demo.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target render-demo
build/render-demo out
