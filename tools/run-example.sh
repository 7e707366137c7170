#!/usr/bin/env bash
# Builds the program and runs it on the bundled example package.
# (Until the program exists: builds what exists and runs its tests.)
set -eu
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows
