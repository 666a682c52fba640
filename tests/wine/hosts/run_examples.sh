#!/usr/bin/env bash
# The examples run as their users run them: the DLL registered, each host started while
# calc_typist plays the user (6*7 Enter), each reporting the value it got back.
#   run_examples.sh DLL EARLY_EXE LATE_EXE TYPIST win32|win64 OLD_HEADER_EXE
set -uo pipefail
. "$(dirname "$0")/../support/self_log.sh"
dll=$(winepath -w "$1") early=$2 late=$3 typist=$4 bits=$5 old_header=$6
examples=$(cd "$(dirname "$0")/../../../examples" && pwd)
. "$(dirname "$0")/../support/wine_host.sh" "$bits"

# One host, the typist answering its calculator.
host() {
  local name=$1; shift
  "$loader" "$typist" "6*7~" 1 >/dev/null 2>&1 </dev/null &
  local pid=$!
  local status
  output=$(run "$@"); status=$?
  wait $pid; local typed=$?
  echo "$output"
  check "$([ $status -eq 0 ] && [ $typed -eq 0 ] && grep -qx 'The calculator gave 42' <<<"$output" && echo ok)" \
    "$bits $name: the user's 6*7 came back"
}

# The reduced rate the example asked for, read back after the call (ReducedTax=80 by default).
reduced() {
  check "$(grep -qx 'It closed at the reduced rate (reduced: 8 %)' <<<"$output" && echo ok)" \
    "$bits $1: TaxRateKind read back after the call"
}

run "$regsvr" /s "$dll"; check "$([ $? -eq 0 ] && echo ok)" "regsvr32 registers $bits z5calcD.dll"
host "C++ early binding" "$early"; reduced "C++ early binding"
check "$(grep -qx 'Grand total: 42' <<<"$output" && echo ok)" "$bits C++ early binding: the grand total"
host "C++ late binding" "$late"
host "C++ built against the header before _zelcalc2" "$old_header"
host "VBScript" "$cscript" //nologo "$(winepath -w "$examples/script/showcalc.vbs")"; reduced "VBScript"
# Its tape: the start at 1200, the typed 6 and 7, the result and the transfer of 42.
check "$(tr -d '\r' <<<"$output" | grep -cE $'\t(1200|6|7|42)\\.$' | grep -qx 5 && echo ok)" \
  "$bits VBScript: the tape read after the call"
check "$(grep -qx 'Grand total: 42' <<<"$(tr -d '\r' <<<"$output")" && echo ok)" "$bits VBScript: the grand total"
host "JScript" "$cscript" //nologo "$(winepath -w "$examples/script/showcalc.js")"
run "$regsvr" /s /u "$dll"
# Without the registration, the early host says so instead of failing silently.
output=$(run "$early")
check "$(grep -q 'is z5calcD.dll registered?' <<<"$output" && echo ok)" "$bits C++ early binding, unregistered: $output"
if [ $fail -eq 0 ]; then echo "examples: all checks passed"; fi
exit $fail
