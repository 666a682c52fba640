#!/usr/bin/env bash
# Runs a command with a fresh Wine prefix and a kept wineserver inside a virtual X screen:
#   tools/wine-session.sh COMMAND...
# The prefix (build/wineprefix) is made anew once per session, so every run starts clean.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$root/build/wineprefix"
. "$root/tools/wine-env.sh"

if [ -z "${Z5_IN_XVFB:-}" ]; then
  export Z5_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
wineboot -i >/dev/null 2>&1
wineserver -w
wineserver -p
status=0
"$@" || status=$?
wineserver -k 2>/dev/null || true
exit $status
