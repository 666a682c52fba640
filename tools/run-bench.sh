#!/usr/bin/env bash
# Engine benchmarks: keys per second, and show_number against snprintf in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/bootstrap.sh >&2
cmake --preset native >/dev/null
cmake --build --preset native --target engine-bench >/dev/null
build/native/tools/engine-bench "$@"
