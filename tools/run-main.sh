#!/usr/bin/env bash
# The main job: builds the component, its companion and the demo host (64-bit), and starts the
# demo under Wine. The demo activates the component through its manifest, so nothing is
# registered. With a display the demo opens there for you to use. Without one it runs under
# Xvfb, works 1200 X 3 = in the calculator by itself, and saves a screenshot.
#   tools/run-main.sh [SCREENSHOT.png]      (default build/demo-screenshot.png)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
shot=${1:-build/demo-screenshot.png}

. tools/lib.sh
build_for main win64 z5demo
demo=build/win64/demo/z5demo.exe

if [ -n "${DISPLAY:-}" ]; then
  export WINEPREFIX="$root/build/main-prefix"
  . "$root/tools/wine-env.sh"
  [ -d "$WINEPREFIX" ] || { echo "main: making the Wine prefix $WINEPREFIX" >&2; wineboot -i >/dev/null 2>&1; }
  echo "main: starting $demo on $DISPLAY (F4 or a double-click on a price or a quantity opens the calculator)"
  exec wine "$demo"
fi

bmp=$(mktemp --suffix=.bmp)
trap 'rm -f "$bmp"' EXIT
tools/wine-session.sh tools/wine-run.sh "$demo" --demo-run "Z:$bmp"
bmp_to_png "$bmp" "$shot"
echo "main: screenshot saved to $shot"
