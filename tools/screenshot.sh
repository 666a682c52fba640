#!/usr/bin/env bash
# Renders the calculator window under Xvfb and Wine and saves it as docs/calculator.png, or at
# another DPI (a prefix set to it, as the DPI tests make) as docs/calculator-DPIdpi.png:
#   tools/screenshot.sh [OUT.png [DPI]]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/calculator.png}

. tools/lib.sh
build_for main win64 calc-preview z5calcD
bmp=$(mktemp --suffix=.bmp)
trap 'rm -f "$bmp"' EXIT
dpi=${2:-96}
run=(tools/wine-run.sh)
[ "$dpi" = 96 ] || run=(bash tests/wine/support/run_at_dpi.sh "$dpi")
tools/wine-session.sh "${run[@]}" build/win64/tools/dev/calc-preview.exe \
  build/win64/component/z5calcD.dll "Z:$bmp" 1 2 0 0 X 3 = taxin MP
bmp_to_png "$bmp" "$out"
echo "$out"
