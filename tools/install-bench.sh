#!/usr/bin/env bash
# Measures an installation of a large package under Wine: Pakwerk from the
# click on Install to its result box, against a plain CopyFileA loop over the
# same files (creating the folders), and how quickly the install dialog
# answers a message and repaints meanwhile (the program aims at 200 ms).
#   bash tools/install-bench.sh [RUNS [FILES [FOLDERS [MEGABYTES [PAKWERK_EXE]]]]]
# Defaults: 5 alternating runs (after an untimed round) of 3000 files, 198 MB
# in 40 folders, with this build's Pakwerk.exe; PAKWERK_EXE (a Windows path,
# e.g. Z:\tmp\old\Pakwerk.exe) measures another build. Prints every run, the
# medians and their ratio, the slowest answer and the slowest repaint. The
# package is generated in the test prefix's temporary folder and removed.
# Uses a private Xvfb display; runs in the test prefix (build/windows, or build/windows-x64 where
# no 32-bit code runs: tools/wine-env.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
build=${PAKWERK_BUILD_DIR:-build/$windows_preset}
cmake --build "$build" --target Pakwerk install_bench >/dev/null
prefix=$PWD/$build/wineprefix
trap 'wine_stop "$prefix"; wine_display_stop' EXIT
wine_display
wine_user_reaches "$build"
bash tools/wine-run.sh "$prefix" "$PWD/$build/tests/install_bench.exe" "$@"
