#!/usr/bin/env bash
# install_test.sh BUILD SOURCE BINDIR LIBDIR INCLUDEDIR [WINDOW_MODULE]
# Installs the build into a scratch DESTDIR and uses it as an outside
# developer and a user would: a C viewer built against the installed tree
# through pkg-config and through find_package, and the installed vexa, all
# run with nothing of the build or source tree on any path.
set -euo pipefail
build=$(cd "$1" && pwd) src=$(cd "$2" && pwd) bindir=$3 libdir=$4 incdir=$5 module=${6:-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=/opt/orvane
DESTDIR="$scratch/root" cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"
root=$scratch/root$prefix
# A clean environment: system tools only, a home of its own.
mkdir -p "$scratch/home"
clean=(env -i PATH=/usr/bin:/bin HOME="$scratch/home" LANG=C)

# What is installed: the deliverables, and nothing of the tests or benchmarks.
(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$scratch/files"
for f in "$bindir/vexa" "$bindir/ch10-gen" "$bindir/ingest-standin" "$bindir/stanag-image" \
         "$bindir/stanag-cat" "$bindir/sandral-list" \
         "$incdir/tessin.h" "$incdir/quillon.h" "$incdir/sandral.h" \
         "$libdir/pkgconfig/tessin.pc" "$libdir/pkgconfig/quillon.pc" "$libdir/pkgconfig/sandral.pc" \
         "$libdir/cmake/Tessin/TessinConfig.cmake" "$libdir/cmake/Sandral/SandralConfig.cmake" \
         "$libdir/cmake/Quillon/QuillonConfig.cmake"; do
  grep -qxF "$f" "$scratch/files" || fail "not installed: $f"
done
if [ -n "$module" ]; then
  grep -qxF "$libdir/$module" "$scratch/files" || fail "window module not installed: $libdir/$module"
fi
for lib in tessin quillon sandral; do
  grep -qE "^$libdir/lib$lib\.so\.[0-9]+\.[0-9]+\.[0-9]+$" "$scratch/files" || fail "no versioned lib$lib"
  soname=$(readelf -d "$root/$libdir/lib$lib.so" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
  [[ $soname =~ ^lib$lib\.so\.[0-9]+$ ]] || fail "lib$lib has SONAME '$soname'"
done
if grep -E '(_tests?|^bench_|/bench_|fixture|standin_rig|\.a$)' "$scratch/files"; then
  fail "test or benchmark files installed"
fi

# Installed binaries find their libraries without the build tree.
while read -r f; do
  readelf -h "$root/$f" >/dev/null 2>&1 || continue
  paths=$(readelf -d "$root/$f" | sed -n 's/.*R\(UN\)\{0,1\}PATH.*\[\(.*\)\]/\2/p')
  case "$paths" in *"$build"*|*"$src"*) fail "$f keeps a build path: $paths" ;; esac
done <"$scratch/files"

"${clean[@]}" "$root/$bindir/ch10-gen" "$scratch/rec.ch10" >/dev/null || fail "installed ch10-gen"

check_viewer() {  # check_viewer NAME BINARY
  local out=$scratch/$1.out page=$scratch/$1.page
  "${clean[@]}" LD_LIBRARY_PATH="$root/$libdir" "$2" "$scratch/rec.ch10" "$page" >"$out" 2>&1 ||
    { cat "$out"; fail "$1 viewer failed"; }
  grep -qE '^Ch10GetChannelList = 0: 0 - ' "$out" || { cat "$out"; fail "$1: no channel list"; }
  grep -qx 'Ch10GetNextPacket = 0' "$out" || { cat "$out"; fail "$1: no packets"; }
  [ "$(tr -d '\r' <"$page" | grep -c '^=\{98\}$')" -ge 3 ] || { head -20 "$page"; fail "$1: three packets not decoded"; }
  if "${clean[@]}" LD_LIBRARY_PATH="$root/$libdir" LD_DEBUG=libs "$2" "$scratch/rec.ch10" \
       "$scratch/x.page" 2>&1 >/dev/null | grep -E 'calling init: .*lib(tessin|sandral|quillon)' |
       grep -v "$root/"; then
    fail "$1 loaded a library from outside the installed tree"
  fi
}

# Through pkg-config.
"${clean[@]}" PKG_CONFIG_PATH="$root/$libdir/pkgconfig" \
  sh -c 'cc -std=c99 -Wall -Werror -o "$1" "$2" $(pkg-config --cflags --libs sandral)' sh \
  "$scratch/viewer-pc" "$src/tests/install/caller/viewer.c" || fail "pkg-config build"
check_viewer pkg-config "$scratch/viewer-pc"

# Through find_package.
"${clean[@]}" cmake -S "$src/tests/install/caller" -B "$scratch/caller" -G Ninja \
  -DCMAKE_PREFIX_PATH="$root" >"$scratch/caller.log" 2>&1 || { cat "$scratch/caller.log"; fail "find_package"; }
"${clean[@]}" cmake --build "$scratch/caller" >>"$scratch/caller.log" 2>&1 || { cat "$scratch/caller.log"; fail "build"; }
check_viewer find_package "$scratch/caller/viewer"

# The installed validator, headless.
mkdir -p "$scratch/out"
"${clean[@]}" "$root/$bindir/vexa" --headless --output-dir "$scratch/out" "$scratch/rec.ch10" \
  >"$scratch/vexa.out" 2>"$scratch/vexa.err" || { cat "$scratch/vexa.out" "$scratch/vexa.err"; fail "vexa"; }
grep -qx 'Validation completed' "$scratch/vexa.out" || { cat "$scratch/vexa.out"; fail "vexa did not complete"; }
[ -s "$scratch/vexa.err" ] && { cat "$scratch/vexa.err"; fail "vexa printed messages"; }
ls "$scratch/out" | grep -q . || fail "vexa wrote no outputs"
if "${clean[@]}" LD_DEBUG=libs "$root/$bindir/vexa" --help 2>&1 >/dev/null |
     grep -E 'calling init: .*lib(tessin|sandral|quillon)' | grep -v "$root/"; then
  fail "vexa loaded a library from outside the installed tree"
fi
echo "installed tree at $prefix: $(wc -l <"$scratch/files") files; viewer (pkg-config, find_package) and vexa ran"
