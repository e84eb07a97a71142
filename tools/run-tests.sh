#!/usr/bin/env bash
# Every test: the normal build, the AddressSanitizer + UndefinedBehaviorSanitizer
# build, the threaded tests under ThreadSanitizer, and a short pass of every
# fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-deps.sh
jobs=$(nproc)

cmake --preset default >/dev/null
cmake --build --preset default
ctest --test-dir build/default -j"$jobs" --output-on-failure
ls -1 "$PWD"/build/default/ui-smoke/*.png 2>/dev/null || true

cmake --preset asan >/dev/null
cmake --build --preset asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan -j"$jobs" --output-on-failure

cmake --preset tsan >/dev/null
cmake --build --preset tsan
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build/tsan -j"$jobs" -L threads --output-on-failure

tools/fuzz.sh 20
