#!/usr/bin/env bash
# Runs a Windows program under Wine in the test prefix (tools/wine-session.sh prepares it).
set -uo pipefail
. "$(dirname "$0")/wine-env.sh"
. "$(dirname "$0")/through_file.sh"
through_file wine "$@"
