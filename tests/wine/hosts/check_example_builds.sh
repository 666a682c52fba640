#!/usr/bin/env bash
# Builds each C++ example with the command its header states ("// Build: g++ ..."), as a host's
# developer would copy it, with this build's compiler in place of g++ and the shipped header.
#   check_example_builds.sh CXX HEADER_DIR EXAMPLES_DIR
set -uo pipefail
cxx=$1 headers=$2 examples=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for source in "$examples"/cpp/*.cpp; do
  line=$(sed -n 's|^// Build: g++ ||p' "$source" | head -n 1)
  [ -n "$line" ] || { echo "FAILED: $source states no build command"; status=1; continue; }
  cp "$source" "$headers/z5calcD.h" "$work/"
  # shellcheck disable=SC2086 # the stated command's words, as a shell would split them
  if (cd "$work" && "$cxx" $line -static >"$work/log" 2>&1); then
    echo "built: g++ $line"
  else
    echo "FAILED: g++ $line"
    sed 's/^/  /' "$work/log" | head -n 20
    status=1
  fi
done
exit $status
