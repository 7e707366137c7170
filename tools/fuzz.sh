#!/usr/bin/env bash
# Builds the fuzz preset and fuzzes every target of build/fuzz/fuzzers.list
# for SECONDS each (default 600), JOBS targets at a time (default: one per
# core). Each target keeps a growing corpus in build/fuzz/corpus/NAME,
# started from its committed seeds, and uses its dictionary. Findings (the
# inputs that crashed or broke a check) land in build/fuzz/findings/NAME.
# Prints per target the inputs run, inputs per second (of wall-clock and of
# CPU time), coverage (cov: edges, ft: features, from libFuzzer's final
# stats) and the findings; exits 1 when there is a finding.
#
#   tools/fuzz.sh [SECONDS [TARGET...]]    JOBS=1 tools/fuzz.sh 60 textfile_fuzzer
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift $(($# > 0 ? 1 : 0))
only=" $* "
jobs=${JOBS:-$(nproc)}
case $seconds in ''|*[!0-9]*) echo "usage: tools/fuzz.sh [SECONDS [TARGET...]]" >&2; exit 2 ;; esac

cmake --preset fuzz >/dev/null && cmake --build --preset fuzz >/dev/null || {
  echo "fuzz build failed" >&2; exit 1; }

out=build/fuzz
mkdir -p "$out/corpus" "$out/findings" "$out/logs"

run_one() {
  local fuzzer=$1 seeds=$2 dict=$3 name
  name=$(basename "$fuzzer")
  mkdir -p "$out/corpus/$name" "$out/findings/$name"
  local args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
              -artifact_prefix="$out/findings/$name/")
  if [ "$dict" != - ]; then args+=(-dict="$dict"); fi
  # The CPU time too: on a shared machine inputs per CPU second say more
  # about a target's speed than inputs per second. A target that finds
  # something stops with an error; the findings are counted below.
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -o "$out/logs/$name.cpu" -f '%U %S' \
      "$fuzzer" "${args[@]}" "$out/corpus/$name" "$seeds" >"$out/logs/$name.log" 2>&1 || true
  else
    "$fuzzer" "${args[@]}" "$out/corpus/$name" "$seeds" >"$out/logs/$name.log" 2>&1 || true
  fi
}

targets=()
while read -r fuzzer seeds dict; do
  [ -n "$fuzzer" ] || continue
  [ "$only" = "  " ] || [[ $only == *" $(basename "$fuzzer") "* ]] || continue
  targets+=("$fuzzer")
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  echo "fuzzing $(basename "$fuzzer") for $seconds s"
  run_one "$fuzzer" "$seeds" "${dict:--}" &
done < "$out/fuzzers.list"
wait || true

status=0
printf '\n%-28s %12s %8s %10s %7s %8s  %s\n' target inputs exec/s exec/cpu-s cov ft findings
for fuzzer in "${targets[@]}"; do
  name=$(basename "$fuzzer")
  log=$out/logs/$name.log
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -n 1 | cut -d' ' -f2 || true)
  ft=$(grep -oE 'ft: [0-9]+' "$log" | tail -n 1 | cut -d' ' -f2 || true)
  perCpu=?
  if [ -s "$out/logs/$name.cpu" ] && [ -n "$runs" ]; then
    perCpu=$(awk -v runs="$runs" 'NR == 1 && $1 + $2 > 0 { printf "%d", runs / ($1 + $2) }' \
      "$out/logs/$name.cpu")
  fi
  found=$(find "$out/findings/$name" -type f | wc -l)
  if [ "$found" -gt 0 ]; then status=1; fi
  printf '%-28s %12s %8s %10s %7s %8s  %s\n' "$name" "${runs:-?}" "${speed:-?}" "${perCpu:-?}" \
    "${cov:-?}" "${ft:-?}" "$found"
  if [ "$found" -gt 0 ]; then
    find "$out/findings/$name" -type f | sed 's/^/    /'
    grep -m 3 -E 'ERROR|fuzzer: |runtime error' "$log" | sed 's/^/    /' || true
  fi
done
exit $status
