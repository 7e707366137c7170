#!/usr/bin/env bash
# Runs every test: the include check between the layers, the builds (warnings
# are errors), the style and clang-tidy check, the portable libraries natively
# under AddressSanitizer and UndefinedBehaviorSanitizer, each fuzz target for
# a short bounded time, and the Windows build under Wine (as an unprivileged
# user, with a virtual X display for the windows and message boxes). Installs
# what it needs first.
set -u
cd "$(dirname "$0")/.."
root=$(pwd)

bash tools/setup.sh || exit 1

# Six targets: 20 s each keeps the fuzz step at about two minutes.
FUZZ_SECONDS=${FUZZ_SECONDS:-20}
status=0
step() { echo; echo "==== $*"; }

step "includes between the layers"
python3 tools/check-layers.py || exit 1

step "native build"
cmake --preset native >/dev/null && cmake --build --preset native || exit 1
step "windows build"
cmake --preset windows >/dev/null && cmake --build --preset windows || exit 1

step "fuzzing (${FUZZ_SECONDS} s per target)"
if command -v clang++ >/dev/null; then
  if cmake --preset fuzz >/dev/null && cmake --build --preset fuzz; then
    while read -r fuzzer corpus dict; do
      [ -n "$fuzzer" ] || continue
      work=$(mktemp -d)
      cp -r "$corpus"/. "$work"/ 2>/dev/null
      dictionary=()
      [ -n "${dict:-}" ] && [ "$dict" != - ] && dictionary=(-dict="$dict")
      echo "-- $(basename "$fuzzer")"
      if ! "$fuzzer" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 \
           "${dictionary[@]}" -print_final_stats=0 "$work" >"$work.log" 2>&1; then
        tail -n 60 "$work.log"
        echo "FUZZ FAILED: $(basename "$fuzzer")"
        status=1
      else
        grep -E '^(#[0-9]+ +DONE|Done)' "$work.log" | tail -n 1
      fi
      rm -rf "$work" "$work.log"
    done < build/fuzz/fuzzers.list
  else
    echo "fuzz build failed"; status=1
  fi
else
  echo "clang not found: fuzzing skipped"
fi

step "style and clang-tidy"
bash tools/lint.sh || status=1

# A private X display for the Windows tests: message boxes and dialogs need one.
display=
for n in $(seq 90 120); do
  if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=$n; break; fi
done
Xvfb :$display -screen 0 1024x768x24 -nolisten tcp -ac >/dev/null 2>&1 </dev/null &
xvfb_pid=$!
export DISPLAY=:$display
cleanup() {
  WINEPREFIX=$root/build/windows/wineprefix
  if [ -d "$WINEPREFIX" ]; then
    if [ "$(id -u)" -eq 0 ] && id pakwerk >/dev/null 2>&1; then
      runuser -u pakwerk -- env WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1
    else
      WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1
    fi
  fi
  kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
sleep 1

# The Windows tests run as the unprivileged user "pakwerk" (tools/wine-run.sh):
# it must reach the build folder. A checkout below a private folder (such as
# /root) gets search permission on the folders above it, nothing more.
if [ "$(id -u)" -eq 0 ]; then
  id pakwerk >/dev/null 2>&1 || useradd -m -s /bin/sh pakwerk
  if ! runuser -u pakwerk -- test -r "$root/build/windows"; then
    dir=$root
    while [ "$dir" != / ]; do chmod o+x "$dir"; dir=$(dirname "$dir"); done
    echo "note: gave others search permission on the folders above $root"
  fi
fi

step "native tests"
ctest --preset native -j2 || status=1
step "windows tests (under Wine)"
ctest --preset windows || status=1
exit $status
