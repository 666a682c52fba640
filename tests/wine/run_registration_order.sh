#!/usr/bin/env bash
# Both bitnesses registered, then one unregistered, in both orders: the other stays usable by
# ProgID (a script of its bitness creates it), the keys both share stay, and the last
# unregistration leaves nothing of the component in either registry view.
#   run_registration_order.sh DLL32 DLL64
set -uo pipefail
. "$(dirname "$0")/self_log.sh"
: "${WINEPREFIX:?run inside tools/wine-session.sh}"
export WINEDEBUG=-all
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
run() { through_file "$@"; }

declare -A dll loader regsvr cscript
dll[32]=$(winepath -w "$1") dll[64]=$(winepath -w "$2")
loader[32]=wine loader[64]=$wine64
regsvr[32]=C:\\windows\\syswow64\\regsvr32.exe regsvr[64]=C:\\windows\\system32\\regsvr32.exe
cscript[32]=C:\\windows\\syswow64\\cscript.exe cscript[64]=C:\\windows\\system32\\cscript.exe
script=$(mktemp --suffix=.vbs)
printf 'Set calc = CreateObject("z5calcD.zelcalc")\r\ncalc.SetAppName "orderhost"\r\nWScript.Echo "created and called"\r\n' >"$script"
script_w=$(winepath -w "$script")

fail=0
check() {
  if [ "$1" = ok ]; then echo "ok: $2"; else echo "FAILED: $2"; fail=1; fi
}
# Wine's reg /reg:32 does not see the 32-bit classes: each view is read by its own reg.exe.
declare -A reg
reg[32]=C:\\windows\\syswow64\\reg.exe reg[64]=C:\\windows\\system32\\reg.exe
key_in_view() {  # key, view: 0 when the key is there
  run "${loader[$2]}" "${reg[$2]}" query "HKCR\\$1" >/dev/null
}
progid_keys=('z5calcD.zelcalc\CLSID' 'z5calcD.zelcalc\CurVer' 'z5calcD.zelcalc.1\CLSID')

for order in "64 32" "32 64"; do
  set -- $order
  first=$1 second=$2
  for bits in 32 64; do
    run "${loader[$bits]}" "${regsvr[$bits]}" /s "${dll[$bits]}"
    check "$([ $? -eq 0 ] && echo ok)" "order $order: $bits-bit registered"
  done
  run "${loader[$first]}" "${regsvr[$first]}" /s /u "${dll[$first]}"
  check "$([ $? -eq 0 ] && echo ok)" "order $order: $first-bit unregistered"
  output=$(run "${loader[$second]}" "${cscript[$second]}" //nologo "$script_w")
  check "$(grep -qx 'created and called' <<<"$output" && echo ok)" \
    "order $order: a $second-bit script still creates z5calcD.zelcalc ($output)"
  for key in "${progid_keys[@]}"; do
    for view in 32 64; do
      key_in_view "$key" $view
      check "$([ $? -eq 0 ] && echo ok)" "order $order: $key stays in the $view-bit view"
    done
  done
  run "${loader[$second]}" "${regsvr[$second]}" /s /u "${dll[$second]}"
  check "$([ $? -eq 0 ] && echo ok)" "order $order: $second-bit unregistered"
  for key in 'z5calcD.zelcalc' 'z5calcD.zelcalc.1' 'TypeLib\{6F2A41C3-8B5D-4E17-9A0C-3D7B52E8F104}' \
             'CLSID\{3E8D7B19-C2A5-4F60-B7E4-91D2A6C05F3B}' 'Interface\{A93C0E52-17F4-4B6A-8D21-5C9E0F3B7A68}'; do
    for view in 32 64; do
      key_in_view "$key" $view
      check "$([ $? -ne 0 ] && echo ok)" "order $order: $key is gone from the $view-bit view"
    done
  done
done
rm -f "$script"
if [ $fail -eq 0 ]; then echo "registration order: all checks passed"; fi
exit $fail
