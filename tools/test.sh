#!/usr/bin/env bash
# Runs every test: the include check between the layers, the builds (warnings
# are errors), the style and clang-tidy check, the portable libraries natively
# under AddressSanitizer and UndefinedBehaviorSanitizer, each fuzz target for
# a short bounded time, and the Windows build under Wine (as an unprivileged
# user, with a virtual X display for the windows and message boxes). Installs
# what it needs first.
#
# The order keeps both cores busy from start to end:
#   1. the three builds are configured first; then the style check and
#      clang-tidy start in the background, two processes at a time at a lower
#      priority (nice): they need only the compile commands and the one
#      generated source, made before them, and take what the rest leaves;
#   2. the Windows build the tests run from (build/windows, or on a machine
#      that runs no 32-bit code the x86-64 build of the same code:
#      tools/wine-env.sh). Test sources compile unoptimised (-O0), in the
#      x86-64 build with windows.h and gtest/gtest.h precompiled once, the
#      shipped programs and the libraries with -O2 -g (cmake/Pakwerk.cmake);
#   3. the Windows tests under Wine start in the background, one at a time
#      (the end-to-end tests share the display and the prefix): they wait for
#      Wine and its windows far more than they compute, so everything that
#      follows runs beside them at a lower priority (nice), and their output
#      comes when they are done;
#   4. (on a machine that runs no 32-bit code the 32-bit build is only
#      configured: clang-tidy compiles every Windows source for 32 bits with
#      the compiler's warnings as errors, and the x86-64 build is signed);
#   5. the native build of the test programs only (target test_programs):
#      the libraries -O2 with line tables (-g1, the native preset), the test
#      sources -O0 -g1; the sanitizers report file and line;
#   6. the fuzz targets' build (preset fuzz-smoke: unoptimised, built in a
#      third of the optimised build's time), the native tests two at a time,
#      then the fuzz targets two at a time, each for FUZZ_SECONDS (5 s: a
#      smoke run from the committed seeds; tools/fuzz.sh fuzzes the
#      optimised build for as long as asked);
#   7. once the Windows tests are done, signing (a few seconds): the built
#      programs are signed in place by tools/sign.sh with a throwaway
#      self-signed certificate made on the spot (Pakwerk.exe built again
#      around the signed restore program it carries), the signatures verified
#      against it, and a signed program run under Wine (on a machine that
#      runs no 32-bit code, the x86-64 build's pakundo.exe);
#   8. the end waits for the lint (usually done by then) and shows its output.
#   clang-tidy runs without the static analyser (tools/lint.sh --quick), which
#   took most of the lint's CPU time; `bash tools/lint.sh` runs it too.
# Each step ends with the CPU seconds (user + system) and the wall seconds it
# took; the lint and the fuzzing in the background report their own (their
# CPU also counts in the step during which they end).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash tools/setup.sh || exit 1
. tools/wine-env.sh

# Each fuzz target runs that long from its committed seeds, two at a time.
FUZZ_SECONDS=${FUZZ_SECONDS:-5}
status=0

# Sets `cpu` to the CPU seconds (user + system) of this shell's finished
# children so far; `times` must run in this shell, not in a subshell.
times_file=$(mktemp)
cpu_now() {
  times >"$times_file"
  cpu=$(awk 'NR == 2 { for (i = 1; i <= 2; ++i) { split($i, t, /[ms]/); s += t[1] * 60 + t[2] }
                       printf "%.1f", s }' "$times_file")
}
cpu=0
step_cpu=0
step_wall=$SECONDS
step_name=
end_step() {
  cpu_now
  if [ -n "$step_name" ]; then
    echo "==== $step_name: $(awk -v a="$cpu" -v b="$step_cpu" 'BEGIN { printf "%.1f", a - b }')" \
         "CPU s, $((SECONDS - step_wall)) s"
  fi
  step_cpu=$cpu
  step_wall=$SECONDS
  step_name=
}
step() { end_step; step_name=$*; echo; echo "==== $*"; }

step "includes between the layers"
python3 tools/check-layers.py || exit 1

step "configure the builds, start the lint"
cmake --preset native >/dev/null || exit 1
cmake --preset windows >/dev/null || exit 1
if [ "$windows_preset" != windows ]; then
  echo "note: this machine runs no 32-bit code: the Windows tests run on the $windows_preset build"
  cmake --preset "$windows_preset" >/dev/null || exit 1
fi
fuzz_ready=0
if command -v clang++ >/dev/null; then
  # The fuzz preset for clang-tidy's compile commands; the unoptimised
  # fuzz-smoke build is what runs.
  if cmake --preset fuzz >/dev/null && cmake --preset fuzz-smoke >/dev/null; then
    fuzz_ready=1
  else
    echo "fuzz configure failed"; status=1
  fi
