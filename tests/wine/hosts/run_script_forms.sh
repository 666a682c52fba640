#!/usr/bin/env bash
# Script hosts calling showcalc with every form of the field they can build: registers the DLL,
# runs field_forms.vbs and field_forms.js in Wine's cscript of the same bitness while
# calc_typist plays the user, and checks the results, the windows' places and the errors.
#   run_script_forms.sh DLL TYPIST win32|win64
set -uo pipefail
. "$(dirname "$0")/../support/self_log.sh"
dll_unix=$1
typist=$2
bits=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$(dirname "$0")/../support/wine_host.sh" "$bits"
dll=$(winepath -w "$dll_unix")

has() { grep -qxF "$2" <<<"$1"; check "$([ $? -eq 0 ] && echo ok)" "$3: $2"; }
# VBScript turns a type mismatch into its error 13; Wine's VBScript gives the HRESULT itself.
has_mismatch() {
  grep -qxF "error 13 $2" <<<"$1" || grep -qxF "error -2147352571 $2" <<<"$1"
  check "$([ $? -eq 0 ] && echo ok)" "$3: type mismatch, $2"
}

# One script: the typist answers `count` calculators while the script runs.
script_run() {
  local script=$1 count=$2 typed
  typed=$(mktemp)
  "$loader" "$typist" "6*7~" "$count" >"$typed" 2>&1 </dev/null &
  local pid=$!
  output=$(run "$cscript" //nologo "$(winepath -w "$here/scripts/$script")")
  wait $pid; local typist_status=$?
  windows=$(tr -d '\r' <"$typed")
  rm -f "$typed"
  echo "$output"
  echo "$windows"
  check "$([ $typist_status -eq 0 ] && echo ok)" "$script: every calculator came, took the keys and closed"
}

run "$regsvr" /s "$dll"; check "$([ $? -eq 0 ] && echo ok)" "regsvr32 registers $bits z5calcD.dll"

described='showcalc: the field rectangle ws must be a windowstay record, an array of four numbers (Wtop, Wleft, Wwidth, Wheight, in screen twips), an object with the properties Wtop, Wleft, Wwidth and Wheight, or nothing (missing, Empty, Null or Nothing) to open the calculator beside the mouse pointer'

script_run field_forms.vbs 6
for form in array 'array variable' object empty null nothing; do
  has "$output" "$form 42" "VBScript"
done
for n in 1 2 3; do has "$windows" "window $n left 100 middle 210" "VBScript, the field"; done
for n in 4 5 6; do has "$windows" "window $n left 300 middle 400" "VBScript, no field"; done
has_mismatch "$output" "$described; a single value is not a field rectangle" "VBScript"
has_mismatch "$output" "$described; an array must have one dimension and four elements" "VBScript"

script_run field_forms.js 4
for form in object array null undefined; do
  has "$output" "$form 42" "JScript"
done
for n in 1 2; do has "$windows" "window $n left 100 middle 210" "JScript, the field"; done
for n in 3 4; do has "$windows" "window $n left 300 middle 400" "JScript, no field"; done
has "$output" "error 80020005 $described; a single value is not a field rectangle" "JScript"
# A JScript array is an object: [1, 2, 3] lacks the member 3, as {Top, Left} lacks them all.
no_members="error 80020005 $described; the object has neither the properties Wtop, Wleft, Wwidth and Wheight nor the members 0 to 3"
check "$([ "$(grep -cxF "$no_members" <<<"$output")" -eq 2 ] && echo ok)" "JScript: [1, 2, 3] and {Top, Left} are refused as objects without the members"

run "$regsvr" /s /u "$dll"; check "$([ $? -eq 0 ] && echo ok)" "regsvr32 /u unregisters"
if [ $fail -eq 0 ]; then echo "script forms: all checks passed"; fi
exit $fail
