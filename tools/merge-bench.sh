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
wine_bench merge_bench "$@"
