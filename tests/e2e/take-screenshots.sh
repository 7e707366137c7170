#!/usr/bin/env bash
# Takes the screenshots shown in the README (docs/screenshots/) of the
# installer on the example package, in German, English, French and Polish:
#   bash tests/e2e/take-screenshots.sh [BUILD_DIR]
# BUILD_DIR (default: the build this machine runs, tools/wine-env.sh)
# must hold a Windows build with Pakwerk.exe, pakundo.exe and
# tests/pakauto.exe. Runs on a private virtual display.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tests/e2e/scene.sh
source tools/wine-env.sh
scene_init "${1:-build/$windows_preset}" screenshots
out=docs/screenshots
mkdir -p "$out"
trap scene_stop EXIT
scene_xvfb
# Each language is set through LC_ALL, which Wine follows; the shell itself
# lacks those locales and says so on every start.
exec 2> >(grep -v --line-buffered 'setlocale: LC_ALL' >&2)

quiet() { "$@" >/dev/null; }

for locale in de_DE en_US fr_FR pl_PL; do
  export LC_ALL=$locale
  lang=${locale%%_*}
  echo "== $locale"

  # Catalogue mode: the selection, its about box and a refusal.
  scene_prepare catalogue
  scene_start
  quiet scene_auto wait selection
  scene_shot "$out/$lang-selection.png" selection
  quiet scene_auto about selection
  quiet scene_auto wait about
  scene_shot "$out/$lang-about.png" about
  quiet scene_auto press about 1
  quiet scene_auto gone about
  if [ "$lang" = de ]; then
    quiet scene_auto select 3
    quiet scene_auto press selection 1
    quiet scene_auto wait message
    scene_shot "$out/$lang-refusal.png" message
    quiet scene_auto press message 1
    quiet scene_auto wait selection
  fi
  quiet scene_auto press selection 2
  scene_wait_end 30

  # Single-package mode: the install dialog and its result.
  scene_prepare single
  scene_start
  quiet scene_auto wait install
  scene_shot "$out/$lang-install.png" install
  quiet scene_auto press install 1
  quiet scene_auto wait message
  scene_shot "$out/$lang-success.png" message
  quiet scene_auto answer-all
  scene_wait_end 30

  # The restore program with the restore points of the two runs above.
  # It opens on the newest, with what restoring it would do below the list.
  (exec tools/wine-run.sh "$SCENE_PREFIX" "$SCENE_BUILD/pakundo.exe" >/dev/null 2>&1 </dev/null) &
  undo_pid=$!
  quiet scene_auto wait restore
  scene_shot "$out/$lang-restore.png" restore
  scene_wine taskkill /f /im pakundo.exe >/dev/null 2>&1 || true
  wait "$undo_pid" 2>/dev/null || true

  # The question before a newer file is replaced.
  if [ "$lang" = de ]; then
    scene_prepare single
    touch -d 2030-01-01 "$SCENE_HOST/Resourcen/Modelle/Gebaeude/Stellwerk.3dm"
    scene_start
    quiet scene_auto wait install
    quiet scene_auto press install 1
    quiet scene_auto wait message
    scene_shot "$out/$lang-question.png" message
    quiet scene_auto answer-all
    scene_wait_end 30
  fi
done
scene_stop
rm -rf "$SCENE_WORK" "$SCENE_PREFIX"
ls -l "$out"
