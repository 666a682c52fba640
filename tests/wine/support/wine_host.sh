# Sourced after self_log.sh by the test scripts that act as a host of one bitness:
#   . wine_host.sh [win32|win64]
# With a bitness it sets `loader` (the plain loader starts Wine's own programs 32-bit; a 64-bit
# host needs the 64-bit one), `regsvr` and `cscript` of that bitness, and `run`, which runs a
# program with the loader, bounded in time, and gives its output without CRs. Always: `wine_bitness`, and `check`
# for one line of the verdict (fail=1 on a failure).
: "${WINEPREFIX:?run inside tools/wine-session.sh}"

# wine_bitness 32|64: sets `loader` and `system`, the folder of Wine's own programs, of that
# bitness.
wine_bitness() {
  if [ "$1" = 64 ]; then
    loader=$(command -v wine64 || echo /usr/lib/wine/wine64) system='C:\windows\system32'
  else
    loader=wine system='C:\windows\syswow64'
  fi
}

if [ -n "${1:-}" ]; then
  wine_bitness "${1#win}"
  regsvr=$system\\regsvr32.exe cscript=$system\\cscript.exe
  # Each program is given 100 s, well inside the test's time-out: one that hangs fails its
  # check with its output kept, instead of the whole test ending silently.
  run() {
    through_file timeout -k 10 100 "$loader" "$@"
    local status=$?
    [ $status -eq 124 ] && echo "TIMED OUT after 100 s: $*"
    return $status
  }
fi
fail=0
check() {
  if [ "$1" = ok ]; then echo "ok: $2"; else echo "FAILED: $2"; fail=1; fi
}
