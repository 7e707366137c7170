#!/usr/bin/env bash
# Checks the code's style and runs clang-tidy over it:
#   - clang-format --dry-run --Werror on every C++ file of the tree
#     (.clang-format);
#   - clang-tidy (.clang-tidy) with the compile commands of the native build
#     over every file it compiles, and with those of the Windows build over
#     the files only it compiles and the portable files with Win32 parts of
#     their own (`_WIN32`), clang then targeting i686-w64-mingw32 with the
#     mingw C++ headers, and with those of the fuzz build over the fuzz
#     targets.
#   - Every check, the static analyser (clang-analyzer-*) included, runs over
#     the programs' code; with --quick (what the test command runs) every
#     check but the analyser, which takes three quarters or more of
#     clang-tidy's time on a file of the programs (IniDocumentLoad.cpp:
#     5.7 s with it, 1.0 s without). The test code (the GoogleTest files, those
#     with TEST cases or gtest/gtest.h, and every file in a tests/ or fuzz/
#     folder) gets the naming check and the compiler's warnings: the code it
#     calls is checked as the programs' code, and it runs under the
#     sanitizers; the bugprone and performance checks would cost about half
#     of its time.
#   - The analyser treats calls into the C++ standard library as opaque
#     (c++-stdlib-inlining=false): our own functions are inlined as usual,
#     the library's templates are not followed.
# The builds must be configured first (cmake --preset native, windows, fuzz);
# a build folder that is missing is skipped with a note. The benchmarks are
# checked when the native build was configured with them.
#
#   tools/lint.sh [--format] [--tidy] [--quick]   (neither --format nor --tidy: both)
#
# Exit status 0 when everything is clean, 1 otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${LINT_JOBS:-2}

format=0; tidy=0; code_checks=""
for arg in "$@"; do
  case $arg in
    --format) format=1 ;;
    --tidy) tidy=1 ;;
    --quick) code_checks="-clang-analyzer-*" ;;
    *) echo "usage: tools/lint.sh [--format] [--tidy] [--quick]" >&2; exit 2 ;;
  esac
done
if [ $format -eq 0 ] && [ $tidy -eq 0 ]; then format=1; tidy=1; fi
status=0

if [ $format -eq 1 ]; then
  echo "-- clang-format"
  mapfile -t sources < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h' |
                         while read -r f; do [ -f "$f" ] && echo "$f"; done)
  if ! clang-format --dry-run --Werror "${sources[@]}"; then
    changed=0
    for f in "${sources[@]}"; do
      clang-format "$f" | cmp -s - "$f" || changed=$((changed + 1))
    done
    echo "clang-format: $changed of ${#sources[@]} files are not formatted (clang-format -i FILE)"
    status=1
  fi
fi

# Writes into $2 a compile database with one command per source file of the
# tree from build folder $1 (the libraries' uninstrumented copies compile the
# same files again; GoogleTest is not ours), only of files whose path matches
# the regular expression $3 when given, and without the files of the database
# in folder $4 that have no Win32 part (checked once is enough). $5 chooses
# the test code (tests: files with TEST cases or gtest/gtest.h, and the files
# of tests/ and fuzz/ folders) or all others (code); empty: all files.
own_commands() {
  python3 - "$1" "$2" "$root" "${3:-}" "${4:-}" "${5:-}" <<'EOF'
import json, os, re, sys
source, target, root, only, checked, part = sys.argv[1:]
def paths(folder):
    return {os.path.normpath(os.path.join(e["directory"], e["file"]))
            for e in json.load(open(os.path.join(folder, "compile_commands.json")))}
portable = paths(checked) if checked else set()
seen, kept = set(), []
for entry in json.load(open(os.path.join(source, "compile_commands.json"))):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    if not path.startswith(root + "/") or path.startswith(root + "/build/") or path in seen:
        continue
    if not path.endswith((".cpp", ".c")):
        continue  # resource scripts are not C++
    if only and not re.search(only, path):
        continue
    if part:
        text = open(path, encoding="latin-1").read()
        test = ("gtest/gtest.h" in text or re.search(r"^TEST(_F|_P)?\(", text, re.M) or
                re.search(r"/(tests|fuzz)/", "/" + os.path.relpath(path, root)))
        if bool(test) != (part == "tests"):
            continue
    if path in portable and "_WIN32" not in open(path, encoding="latin-1").read():
        continue
    seen.add(path)
    kept.append(entry)
os.makedirs(target, exist_ok=True)
json.dump(kept, open(os.path.join(target, "compile_commands.json"), "w"), indent=1)
print(len(kept))
EOF
}