else
  echo "clang not found: fuzzing skipped"
fi
# The installer texts are the one source file the build generates; clang-tidy
# reads it.
cmake --build --preset native --target package/generated/InstallerTexts.inc >/dev/null || exit 1

# The style check and clang-tidy need only the configured builds: they run in
# the background beside the builds, the tests and the fuzzing, at a lower
# priority than the builds; their output comes at the end.
# In a process group of its own (job control on for that one start): when a
# build fails, the exit ends it with everything it started (stop_background).
# Not in a session of its own: the kernel would give a new session a share
# of the processor equal to the builds' whatever its nice value.
lint_log=$(mktemp)
set -m
TIMEFORMAT='-- style and clang-tidy took %U + %S CPU s, %R s' \
  bash -c 'time LINT_JOBS=2 nice -n 10 bash tools/lint.sh --format --tidy --quick' >"$lint_log" 2>&1 &
lint_pid=$!
set +m
fuzz_pid=
stop_background() {
  if kill -0 "$lint_pid" 2>/dev/null; then kill -- -"$lint_pid" 2>/dev/null || true; fi
}
trap stop_background EXIT

step "windows build (for the Windows tests)"
if [ "$windows_preset" = windows ]; then
  cmake --build --preset windows || exit 1
else
  cmake --build --preset "$windows_preset" || exit 1
fi

# A private X display for the Windows tests (message boxes and dialogs need
# one), and the unprivileged user they run as (tools/wine-run.sh), who must
# reach the build folder.
wine_display || exit 1
cleanup() {
  if [ -n "${windows_pid:-}" ]; then kill "$windows_pid" 2>/dev/null || true; fi
  wine_stop "$root/build/$windows_preset/wineprefix"
  wine_display_stop
  stop_background
}
trap cleanup EXIT
wine_user_reaches "$root/build/$windows_preset"

# The Windows tests wait for Wine and its windows far more than they compute:
# they run in the background at normal priority while the other builds, the
# native tests and the fuzzing take the processor at a lower one (nice).
step "windows tests start (under Wine, beside the steps that follow)"
windows_log=$(mktemp)
windows_status=$(mktemp)
(
  TIMEFORMAT='-- the windows tests took %R s'
  time {
    windows_rc=0
    ctest --preset "$windows_preset" || windows_rc=$?
    echo $windows_rc >"$windows_status"
  }
) >"$windows_log" 2>&1 &
windows_pid=$!

step "native build (the test programs)"
nice -n 10 cmake --build --preset native --target test_programs || exit 1

# Runs the fuzz targets of lines $1, $1 + 2, ... (from 0) of fuzzers.list for
# FUZZ_SECONDS each, one after the other, each on a scratch copy of its seeds;
# exits 1 when a target failed.
fuzz_half() {
  local failed=0 line=0
  while read -r fuzzer corpus dict; do
    [ -n "$fuzzer" ] || continue
    line=$((line + 1))
    [ $(((line - 1) % 2)) -eq "$1" ] || continue
    work=$(mktemp -d)
    cp -r "$corpus"/. "$work"/ 2>/dev/null || true
    dictionary=()
    if [ -n "${dict:-}" ] && [ "$dict" != - ]; then dictionary=(-dict="$dict"); fi
    echo "-- $(basename "$fuzzer")"
    if ! nice -n 10 "$fuzzer" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 \
         "${dictionary[@]}" -print_final_stats=0 "$work" >"$work.log" 2>&1; then
      tail -n 60 "$work.log"
      echo "FUZZ FAILED: $(basename "$fuzzer")"
      failed=1
    else
      grep -E '^(#[0-9]+ +DONE|Done)' "$work.log" | tail -n 1 || true
    fi
    rm -rf "$work" "$work.log"
  done < build/fuzz-smoke/fuzzers.list
  return $failed
}

# Runs every fuzz target for FUZZ_SECONDS, two at a time; exits 1 when a
# target failed.
fuzz_all() {
  local first second failed=0
  first=$(mktemp); second=$(mktemp)
  fuzz_half 0 >"$first" 2>&1 &
  local pid=$!
  fuzz_half 1 >"$second" 2>&1 || failed=1
  wait "$pid" || failed=1
  cat "$first" "$second"
  rm -f "$first" "$second"
  return $failed
}

step "fuzz build"
if [ $fuzz_ready -eq 1 ]; then
  if ! nice -n 10 cmake --build --preset fuzz-smoke; then
    echo "fuzz build failed"; status=1; fuzz_ready=0
  fi
fi

