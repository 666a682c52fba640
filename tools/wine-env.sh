# Sourced by the scripts that run Wine: the test prefix (unless one is set already), no debug
# output, and no .NET, HTML engine or debugger to download or pop up.
: "${WINEPREFIX:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
