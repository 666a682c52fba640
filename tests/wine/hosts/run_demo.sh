#!/usr/bin/env bash
# The demo host works one calculation by itself, with the component activated through its
# manifest only: every registration of the class is removed first. Then the screenshot it saved
# must show the calculator's skin (its drag colour).  run_demo.sh DEMO_EXE win32|win64
set -uo pipefail
. "$(dirname "$0")/../support/self_log.sh"
demo=$1
bits=$2
. "$(dirname "$0")/../support/wine_host.sh" ""
: "${Z5_CLSID:?the class id, from the build}"
folder=$(dirname "$demo")
run() { through_file "$@"; }

# No registration anywhere: of either bitness, machine-wide or per user.
for tool_bits in 32 64; do
  wine_bitness $tool_bits
  for view in 32 64; do
    run "$loader" reg delete "HKCR\\CLSID\\$Z5_CLSID" /f /reg:$view
    run "$loader" reg delete "HKCU\\Software\\Classes\\CLSID\\$Z5_CLSID" /f /reg:$view
  done
done >/dev/null 2>&1
if run wine reg query "HKCR\\CLSID\\$Z5_CLSID" /reg:64 >/dev/null 2>&1 ||
   run wine reg query "HKCR\\CLSID\\$Z5_CLSID" /reg:32 >/dev/null 2>&1; then
  echo "FAIL: the class is still registered"
  exit 1
fi

shot=$(mktemp --suffix=.bmp)
trap 'rm -f "$shot"' EXIT
run wine "$demo" --demo-run "Z:$shot"
status=$?
[ $status -eq 0 ] || { echo "FAIL: the demo run ended with $status"; exit 1; }
/usr/bin/python3 "$(dirname "$0")/../../../tools/dev/shows_calculator.py" "$shot" || exit 1
# Its settings are the user's, not beside the program (a Program Files folder is not writable).
[ ! -e "$folder/z5demo.ini" ] || { echo "FAIL: the demo wrote z5demo.ini beside itself"; exit 1; }
appdata=$(winepath -u "$(run wine cmd /c echo %APPDATA% | tail -n 1)")
grep -q '^Tax=100' "$appdata/qorvan/z5demo.ini" || { echo "FAIL: no z5demo.ini in the user's settings folder"; exit 1; }
echo "ok: $bits demo, registration-free, its settings in the user's folder"
