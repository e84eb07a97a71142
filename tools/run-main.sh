#!/usr/bin/env bash
# The main job: builds the suite, generates a sample recording and validates
# it with `vexa --headless`, then shows the validation log and the summary.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
out=$(pwd)/build/default/sample
rm -rf "$out"
mkdir -p "$out"
build/default/bin/ch10-gen "$out/sample.ch10"
status=0
build/default/bin/vexa --headless --output-dir "$out" "$out/sample.ch10" || status=$?
echo "--- $out/validate.log"
cat "$out/validate.log"
echo "--- $out/validate.log.summary.txt"
cat "$out/validate.log.summary.txt"
exit "$status"
