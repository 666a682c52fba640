#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/bootstrap.sh

cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

# The Windows component, 32-bit and 64-bit, tested under Wine in one fresh prefix.
for bits in win32 win64; do
  cmake --preset $bits >/dev/null
  cmake --build --preset $bits
done
tools/wine-session.sh sh -c 'ctest --preset win32 && ctest --preset win64'

