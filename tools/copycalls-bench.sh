#!/usr/bin/env bash
# Measures what each Win32 call of a package file's installation costs under
# Wine, against CopyFileA on the same files (tests/bench/CopyCallsBenchmark.cpp):
# the engine's calls for a new file of a recorded run in their order, each
# timed on its own, and the calls it could make instead.
#   bash tools/copycalls-bench.sh [ROUNDS [FILES [FOLDERS [MEGABYTES]]]]
# Defaults: 3 rounds after an untimed one, 3000 files, 198 MB in 40 folders.
# Runs in the test prefix (build/windows, or build/windows-x64 where no
# 32-bit code runs: tools/wine-env.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
wine_bench copycalls_bench "$@"