# Runs clang-tidy over every file of compile database folder $1, with the
# checks of .clang-tidy changed by $2 (empty: as they are) and the extra
# compiler arguments that follow; fails on any finding (WarningsAsErrors).
# Each clang-tidy process checks a share of the files, $jobs processes at a
# time: starting clang-tidy costs about a third of what it takes to check a
# file, so one process per file would spend that much again.
tidy_all() {
  local database=$1 checks=$2; shift 2
  local extra=(-extra-arg=-Xclang -extra-arg=-analyzer-config
               -extra-arg=-Xclang -extra-arg=c++-stdlib-inlining=false)
  if [ -n "$checks" ]; then extra+=("-checks=$checks"); fi
  for arg in "$@"; do extra+=("-extra-arg=$arg"); done
  local files share status=0
  mapfile -t files < <(python3 -c 'import json, sys
for e in json.load(open(sys.argv[1])): print(e["file"])' "$database/compile_commands.json")
  [ ${#files[@]} -gt 0 ] || return 0
  # Three shares per process slot evens out files of unequal cost.
  share=$(((${#files[@]} + jobs * 3 - 1) / (jobs * 3)))
  rm -f "$database"/tidy.*.log
  printf '%s\n' "${files[@]}" |
    xargs -d '\n' -n "$share" -P "$jobs" bash -c \
      'exec clang-tidy -quiet "$@" >"$(mktemp "$0/tidy.XXXXXX.log")" 2>&1' \
      "$database" -p "$database" "${extra[@]}" || status=1
  # Only the findings: no colours or summaries. (After a file with a finding,
  # clang-tidy says "Error while processing" of every later file of its share
  # too: the findings themselves name their files.)
  cat "$database"/tidy.*.log | sed 's/\x1b\[[0-9;]*m//g' |
    grep -vE '^([0-9]+ warnings? (and [0-9]+ errors? )?generated|Suppressed [0-9]+ warnings|Use -header-filter|[0-9]+ warnings? treated as errors?|Error while processing )' |
    grep -v '^$' || true
  return $status
}

# Runs the passes of one build over compile database folder $1 (made from
# build folder $2, only files matching $3, without the portable files of build
# folder $4): the programs' code with every check (with --quick without the
# static analyser), the test code with the naming check alone. The extra
# arguments go to clang-tidy.
tidy_build() {
  local lint=$1 build=$2 only=$3 checked=$4; shift 4
  local code tests
  code=$(own_commands "$build" "$lint/code" "$only" "$checked" code)
  tests=$(own_commands "$build" "$lint/tests" "$only" "$checked" tests)
  echo "-- clang-tidy, $(basename "$lint") build ($code files, $tests test files)"
  local failed=0
  if [ "$code" -gt 0 ]; then
    tidy_all "$lint/code" "$code_checks" "$@" || failed=1
  fi
  if [ "$tests" -gt 0 ]; then
    tidy_all "$lint/tests" "-clang-analyzer-*,-bugprone-*,-performance-*" "$@" || failed=1
  fi
  return $failed
}

if [ $tidy -eq 1 ]; then
  if [ -f build/native/compile_commands.json ]; then
    tidy_build build/lint/native build/native "" "" || status=1
  else
    echo "-- clang-tidy, native build: not configured (cmake --preset native), skipped"
  fi
  if [ -f build/windows/compile_commands.json ]; then
    native_db=
    [ -f build/native/compile_commands.json ] && native_db=build/native
    # clang finds mingw's C headers by itself, but not the C++ library of the
    # posix-threads compiler the build uses.
    cxx=/usr/lib/gcc/i686-w64-mingw32/$(i686-w64-mingw32-g++-posix -dumpversion)/include/c++
    tidy_build build/lint/windows build/windows "" "$native_db" --target=i686-w64-mingw32 \
      "-isystem$cxx" "-isystem$cxx/i686-w64-mingw32" "-isystem$cxx/backward" || status=1
  else
    echo "-- clang-tidy, windows build: not configured (cmake --preset windows), skipped"
  fi
  if [ -f build/fuzz/compile_commands.json ]; then
    tidy_build build/lint/fuzz build/fuzz '/fuzz/' "" || status=1
  else
    echo "-- clang-tidy, fuzz targets: not configured (cmake --preset fuzz), skipped"
  fi
fi
exit $status
