#!/usr/bin/env bash
# The main job: builds the suite and runs it on a generated sample recording.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
out=build/default/sample
mkdir -p "$out"
build/default/bin/ch10-gen "$out/sample.ch10"
build/default/bin/ch10-probe "$out/sample.ch10"
