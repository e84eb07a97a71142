#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing, and a
# comma-decimal locale so that the locale-independence tests really run.
set -euo pipefail
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
# The window back end needs wx; its tests need a private X server and the
# tools that list windows and turn screen dumps into pictures. The fuzz
# targets need clang with its libFuzzer and sanitizer runtimes; the install
# test builds with pkg-config, and packaging reads dependencies with
# dpkg-shlibdeps.
packages=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev locales pkgconf dpkg-dev
  libwxgtk3.2-dev xvfb xauth x11-apps x11-utils netpbm clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $sudo sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null || true
fi
