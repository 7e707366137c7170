#!/usr/bin/env bash
# Builds Pakwerk and runs it on the bundled example package:
#   bash tools/run-example.sh [--catalogue | --restore]
#
# A private Wine prefix (BUILD/example-prefix) receives a copy of the example
# host folder (a Baukanter installation, example/host) as C:\Baukanter,
# registered there, and a railway simulator 5.0 (patch 1, plug-in 2).
# Pakwerk.exe is copied into a copy of the example package (example/package;
# with --catalogue the catalogue variant example/catalogue lies over it) at
# C:\Pakete\Bahnhof Gruenwald and started there.
#
# With a reachable X display ($DISPLAY) the installer's window opens for you
# to click. Without one, it runs on a private virtual display and is driven
# as a user would (Install, then OK to each message; in catalogue mode the
# package "Signale und Schilder" is chosen), with screenshots.
# Either way the script then prints what changed in the host folder. With
# --restore it then takes the package out again with the restore program
# that the installation placed into the restore folder from Pakwerk.exe
# (pakundo.exe --restore, on the run's restore point) and prints whether the
# host folder is as before and the uninstall entry gone.
#
# Environment: PAKWERK_BUILD_DIR, the build folder BUILD (default
# build/windows, or build/windows-x64 on a machine that runs no 32-bit code:
# tools/wine-env.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

mode=single
restore=0
case "${1:-}" in
  "") ;;
  --catalogue) mode=catalogue ;;
  --restore) restore=1 ;;
  *) echo "usage: bash tools/run-example.sh [--catalogue | --restore]" >&2; exit 2 ;;
esac

bash tools/setup.sh
. tools/wine-env.sh
build=${PAKWERK_BUILD_DIR:-build/$windows_preset}
cmake --preset "$windows_preset" -B "$build" >/dev/null
cmake --build "$build" --target Pakwerk pakauto pakwerk_menuprobe

source tests/e2e/scene.sh
scene_init "$build" example
trap scene_stop EXIT

echo "== preparing the example (Wine prefix $SCENE_PREFIX)"
scene_prepare "$mode"
echo "host folder:    $SCENE_HOST ($SCENE_HOST_WINDOWS in Wine)"
echo "package folder: $SCENE_PACKAGE ($SCENE_PACKAGE_WINDOWS in Wine)"

interactive=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  interactive=1
  # Wine runs as another user, who needs the display's key to use it.
  if [ -n "$SCENE_USER" ]; then
    cookie=${XAUTHORITY:-$HOME/.Xauthority}
    if [ -r "$cookie" ]; then
      cp "$cookie" "$SCENE_WORK/xauthority"
      chown "$SCENE_USER" "$SCENE_WORK/xauthority"
      chmod 600 "$SCENE_WORK/xauthority"
      export XAUTHORITY=$SCENE_WORK/xauthority
    fi
  fi
fi

if [ $interactive -eq 1 ]; then
  echo "== Pakwerk is open on $DISPLAY: install, then close it"
  scene_start
  while ! scene_wait_end 3600; do :; done
else
  shots=$SCENE_BUILD/example-screenshots
  rm -rf "$shots"
  mkdir -p "$shots"
  scene_xvfb
  echo "== no display: Pakwerk runs on the virtual display $DISPLAY, driven by pakauto"
  scene_start
  if [ "$mode" = catalogue ]; then
    scene_auto wait selection >/dev/null
    scene_shot "$shots/1-selection.png" selection
    scene_auto select 4
    scene_auto press selection 1
  else
    scene_auto wait install >/dev/null
    scene_shot "$shots/1-install.png" install
    scene_auto press install 1
  fi
  scene_auto wait message >/dev/null
  scene_shot "$shots/2-result.png" message
  echo "-- every message, as answered:"
  scene_auto answer-all
  scene_wait_end 30 || { echo "Pakwerk did not end"; exit 1; }
  echo "screenshots:    $shots"
fi

echo "== what changed in the host folder"
bash tests/e2e/host-changes.sh "$SCENE_WORK/host-before" "$SCENE_HOST"

if [ $restore -eq 1 ]; then
  # Placed there by the installation: the package folder holds Pakwerk.exe
  # alone.
  undo='C:\ProgramData\Pakwerk\Restore\pakundo.exe'
  # The newest restore point is this run's.
  point=$(scene_wine "$undo" --list | tr -d '\r' | head -n 1) || point=
  id=${point%% *}
  [ -n "$id" ] || { echo "no restore point was recorded"; exit 1; }
  uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  entry=$(scene_wine reg query "$uninstall" /reg:32 | tr -d '\r' | grep -F '\Pakwerk ' |
          head -n 1) || entry=
  [ -n "$entry" ] || { echo "no entry under installed programs"; exit 1; }
  echo "== the entry under installed programs"
  scene_wine reg query "$entry" /reg:32 | tr -d '\r' | sed -n 's/^    //p'
  echo "== restoring with $undo: $point"
  # What it reports; whether it restored everything shows below.
  scene_wine "$undo" --restore "$id" | tr -d '\r' || true
  echo "== the host folder now"
  if diff -r "$SCENE_WORK/host-before" "$SCENE_HOST" >/dev/null; then
    echo "the host folder is as before"
    if scene_wine reg query "$entry" /reg:32 >/dev/null 2>&1; then
      echo "the entry under installed programs is still there"; exit 1
    fi
    echo "the entry under installed programs is gone"
  else
    bash tests/e2e/host-changes.sh "$SCENE_WORK/host-before" "$SCENE_HOST"
    exit 1
  fi
fi
