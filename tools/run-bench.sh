#!/usr/bin/env bash
# Benchmarks: the engine natively (keys per second, show_number against snprintf), then the
# calculator call under Wine (open and close against a bare window of the same size, handles
# after 1000 calls), at 96 and at 192 DPI.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/lib.sh
build_for all native engine-bench
build/native/tools/dev/engine-bench "$@"

build_for main win64 window-bench z5calcD
# Under the session's window manager, as on a user's desktop. Then the same at 192 DPI, in a
# copy of the prefix set to it: the scaled art and layout.
tools/wine-session.sh bash -c '. tools/through_file.sh
  echo "at 96 DPI:"
  through_file wine build/win64/tools/dev/window-bench.exe build/win64/component/z5calcD.dll 1000
  echo "at 192 DPI:"
  bash tests/wine/support/run_at_dpi.sh 192 build/win64/tools/dev/window-bench.exe \
    build/win64/component/z5calcD.dll 1000'
