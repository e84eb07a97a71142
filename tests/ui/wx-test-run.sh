#!/usr/bin/env bash
# Runs a wx test program. Listing its tests needs no X server. Without a
# display the tests get a private Xvfb; when none can start they run without
# one and report themselves skipped.
set -u
for a in "$@"; do
  case "$a" in --gtest_list_tests) exec "$@" ;; esac
done
here="$(cd "$(dirname "$0")" && pwd)"
export GDK_BACKEND=x11 NO_AT_BRIDGE=1
# Leaks inside the toolkit's libraries only; ours still fail the build.
export LSAN_OPTIONS="suppressions=$here/wx-lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
[ -n "${DISPLAY:-}" ] && exec "$@"
screen=(-s "-screen 0 1280x1024x24")
if command -v xvfb-run >/dev/null && xvfb-run -a "${screen[@]}" true >/dev/null 2>&1; then
  exec xvfb-run -a "${screen[@]}" "$@"
fi
exec "$@"
