#!/usr/bin/env bash
# What regcalc tells its user: the usage for /? and for no arguments, a line for what it did,
# and errors in words, a DLL of the other bitness naming the regcalc to use.
#   run_regcalc.sh REGCALC OWN_DLL OTHER_DLL win32|win64
set -uo pipefail
. "$(dirname "$0")/../support/self_log.sh"
regcalc=$1 own=$(winepath -w "$2") other=$(winepath -w "$3") bits=$4
. "$(dirname "$0")/../support/wine_host.sh" "$bits"
if [ "$bits" = win64 ]; then mine=64-bit otherzip='the 32-bit regcalc.exe (z5calc-win32.zip)'
else mine=32-bit otherzip='the 64-bit regcalc.exe (z5calc-win64.zip)'; fi

# regcalc ARGS...: its output (both streams) in $out, its exit code in $code
call() { out=$(through_file "$loader" "$regcalc" "$@"); code=$?; }
expect() {  # code, line, what
  if [ "$code" -eq "$1" ] && grep -qxF "$2" <<<"$out"; then echo "ok: $3"
  else echo "FAILED: $3 (exit $code, said: $out)"; fail=1; fi
}

call /?
expect 0 "regcalc: registers z5calcD.dll for the current user, without administrator rights." "/? shows the usage"
expect 0 "The DLL must be of this regcalc's bitness ($mine)." "/? names the bitness"
call
expect 1 "  regcalc /u path\\to\\z5calcD.dll   remove that registration again" "no arguments shows the usage"
call "$own"
expect 0 "regcalc: registered $own for the current user (HKEY_CURRENT_USER\\Software\\Classes)" "registering says so"
call /u "$own"
expect 0 "regcalc: removed the current user's registration of $own" "removing says so"
call "$other"
expect 3 "regcalc: $other is not a $mine DLL; register it with $otherzip" "the other bitness's DLL names the right regcalc"
call 'C:\no\such.dll'
expect 3 'regcalc: there is no file C:\no\such.dll' "a missing file is named"
notdll=$(mktemp --suffix=.dll); echo "not a dll" >"$notdll"
call "$(winepath -w "$notdll")"
expect 3 "regcalc: $(winepath -w "$notdll") is not a DLL" "a file that is no DLL is named"
rm -f "$notdll"
call /x "$own"
expect 1 "The DLL must be of this regcalc's bitness ($mine)." "an unknown switch shows the usage"
if [ $fail -eq 0 ]; then echo "regcalc: all checks passed"; fi
exit $fail