# The native tests get a temporary folder of their own, which they must leave
# empty: every file a test makes lies in its scratch folder
# (tests/support/TestFiles.h), gone when the test ends.
step "native tests"
native_temporary=$(mktemp -d)
TMPDIR=$native_temporary TEST_TMPDIR=$native_temporary nice -n 10 ctest --preset native -j2 ||
  status=1
if [ -n "$(ls -A "$native_temporary")" ]; then
  echo "NATIVE TESTS LEFT FILES IN THEIR TEMPORARY FOLDER:"
  ls -A "$native_temporary" | head -n 20 || true
  status=1
fi
rm -rf "$native_temporary"

# The fuzzing runs beside the end of the Windows tests (see the top).
fuzz_log=$(mktemp)
if [ $fuzz_ready -eq 1 ]; then
  (
    TIMEFORMAT='-- fuzzing took %U + %S CPU s, %R s'
    time fuzz_all
  ) >"$fuzz_log" 2>&1 &
  fuzz_pid=$!
fi

step "windows tests (ran beside the builds, the native tests and the fuzzing)"
wait "$windows_pid" || true
cat "$windows_log"
[ "$(cat "$windows_status")" = 0 ] || status=1
rm -f "$windows_log" "$windows_status"

# Signs the shipped programs with a throwaway certificate, in the build
# folders themselves (tools/sign.sh builds Pakwerk.exe again around the signed
# restore program), checks the signatures (SHA-256, made by that
# certificate), that Pakwerk.exe carries exactly the signed restore program,
# and that a signed program still starts and does its work; exits 1 when
# something failed. The build this machine runs is signed and verified
# (build/$windows_preset: where no 32-bit code runs, the x86-64 build).
sign_check() {
  local work failed=0 name build
  work=$(mktemp -d)
  chmod 755 "$work"
  if ! openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Pakwerk test publisher" \
         -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" \
         >/dev/null 2>&1 ||
     ! openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout pass:throwaway \
         -out "$work/publisher.pfx" >/dev/null 2>&1; then
    echo "cannot make a test certificate"; rm -rf "$work"; return 1
  fi
  # An empty restore store the restore program trusts: its two folders
  # belong to the user that runs it and only that user may change them.
  mkdir -p "$work/store/Pakwerk/Restore"
  chmod 755 "$work/store" "$work/store/Pakwerk" "$work/store/Pakwerk/Restore"
  if [ -n "$wine_user" ]; then
    chown "$wine_user" "$work/store" "$work/store/Pakwerk" "$work/store/Pakwerk/Restore"
  fi
  for build in "$windows_preset"; do
    [ -f "build/$build/Pakwerk.exe" ] || continue
    bash tools/sign.sh --folder "build/$build" "$work/publisher.pfx" throwaway || failed=1
    for name in Pakwerk.exe pakundo.exe; do
      if osslsigncode verify -in "build/$build/$name" -CAfile "$work/cert.pem" \
           >"$work/verify.log" 2>&1 &&
         grep -q 'Message digest algorithm *: SHA256' "$work/verify.log"; then
        echo "verified build/$build/$name"
      else
        cat "$work/verify.log"; echo "SIGNATURE NOT VERIFIED: build/$build/$name"
        failed=1
      fi
    done
    if python3 -c 'import sys; sys.exit(open(sys.argv[2], "rb").read() not in open(sys.argv[1], "rb").read())' \
         "build/$build/Pakwerk.exe" "build/$build/pakundo.exe"; then
      echo "build/$build/Pakwerk.exe carries the signed restore program"
    else
      echo "PAKWERK.EXE DOES NOT CARRY THE SIGNED RESTORE PROGRAM: build/$build"; failed=1
    fi
  done
  # The restore program lists the restore points of an empty store: none.
  local empty="Z:${work//\//\\}\\store\\Pakwerk\\Restore"
  if tools/wine-run.sh "$root/build/$windows_preset/wineprefix" \
       "$root/build/$windows_preset/pakundo.exe" --list --root "$empty"; then
    echo "ran the signed build/$windows_preset/pakundo.exe under Wine"
  else
    echo "THE SIGNED PROGRAM DID NOT RUN"; failed=1
  fi
  rm -rf "$work"
  return $failed
}

step "signing (the built programs, a throwaway certificate)"
sign_check || status=1

step "fuzzing (${FUZZ_SECONDS} s per target, two at a time, ran beside the Windows tests)"
if [ -n "$fuzz_pid" ]; then
  wait "$fuzz_pid" || status=1
  cat "$fuzz_log"
fi
rm -f "$fuzz_log"

step "style and clang-tidy (ran beside the builds and the tests)"
wait "$lint_pid" || status=1
cat "$lint_log"
rm -f "$lint_log"
end_step
rm -f "$times_file"
exit $status
