#!/usr/bin/env bash
# Both bitnesses registered, then one unregistered, in both orders: the other stays usable by
# ProgID (a script of its bitness creates it), the keys both share stay, and the last
# unregistration leaves nothing of the component in either registry view.
#   run_registration_order.sh DLL32 DLL64
set -uo pipefail
. "$(dirname "$0")/../support/self_log.sh"
: "${Z5_CLSID:?}" "${Z5_LIBID:?}" "${Z5_IID:?the identities, from the build}"
. "$(dirname "$0")/../support/wine_host.sh" ""
run() { through_file "$@"; }

declare -A dll loaders regsvr cscript reg
dll[32]=$(winepath -w "$1") dll[64]=$(winepath -w "$2")
for bits in 32 64; do
  wine_bitness $bits
  loaders[$bits]=$loader regsvr[$bits]=$system\\regsvr32.exe cscript[$bits]=$system\\cscript.exe
  # Wine's reg /reg:32 does not see the 32-bit classes: each view is read by its own reg.exe.
  reg[$bits]=$system\\reg.exe
done
script=$(mktemp --suffix=.vbs)
printf 'Set calc = CreateObject("z5calcD.zelcalc")\r\ncalc.SetAppName "orderhost"\r\nWScript.Echo "created and called"\r\n' >"$script"
script_w=$(winepath -w "$script")

key_in_view() {  # key, view: 0 when the key is there
  run "${loaders[$2]}" "${reg[$2]}" query "HKCR\\$1" >/dev/null
}
progid_keys=('z5calcD.zelcalc\CLSID' 'z5calcD.zelcalc\CurVer' 'z5calcD.zelcalc.1\CLSID')

for order in "64 32" "32 64"; do
  set -- $order
  first=$1 second=$2
  for bits in 32 64; do
    run "${loaders[$bits]}" "${regsvr[$bits]}" /s "${dll[$bits]}"
    check "$([ $? -eq 0 ] && echo ok)" "order $order: $bits-bit registered"
  done
  run "${loaders[$first]}" "${regsvr[$first]}" /s /u "${dll[$first]}"
  check "$([ $? -eq 0 ] && echo ok)" "order $order: $first-bit unregistered"
  output=$(run "${loaders[$second]}" "${cscript[$second]}" //nologo "$script_w")
  check "$(grep -qx 'created and called' <<<"$output" && echo ok)" \
    "order $order: a $second-bit script still creates z5calcD.zelcalc ($output)"
  for key in "${progid_keys[@]}"; do
    for view in 32 64; do
      key_in_view "$key" $view
      check "$([ $? -eq 0 ] && echo ok)" "order $order: $key stays in the $view-bit view"
    done
  done
  run "${loaders[$second]}" "${regsvr[$second]}" /s /u "${dll[$second]}"
  check "$([ $? -eq 0 ] && echo ok)" "order $order: $second-bit unregistered"
  for key in 'z5calcD.zelcalc' 'z5calcD.zelcalc.1' "TypeLib\\$Z5_LIBID" \
             "CLSID\\$Z5_CLSID" "Interface\\$Z5_IID"; do
    for view in 32 64; do
      key_in_view "$key" $view
      check "$([ $? -ne 0 ] && echo ok)" "order $order: $key is gone from the $view-bit view"
    done
  done
done
rm -f "$script"
if [ $fail -eq 0 ]; then echo "registration order: all checks passed"; fi
exit $fail
