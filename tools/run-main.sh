#!/usr/bin/env bash
# The main job: builds the calculator and works an example calculation on it, key by key.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/bootstrap.sh >&2
cmake --preset native >/dev/null
cmake --build --preset native --target calc-keys >/dev/null

echo "1200 x 3 with 8 % tax into memory, plus 500 + 250, then recall the memory:"
build/native/tools/calc-keys --tax-rate 0.08 1 2 0 0 X 3 = taxin MP 5 0 0 + 2 5 0 = MP MR
