# Shell functions that set up the installer on the example package in a
# private Wine prefix and drive it with pakauto. Sourced by
# tools/run-example.sh and tests/e2e/take-screenshots.sh:
#
#   scene_init BUILD_DIR NAME   prefix BUILD_DIR/NAME-prefix, logs and the
#                               host's first state in BUILD_DIR/NAME
#   scene_prepare single|catalogue
#                               fresh copies of the example host (C:\Baukanter,
#                               registered) and package with Pakwerk.exe
#                               alone, as delivered
#                               (C:\Pakete\Bahnhof Gruenwald) in the prefix
#   scene_start                 starts Pakwerk.exe in the package folder, in
#                               the background
#   scene_wait_end [SECONDS]    waits until it has ended; 1 when it had not
#   scene_auto ARGS...          runs pakauto (tests/automation/pakauto.cpp)
#   scene_xvfb                  starts a private X display and exports DISPLAY
#   scene_shot FILE [KIND]      screenshot of one window (pakauto kind) or of
#                               the whole display, cropped
#   scene_stop                  ends Wine's background processes and the display
#
# Started as root, Wine runs as the unprivileged user "pakwerk"
# (tools/wine-run.sh); the scratch folders are given to that user.

scene_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$scene_root/tools/wine-env.sh"

scene_init() {
  SCENE_BUILD=$(cd "$1" && pwd)
  SCENE_PREFIX=$SCENE_BUILD/$2-prefix
  SCENE_WORK=$SCENE_BUILD/$2
  SCENE_PAKAUTO=$SCENE_BUILD/tests/pakauto.exe
  SCENE_PROGRAM=$SCENE_BUILD/Pakwerk.exe
  SCENE_HOST=$SCENE_PREFIX/drive_c/Baukanter
  SCENE_HOST_WINDOWS='C:\Baukanter'
  SCENE_PACKAGE="$SCENE_PREFIX/drive_c/Pakete/Bahnhof Gruenwald"
  SCENE_PACKAGE_WINDOWS='C:\Pakete\Bahnhof Gruenwald'
  SCENE_USER=$wine_user
  wine_user_reaches "$SCENE_BUILD"
}

# Runs a Windows program (or wine's reg) in the prefix, quietly.
scene_wine() {
  "$scene_root/tools/wine-run.sh" "$SCENE_PREFIX" "$@"
}

scene_auto() {
  scene_wine "$SCENE_PAKAUTO" "$@" | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

scene_reg() {
  scene_wine reg add "$@" /f >/dev/null || { echo "scene: reg add $* failed" >&2; return 1; }
}

scene_prepare() {
  local mode=$1
  # Registering first also creates the prefix, whose drive C: then receives
  # the host and the package, so that the installer shows short, plain paths.
  scene_reg 'HKLM\Software\Velmar\KANTRA 8.00' /v AppPath /t REG_SZ /d "$SCENE_HOST_WINDOWS" /reg:32 &&
  # A railway simulator 5.0 with patch 1 and plug-in 2.
  scene_reg 'HKCR\Software\Orvana\TRKX' /v VERSION /t REG_DWORD /d 327680 /reg:32 &&
  scene_reg 'HKCR\Software\Orvana\TRKX' /v Patch /t REG_DWORD /d 1 /reg:32 &&
  scene_reg 'HKCR\Software\Orvana\TRKX' /v Plugin /t REG_DWORD /d 2 /reg:32 || return 1
  rm -rf "$SCENE_WORK" "$SCENE_HOST" "$SCENE_PACKAGE"
  mkdir -p "$SCENE_WORK" "$(dirname "$SCENE_PACKAGE")"
  cp -r "$scene_root/example/host" "$SCENE_HOST"
  cp -r "$scene_root/example/package" "$SCENE_PACKAGE"
  [ "$mode" = catalogue ] && cp -r "$scene_root/example/catalogue/." "$SCENE_PACKAGE/"
  cp "$SCENE_PROGRAM" "$SCENE_PACKAGE/Pakwerk.exe"
  # The host's files are older than the package's: they are replaced without
  # a question, as after an earlier version of the package.
  find "$SCENE_HOST" -type f -exec touch -d 2020-01-01 {} +
  find "$SCENE_PACKAGE" -type f -exec touch -d 2024-01-01 {} +
  cp -r "$SCENE_HOST" "$SCENE_WORK/host-before"
  if [ -n "$SCENE_USER" ]; then
    chown -R "$SCENE_USER" "$SCENE_WORK" "$SCENE_HOST" "$(dirname "$SCENE_PACKAGE")"
  fi
}

scene_start() {
  (cd "$SCENE_PACKAGE" && exec "$scene_root/tools/wine-run.sh" "$SCENE_PREFIX" \
     "$SCENE_PACKAGE/Pakwerk.exe" >"$SCENE_WORK/pakwerk.log" 2>&1 </dev/null) &
  SCENE_PROGRAM_PID=$!
}

scene_wait_end() {
  local seconds=${1:-30}
  local i
  for i in $(seq $((seconds * 10))); do
    kill -0 "$SCENE_PROGRAM_PID" 2>/dev/null || { wait "$SCENE_PROGRAM_PID" 2>/dev/null; return 0; }
    sleep 0.1
  done
  return 1
}

scene_xvfb() {
  wine_display || { echo "scene: Xvfb did not start" >&2; return 1; }
}

# ImageMagick's own convert (a wrapper of the same name may come first in PATH).
scene_convert() {
  if [ -x /usr/bin/convert ]; then /usr/bin/convert "$@"; else convert "$@"; fi
}

scene_shot() {
  local file=$1 kind=${2:-} xid=
  if [ -n "$kind" ]; then xid=$(scene_auto xid "$kind" 2>/dev/null | tail -n 1) || xid=; fi
  sleep 0.3  # let the window finish painting
  if [ -n "$xid" ] && import -window "$xid" "$file.tmp.png" 2>/dev/null; then
    :
  else
    import -window root "$file.tmp.png"
  fi
  scene_convert "$file.tmp.png" -trim +repage -strip "$file"
  rm -f "$file.tmp.png"
}

scene_stop() {
  wine_stop "$SCENE_PREFIX"
  wine_display_stop
}
