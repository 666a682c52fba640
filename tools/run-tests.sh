#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds, and runs every test. Where 32-bit
# Wine cannot run (a kernel that refuses 32-bit code, or a package that cannot be installed),
# everything that does not need it still runs, and the last lines say which suites did not and
# why.
set -euo pipefail
cd "$(dirname "$0")/.."

. tools/lib.sh
tools/bootstrap.sh all
# Both Windows builds first: the native tests read the 32-bit DLL's bytes.
build_preset win32
build_preset win64
build_preset native
ctest --preset native

# The same portable tests with AddressSanitizer and UBSan, then every fuzz target for a while.
build_preset sanitize
ctest --preset sanitize
tools/run-fuzz.sh "${Z5_FUZZ_SECONDS:-60}"

# The Windows component, 32-bit and 64-bit, tested under Wine in one fresh prefix. The 32-bit
# suite runs where the 32-bit loader runs; elsewhere the 64-bit suite checks the 32-bit DLL
# from its bytes, as the native tests do.
. tools/wine-bits.sh
why=$(why_no_wine32)
if [ -z "$why" ]; then
  tools/wine-session.sh sh -c 'ctest --preset win32; win32=$?; ctest --preset win64 && exit $win32'
  exit
fi
status=0
tools/wine-session.sh ctest --preset win64 --label-exclude needs_wine32 || status=$?
echo
echo "NOT RUN: $why."
echo "The 32-bit DLL was built and checked from its bytes only; these suites did not run: the whole"
echo "win32 suite and, of the win64 suite:"
ctest --preset win64 --show-only --label-regex needs_wine32 | sed -n 's/^ *Test *#[0-9]*: /  /p'
exit $status
