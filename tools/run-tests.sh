#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds, and runs every test. Where 32-bit
# Wine cannot be installed, everything that does not need it still runs, and the last lines say
# which suites did not.
set -euo pipefail
cd "$(dirname "$0")/.."

. tools/lib.sh
tools/bootstrap.sh all
build_preset native
ctest --preset native

# The same portable tests with AddressSanitizer and UBSan, then every fuzz target for a while.
build_preset sanitize
ctest --preset sanitize
tools/run-fuzz.sh "${Z5_FUZZ_SECONDS:-60}"

# The Windows component, 32-bit and 64-bit, tested under Wine in one fresh prefix.
build_preset win32
build_preset win64
if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  tools/wine-session.sh sh -c 'ctest --preset win32 && ctest --preset win64'
  exit
fi
tools/wine-session.sh ctest --preset win64 --label-exclude needs_wine32
echo
echo "NOT RUN: 32-bit Wine (package wine32:i386) could not be installed on this machine, so these"
echo "suites did not run: the whole win32 suite (built, not run) and, of the win64 suite:"
ctest --preset win64 --show-only --label-regex needs_wine32 | sed -n 's/^ *Test *#[0-9]*: /  /p'
