#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, and only what is missing:
#   tools/bootstrap.sh [main|all]
# "main" is what the main job needs (the 64-bit build and Wine); "all", the default, adds the
# native test tools, formatting and 32-bit Wine. The 32-bit Wine (wine32:i386) is the only
# package the rest can do without: when it cannot be had, the 32-bit suite does not run and
# tools/run-tests.sh says so. A package index that fails to download (a mirror mid-sync) is
# retried, then ignored: only a package that cannot be installed stops the set-up.
set -euo pipefail

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
  all) wanted=("${main_packages[@]}" "${test_packages[@]}" "${optional_packages[@]}") ;;
  *) echo "usage: $0 [main|all]" >&2; exit 2 ;;
esac

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

# 32-bit Wine runs the 32-bit component.
if [ "$mode" = all ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
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
