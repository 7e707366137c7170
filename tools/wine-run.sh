#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix:
#   tools/wine-run.sh [--win64] PREFIX PROGRAM [ARGUMENTS...]
# The prefix (32-bit, no window manager) is created on first use; with
# --win64 it is a 64-bit prefix run by Wine's 64-bit loader alone, for the
# x86-64 build on machines that run no 32-bit code. Started as
# root, the program runs as the unprivileged user "pakwerk": root ignores
# read-only files, so tests of write-protected files would prove nothing.
# Wine's output goes through a file, never a pipe: Wine's background processes
# inherit the pipe and keep it open long after the program has ended.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
arch=win32
# Where no 32-bit code runs, only a 64-bit prefix can work.
[ "$windows_preset" = windows-x64 ] && arch=win64
if [ "${1:-}" = --win64 ]; then
  arch=win64
  shift
fi
prefix=$1
shift

mkdir -p "$(dirname "$prefix")"
wine_user_reaches "$(dirname "$prefix")"
user=$wine_user

as_user() {
  if [ -n "$user" ]; then
    runuser -u "$user" -- env HOME="$(getent passwd "$user" | cut -d: -f6)" USER="$user" "$@"
  else
    "$@"
  fi
}

export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=${WINEDEBUG:--all}
# Debian's "wine" starts the 32-bit loader whenever it is installed, even
# where the kernel cannot run it: a 64-bit prefix names the 64-bit one.
wine=wine
if [ "$arch" = win64 ]; then
  wine=/usr/lib/wine/wine64
  export WINELOADER=$wine
fi
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"

# The first program to need the prefix creates it; the others wait for it.
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/.ready" ]; then
  rm -rf "$prefix"
  mkdir -p "$prefix"
  if [ -n "$user" ]; then chown "$user" "$prefix" "$prefix.lock"; fi
  as_user "$wine" wineboot -i >/dev/null 2>&1 </dev/null || true
  as_user "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    >/dev/null 2>&1 </dev/null || true
  as_user wineserver -w
  touch "$prefix/.ready"
fi
flock -u 9
exec 9>&-

# A program that connects just as the prefix's previous wine server shuts down
# fails before any of its code runs: "wine client error:0: ..." (thread 0:
# the process was never set up). It is started once more when that server has
# gone.
out=$(mktemp)
chmod 666 "$out"
for attempt in 1 2; do
  rc=0
  as_user "$wine" "$@" >"$out" 2>&1 </dev/null || rc=$?
  if [ $rc -ne 0 ] && [ $attempt -eq 1 ] && grep -q '^wine client error:0: ' "$out"; then
    echo "wine-run.sh: Wine's server was shutting down as $(basename "$1") started; starting it again" >&2
    as_user wineserver -w || true
    continue
  fi
  break
done
cat "$out"
rm -f "$out"
exit $rc
