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
# no 32-bit code runs: tools/windows-build.sh).
set -eu
cd "$(dirname "$0")/.."
. tools/windows-build.sh
build=${PAKWERK_BUILD_DIR:-build/$windows_preset}
cmake --build "$build" --target Pakwerk install_bench >/dev/null

display=
for n in $(seq 130 200); do
  if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=$n; break; fi
done
Xvfb :$display -screen 0 1024x768x24 -nolisten tcp -ac >/dev/null 2>&1 </dev/null &
xvfb_pid=$!
prefix=$PWD/$build/wineprefix
stop() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u pakwerk -- env WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  else
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  fi
  kill "$xvfb_pid" 2>/dev/null || true
}
trap stop EXIT
export DISPLAY=:$display
sleep 1
# Wine runs as the user "pakwerk" when started as root: it needs to reach the build.
dir=$PWD; while [ "$dir" != / ]; do chmod o+x "$dir"; dir=$(dirname "$dir"); done
bash tools/wine-run.sh "$prefix" "$PWD/$build/tests/install_bench.exe" "$@"
