#!/usr/bin/env bash
# Registers the DLL, runs host_script.vbs in Wine's cscript of the same bitness, and checks what
# the script's calls left in the settings files.  run_vbscript.sh DLL win32|win64
set -uo pipefail
. "$(dirname "$0")/../support/self_log.sh"
dll_unix=$1
bits=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$(dirname "$0")/../support/wine_host.sh" "$bits"

dll=$(winepath -w "$dll_unix")
script=$(winepath -w "$here/scripts/host_script.vbs")

appdata=$(winepath -u "$(run cmd /c echo %APPDATA% | tail -n 1)")
folder="$appdata/qorvan"
mkdir -p "$folder"
printf '[Setup]\r\nTax=80\r\nTaxMode=2\r\nReducedTax=65\r\n' >"$folder/vbshost.ini"
printf '[Setup]\r\nTaxMode=99999\r\n' >"$folder/vbsoverflow.ini"
rm -f "$folder/z5calc.ini"


run "$regsvr" /s "$dll"; check "$([ $? -eq 0 ] && echo ok)" "regsvr32 registers $bits z5calcD.dll"
output=$(run "$cscript" //nologo "$script")
echo "$output"
grep -qx 'settings done' <<<"$output"; check "$([ $? -eq 0 ] && echo ok)" "script created the object and called both methods"
overflow="error 6 Overflow: TaxMode=99999 in [Setup] of $(winepath -w "$folder/vbsoverflow.ini") is beyond a 16-bit whole number"
grep -qxF "$overflow" <<<"$output"; check "$([ $? -eq 0 ] && echo ok)" "an overflow reaches the script as error 6, saying what and where"
grep -qx 'error 450' <<<"$output"; check "$([ $? -eq 0 ] && echo ok)" "a missing argument is 'wrong number of arguments' (450)"
grep -qx 'error 438' <<<"$output"; check "$([ $? -eq 0 ] && echo ok)" "an unknown method is 'object doesn't support' (438)"
grep -qx 'error 80070057 TaxRateKind must be 0 (the standard rate) or 1 (the reduced rate)' <<<"$output"
check "$([ $? -eq 0 ] && echo ok)" "TaxRateKind = 2 is refused with E_INVALIDARG, saying the values"
[ "$(grep -c '^error 438$' <<<"$output")" = 2 ]; check "$([ $? -eq 0 ] && echo ok)" "TaxRate cannot be set (438)"
grep -qx 'kind 1 rates 0.08 0.065' <<<"$output"; check "$([ $? -eq 0 ] && echo ok)" "TaxRateKind read back; TaxRate and ReducedTaxRate from the host's file"
grep -qx 'tape \[\]' <<<"$output"; check "$([ $? -eq 0 ] && echo ok)" "ClearTape, and an empty Tape before any call"
grep -qx 'error 80070057 Decimals must be a whole number from 0 to 4, or -1 for results as computed' <<<"$output"
check "$([ $? -eq 0 ] && echo ok)" "Decimals = 5 is refused with E_INVALIDARG, saying the values"
grep -qx 'error 80070057' <<<"$output"; check "$([ $? -eq 0 ] && echo ok)" "Rounding = Null is refused with E_INVALIDARG"
grep -qx 'decimals 2 rounding 2 gt 0' <<<"$output"; check "$([ $? -eq 0 ] && echo ok)" "Decimals \"2\" taken, the refused values kept the others"

ini=$(tr -d '\r' <"$folder/z5calc.ini" 2>/dev/null)
for line in 'AppPath=vbsoverflow' 'Tax=80' 'TaxMode=2' 'HelpFile=C:\vbhelp\vb.chm' 'HelpID=77'; do
  grep -qxF "$line" <<<"$ini"; check "$([ $? -eq 0 ] && echo ok)" "z5calc.ini has $line"
done
grep -q 'HelpFile' "$folder/vbshost.ini"; check "$([ $? -ne 0 ] && echo ok)" "the host's file was only read"

run "$regsvr" /s /u "$dll"; check "$([ $? -eq 0 ] && echo ok)" "regsvr32 /u unregisters"
rm -f "$folder/vbshost.ini" "$folder/vbsoverflow.ini"
if [ $fail -eq 0 ]; then echo "vbscript: all checks passed"; fi
exit $fail
