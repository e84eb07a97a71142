#!/usr/bin/env bash
# tools/fuzz.sh [SECONDS]: builds the `fuzz` preset (clang, libFuzzer, ASan +
# UBSan), makes the seed corpora, and runs every fuzz target for SECONDS
# (default 60). Prints each target's executions, executions per second and
# edge coverage; exits non-zero on any crash, leak, time-out, out-of-memory
# or sanitizer report, with the input saved under build/fuzz/artifacts/.
# FUZZ_PARALLEL=n runs n targets at once (default 1); FUZZ_TARGETS="a b"
# runs only those. The sample recordings seed the corpora from where the
# tests find them (../shared/data beside the checkout, or $ORVANE_SAMPLE_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
parallel=${FUZZ_PARALLEL:-1}
targets=(${FUZZ_TARGETS:-fuzz_frame fuzz_tmats_packet fuzz_tmats_services fuzz_sandral fuzz_stanag_directory
  fuzz_ingest_replies fuzz_export})
root=$PWD
out=$root/build/fuzz

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz-seeds "${targets[@]}"

rm -rf "$out/seeds"
"$out/bin/fuzz-seeds" "$out/seeds" "$root"

# One target: its corpus grows in build/fuzz/corpus/<target>; the seeds and
# the regression inputs are read only.
run_one() {
  local t=$1
  local corpus=$out/corpus/$t artifacts=$out/artifacts/$t/ log=$out/logs/$t.log
  mkdir -p "$corpus" "$artifacts" "$out/logs"
  local dirs=("$corpus" "$out/seeds/$t")
  [ -d "$root/tests/fuzz/regressions/$t" ] && dirs+=("$root/tests/fuzz/regressions/$t")
  local status=0
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
    ORVANE_FUZZ_SCRATCH=/dev/shm \
    "$out/bin/$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$artifacts" "${dirs[@]}" >"$log" 2>&1 || status=$?
  echo "$status" >"$out/logs/$t.status"
}

rm -f "$out"/logs/*.status
running=0
for t in "${targets[@]}"; do
  run_one "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$parallel" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

failed=0
printf '%-24s %12s %10s %8s  %s\n' target executions exec/s edges result
for t in "${targets[@]}"; do
  log=$out/logs/$t.log
  status=$(cat "$out/logs/$t.status" 2>/dev/null || echo 1)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  edges=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  result=clean
  if [ "$status" != 0 ] || grep -q -e 'ERROR: AddressSanitizer' -e 'ERROR: LeakSanitizer' -e 'runtime error:' \
    -e 'ERROR: libFuzzer' -e '==ERROR' "$log"; then
    result="FAILED (status $status, see $log)"
    failed=1
  fi
  printf '%-24s %12s %10s %8s  %s\n' "$t" "${execs:-?}" "${rate:-?}" "${edges:-?}" "$result"
done
if [ "$failed" != 0 ]; then
  echo "Inputs that found faults:" >&2
  find "$out/artifacts" -type f -newer "$out/seeds" \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
    -o -name 'oom-*' \) >&2 || true
  exit 1
fi
