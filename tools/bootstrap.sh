#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, and only what is missing.
set -euo pipefail

packages=(
  cmake make g++ libgtest-dev libbenchmark-dev googletest locales
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  libwine-dev wine wine32:i386 wine64 xvfb xauth fonts-ipafont-gothic fonts-wine
  python3 python3-pil clang-format
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# 32-bit Wine runs the 32-bit component.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The formatting tests run under a German locale, whose decimal point is ","; the companion's
# tests run once more under a Japanese one, whose ANSI code page is 932.
for loc in de_DE ja_JP; do
  if ! locale -a 2>/dev/null | grep -qi "^$loc\.utf-\?8$"; then
    echo "bootstrap: generating $loc.UTF-8"
    as_root sed -i "s/^# *\($loc.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen || echo "$loc.UTF-8 UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
done
