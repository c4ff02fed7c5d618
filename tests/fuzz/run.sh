#!/usr/bin/env bash
# Runs every fuzzer of a TARNWICK_FUZZ build over its seed corpus and its
# regression inputs, then fuzzes each for a while, and prints executions and
# coverage per harness. Any crash, leak or failed invariant fails the run.
#
#   tests/fuzz/run.sh BUILD_DIR [SECONDS_EACH]     (default 30 seconds)
#
# New inputs found while fuzzing go to BUILD_DIR/fuzz-corpus, never into the
# tree; copy the useful ones into corpus/ by hand.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
seconds=${2:-30}
harnesses=(png obj mod font sheet map)

# The harnesses hand the loaders their input as a file: keep it in memory.
[ -w /dev/shm ] && export TMPDIR=/dev/shm
# The harnesses' own sanitizer settings, whatever a test run set before.
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
unset LSAN_OPTIONS
# No single allocation may come near what the loaders' limits allow.
common=(-malloc_limit_mb=600 -rss_limit_mb=2048 -timeout=25 -print_final_stats=1)
summary=()

for harness in "${harnesses[@]}"; do
  fuzzer=$build/fuzz/${harness}_fuzzer
  seeds=("$here/corpus/$harness")
  [ -d "$here/regressions/$harness" ] && seeds+=("$here/regressions/$harness")
  log=$build/fuzz-$harness.log

  echo "== $harness: the corpus and regression inputs once"
  "$fuzzer" "${common[@]}" -runs=0 "${seeds[@]}" >"$log" 2>&1 || { cat "$log"; exit 1; }
  grep -E '(INITED|DONE) ' "$log" | tail -n 1

  echo "== $harness: fuzzing for $seconds s"
  work=$build/fuzz-corpus/$harness
  mkdir -p "$work"
  "$fuzzer" "${common[@]}" -max_total_time="$seconds" -dict="$here/dict/$harness.dict" \
    -artifact_prefix="$build/fuzz-$harness-" "$work" "${seeds[@]}" >"$log" 2>&1 ||
    { tail -n 60 "$log"; exit 1; }
  runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$')
  cov=$(grep -oE '(DONE|INITED) +cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+')
  echo "$harness: $runs executions, $cov"
  summary+=("$(printf '%-6s %10s executions   %s' "$harness" "$runs" "$cov")")
done

echo "== Fuzzing summary ($seconds s each; cov = edges reached, ft = features)"
printf '%s\n' "${summary[@]}"
