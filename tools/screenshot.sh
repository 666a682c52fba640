#!/usr/bin/env bash
# Renders the calculator window under Xvfb and Wine and saves it as docs/calculator.png, or at
# another DPI (a prefix set to it, as the DPI tests make) as docs/calculator-DPIdpi.png:
#   tools/screenshot.sh [OUT.png [DPI]]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/calculator.png}

tools/bootstrap.sh main >&2
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target calc-preview z5calcD >/dev/null
mkdir -p "$(dirname "$out")"
bmp=$(mktemp --suffix=.bmp)
trap 'rm -f "$bmp"' EXIT
dpi=${2:-96}
run=(tools/wine-run.sh)
[ "$dpi" = 96 ] || run=(bash tests/wine/run_at_dpi.sh "$dpi")
tools/wine-session.sh "${run[@]}" build/win64/tools/calc-preview.exe \
  build/win64/component/z5calcD.dll "Z:$bmp" 1 2 0 0 X 3 = taxin MP
/usr/bin/python3 -c 'import sys; from PIL import Image; Image.open(sys.argv[1]).save(sys.argv[2])' \
  "$bmp" "$out"
echo "$out"
