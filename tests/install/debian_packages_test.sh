#!/usr/bin/env bash
# debian_packages_test.sh BUILD: `cpack -G DEB` makes one package per part,
# each holding its own files and declaring what it needs; only the window
# module's package pulls in wxWidgets.
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
(cd "$build" && cpack -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; fail "cpack"; }

deb() { ls "$scratch"/"$1"_*.deb 2>/dev/null | head -1; }
holds() {  # holds PACKAGE PATTERN: some file of PACKAGE matches
  dpkg-deb -c "$(deb "$1")" | awk '{print $6}' | grep -qE "$2" || fail "$1 holds no $2"
}
depends() { dpkg-deb -f "$(deb "$1")" Depends; }
for p in orvane-libs orvane-dev vexa; do [ -n "$(deb $p)" ] || fail "no package $p"; done
holds orvane-libs '/usr/lib/libsandral\.so\.[0-9]+$'
holds orvane-dev '/usr/include/sandral\.h$'
holds orvane-dev '/usr/lib/pkgconfig/sandral\.pc$'
holds orvane-dev '/usr/lib/cmake/Sandral/SandralConfig\.cmake$'
holds vexa '/usr/bin/vexa$'
depends orvane-dev | grep -q 'orvane-libs (= ' || fail "orvane-dev does not depend on orvane-libs"
depends vexa | grep -q 'orvane-libs (= ' || fail "vexa does not depend on orvane-libs"
depends vexa | grep -q 'libwx' && fail "vexa depends on wxWidgets: $(depends vexa)"
if [ -n "$(deb vexa-window)" ]; then
  holds vexa-window '/usr/lib/libvexa_wx\.so$'
  depends vexa-window | grep -q 'libwxgtk' || fail "vexa-window does not declare wxWidgets"
  depends vexa-window | grep -q 'vexa (= ' || fail "vexa-window does not depend on vexa"
fi
echo "packages: $(cd "$scratch" && ls *.deb | tr '\n' ' ')"
