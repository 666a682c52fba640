#!/usr/bin/env bash
# Runs a Windows test program on a screen of another DPI: in a copy of the test prefix whose
# LogPixels is set, with a Wine server of its own (a prefix's DPI is read when its processes
# start). Z5_EXPECTED_DPI tells the program what it should find. Also the way to run a program
# under a Japanese locale (at 96 DPI or any other) without changing the test prefix.
#   run_at_dpi.sh DPI PROGRAM [ARGS...]
set -uo pipefail
. "$(dirname "$0")/self_log.sh"
dpi=$1
shift
: "${WINEPREFIX:?run inside tools/wine-session.sh}"
export Z5_EXPECTED_DPI=$dpi
base=$WINEPREFIX
export WINEPREFIX="$base-dpi$dpi"
# A Japanese run has a copy of its own: Wine rewrites the prefix's font links when the locale
# changes, which would leave the Western runs' message boxes without Japanese glyphs.
case "${LC_ALL:-${LANG:-}}" in ja_*) WINEPREFIX="$WINEPREFIX-ja" ;; esac
if [ ! -f "$WINEPREFIX/z5-dpi-$dpi" ]; then
  rm -rf "$WINEPREFIX"
  cp -a "$base" "$WINEPREFIX" || { echo "FAILED: cannot copy $base"; exit 1; }
  for key in 'HKCU\Control Panel\Desktop' \
             'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    through_file wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null ||
      { echo "FAILED: cannot set LogPixels under $key"; exit 1; }
  done
  wineserver -w
  touch "$WINEPREFIX/z5-dpi-$dpi"
fi
through_file wine "$@"
status=$?
wineserver -k 2>/dev/null
exit $status
