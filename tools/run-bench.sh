#!/usr/bin/env bash
# Benchmarks: the engine natively (keys per second, show_number against snprintf), then the
# calculator call under Wine (open and close against a bare window of the same size, handles
# after 1000 calls), at 96 and at 192 DPI.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/bootstrap.sh all >&2
cmake --preset native >/dev/null
cmake --build --preset native --target engine-bench >/dev/null
build/native/tools/engine-bench "$@"

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target window-bench z5calcD >/dev/null
# Under the session's window manager, as on a user's desktop. Then the same at 192 DPI, in a
# copy of the prefix set to it: the scaled art and layout.
tools/wine-session.sh bash -c '. tools/through_file.sh
  echo "at 96 DPI:"
  through_file wine build/win64/tools/window-bench.exe build/win64/component/z5calcD.dll 1000
  echo "at 192 DPI:"
  bash tests/wine/run_at_dpi.sh 192 build/win64/tools/window-bench.exe \
    build/win64/component/z5calcD.dll 1000'
