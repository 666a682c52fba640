#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, and only what is missing:
#   tools/bootstrap.sh [main|all]
# "main" is what the main job needs (the 64-bit build and Wine); "all", the default, adds the
# native test tools, formatting and, where this host runs 32-bit code, 32-bit Wine. The 32-bit
# Wine (wine32:i386) is the only package the rest can do without: where the kernel refuses
# 32-bit programs it is not installed (installed by someone else, the scripts pass it over), and
# when it cannot be had the 32-bit suite does not run and tools/run-tests.sh says so. A package
# index that fails to download (a mirror mid-sync) is retried, then ignored: only a package that
# cannot be installed stops the set-up.
set -euo pipefail
. "$(dirname "$0")/wine-bits.sh"

main_packages=(
  cmake make g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev wine wine64
  xvfb xauth x11-utils openbox fonts-ipafont-gothic fonts-wine python3 python3-pil
)
test_packages=(
  g++ libgtest-dev libbenchmark-dev googletest locales g++-mingw-w64-i686-posix clang-format
  clang-14 libclang-rt-14-dev libfuzzer-14-dev
)
optional_packages=(wine32:i386)

mode=${1:-all}
case $mode in
  main) wanted=("${main_packages[@]}") ;;
  all) wanted=("${main_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 [main|all]" >&2; exit 2 ;;
esac
# 32-bit Wine runs the 32-bit component, where the kernel runs 32-bit code at all.
with_wine32=no
if [ "$mode" = all ]; then
  if i386_runs; then
    with_wine32=yes
    wanted+=("${optional_packages[@]}")
  elif [ -x "$wine32_loader" ]; then
    echo "bootstrap: this host's kernel does not run 32-bit code; the installed 32-bit Wine is passed over" >&2
  else
    echo "bootstrap: this host's kernel does not run 32-bit code; 32-bit Wine is not installed" >&2
  fi
fi

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

is_optional() {
  local p
  for p in "${optional_packages[@]}"; do [ "$p" = "$1" ] && return 0; done
  return 1
}

update_index() {
  local try
  for try in 1 2 3; do
    as_root apt-get update -qq && return 0
    echo "bootstrap: apt-get update failed (try $try of 3)" >&2
    [ $try -lt 3 ] && sleep 10
  done
  echo "bootstrap: going on with the package lists that did download" >&2
}

apt_install() {
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@"
}

if [ $with_wine32 = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi

missing=()
for p in "${wanted[@]}"; do installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  update_index
  if ! apt_install "${missing[@]}"; then
    # One at a time, to name what cannot be had and still install the rest.
    failed=()
    for p in "${missing[@]}"; do apt_install "$p" || failed+=("$p"); done
    required=()
    for p in "${failed[@]}"; do
      if is_optional "$p"; then
        echo "bootstrap: $p cannot be installed; the 32-bit suite will not run" >&2
      else
        required+=("$p")
      fi
    done
    if [ ${#required[@]} -gt 0 ]; then
      echo "bootstrap: cannot install ${required[*]}" >&2
      exit 1
    fi
  fi
fi

[ "$mode" = all ] || exit 0
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
