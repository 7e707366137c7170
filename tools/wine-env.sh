# Sourced by every script that runs Windows programs under Wine: which build
# this machine can run, the unprivileged user Wine runs as, a private X
# display, and ending Wine's background processes. Safe under the scripts'
# strict mode (set -euo pipefail).
#
#   windows_preset         the build preset whose programs this machine can
#                          run: "windows", the 32-bit build that ships (32-bit
#                          Wine), or "windows-x64", the same code built for
#                          x86-64 (64-bit Wine), where the kernel runs no
#                          32-bit code at all (the 32-bit Wine loader fails
#                          there with "Exec format error"). The program reads
#                          and writes the registry's 32-bit view explicitly,
#                          so both builds see the same keys.
#   wine_user              "pakwerk" when started as root (root ignores
#                          read-only files, so Wine runs as that user), else
#                          empty
#   wine_user_reaches DIR  makes the user when it is missing and, when it
#                          cannot reach DIR, gives others search permission on
#                          the folders above DIR (nothing more)
#   wine_display           starts Xvfb on a free display from :90 on, exports
#                          DISPLAY and sets wine_display_pid; 1 when it did
#                          not start
#   wine_display_stop      ends that display
#   wine_stop PREFIX       ends Wine's background processes in PREFIX
#   wine_bench TARGET ARGS...
#                          builds the benchmark TARGET of tests/ in the build
#                          this machine runs (PAKWERK_BUILD_DIR for another),
#                          runs it with ARGS in that build's test prefix and
#                          returns its exit status
if [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  windows_preset=windows-x64
else
  windows_preset=windows
fi

wine_user=
[ "$(id -u)" -eq 0 ] && wine_user=pakwerk
wine_display_pid=

wine_user_reaches() {
  [ -n "$wine_user" ] || return 0
  id "$wine_user" >/dev/null 2>&1 || useradd -m -s /bin/sh "$wine_user"
  if ! runuser -u "$wine_user" -- test -x "$1"; then
    local dir
    dir=$(cd "$1" && pwd)
    while [ "$dir" != / ]; do chmod o+x "$dir"; dir=$(dirname "$dir"); done
  fi
}

wine_display() {
  local n
  for n in $(seq 90 199); do
    if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then break; fi
  done
  Xvfb :$n -screen 0 1024x768x24 -br -nolisten tcp -ac >/dev/null 2>&1 </dev/null &
  wine_display_pid=$!
  export DISPLAY=:$n
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && return 0; sleep 0.1; done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

wine_display_stop() {
  [ -n "$wine_display_pid" ] || return 0
  kill "$wine_display_pid" 2>/dev/null || true
  wait "$wine_display_pid" 2>/dev/null || true
  wine_display_pid=
  return 0
}

wine_stop() {
  [ -d "$1" ] || return 0
  if [ -n "$wine_user" ]; then
    runuser -u "$wine_user" -- env WINEPREFIX="$1" wineserver -k >/dev/null 2>&1 || true
  else
    WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true
  fi
  return 0
}

wine_bench() {
  local target=$1 build=${PAKWERK_BUILD_DIR:-build/$windows_preset} status=0
  shift
  cmake --build "$build" --target "$target" >/dev/null
  wine_user_reaches "$build"
  bash tools/wine-run.sh "$PWD/$build/wineprefix" "$PWD/$build/tests/$target.exe" "$@" ||
    status=$?
  wine_stop "$PWD/$build/wineprefix"
  return $status
}
