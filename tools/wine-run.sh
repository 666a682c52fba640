#!/usr/bin/env bash
# Runs a Windows program under Wine in the test prefix (tools/wine-session.sh prepares it).
set -euo pipefail
: "${WINEPREFIX:=$(cd "$(dirname "$0")/.." && pwd)/build/wineprefix}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
