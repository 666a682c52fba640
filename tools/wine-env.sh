# Sourced by the scripts that run Wine: the test prefix (unless one is set already), no debug
# output, and no .NET, HTML engine or debugger to download or pop up. Where the 32-bit loader
# cannot run (not installed, or a kernel that runs 64-bit code only), every `wine`, `wineboot`
# and `winepath` is the 64-bit loader's, even with the 32-bit package installed.
z5_tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
: "${WINEPREFIX:=$(dirname "$z5_tools")/build/wineprefix}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
. "$z5_tools/wine-bits.sh"
if ! wine32_runs; then
  case ":$PATH:" in
    *":$z5_tools/wine64:"*) ;;
    *) PATH="$z5_tools/wine64:$PATH" ;;
  esac
  export PATH WINELOADER=$wine64_loader
fi
