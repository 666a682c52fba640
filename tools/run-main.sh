#!/usr/bin/env bash
# The main job: builds the calculator and works an example calculation on it, key by key.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/bootstrap.sh >&2
cmake --preset native >/dev/null
cmake --build --preset native --target calc-keys >/dev/null

echo "keys: 1 2 0 0 X 3 = taxin MP (8 % tax), then 5 0 0 - MR ="
build/native/tools/calc-keys --tax-rate 0.08 1 2 0 0 X 3 = taxin MP 5 0 0 - MR =
