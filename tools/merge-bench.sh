#!/usr/bin/env bash
# Measures the cabin merge under Wine (tests/bench/CabinMergeBenchmark.cpp):
# a plain read and write of a host list of 73,599 sections and a package list
# of 2,000, the merge as the engine does it, and the restore point's work
# before it, with their phases and allocations.
#   bash tools/merge-bench.sh [RUNS]
# Default: 5 runs after an untimed one. Runs in the test prefix (build/windows, or build/windows-x64 where
# no 32-bit code runs: tools/wine-env.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
build=${PAKWERK_BUILD_DIR:-build/$windows_preset}
cmake --build "$build" --target merge_bench >/dev/null
wine_user_reaches "$build"
prefix=$PWD/$build/wineprefix
status=0
bash tools/wine-run.sh "$prefix" "$PWD/$build/tests/merge_bench.exe" "$@" || status=$?
wine_stop "$prefix"
exit $status
