# Sourced after self_log.sh by the test scripts that act as a host of one bitness:
#   . wine_host.sh win32|win64
# Sets `loader` (the plain loader starts Wine's own programs 32-bit; a 64-bit host needs the
# 64-bit one), `regsvr` and `cscript` of that bitness, `check` for one line of the verdict
# (fail=1 on a failure), and `run`, which runs a program with the loader and gives its output
# without CRs.
: "${WINEPREFIX:?run inside tools/wine-session.sh}"
export WINEDEBUG=-all
loader=wine
if [ "$1" = win64 ]; then
  loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
  regsvr=C:\\windows\\system32\\regsvr32.exe cscript=C:\\windows\\system32\\cscript.exe
else
  regsvr=C:\\windows\\syswow64\\regsvr32.exe cscript=C:\\windows\\syswow64\\cscript.exe
fi
run() { through_file "$loader" "$@"; }
fail=0
check() {
  if [ "$1" = ok ]; then echo "ok: $2"; else echo "FAILED: $2"; fail=1; fi
}
