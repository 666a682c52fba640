#!/usr/bin/env bash
# Runs a Windows program under Wine in the test prefix (tools/wine-session.sh prepares it).
# The program's output goes through a file: Wine helper processes that a program starts (rpcss,
# explorer) outlive it and would hold a pipe open, keeping CTest waiting until its time-out.
set -uo pipefail
. "$(dirname "$0")/wine-env.sh"
log=$(mktemp)
wine "$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
rm -f "$log"
exit $status
