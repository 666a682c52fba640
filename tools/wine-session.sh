#!/usr/bin/env bash
# Runs a command with a fresh Wine prefix and a kept wineserver inside a virtual X screen with a
# window manager, as a user's desktop has:
#   tools/wine-session.sh COMMAND...
# The prefix (build/wineprefix) is made anew once per session, so every run starts clean.
# Without a window manager winex11 stalls 2 s after every hidden window and message box, and a
# console host of a later process may fail to create windows: openbox runs first, Wine after it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$root/build/wineprefix"
. "$root/tools/wine-env.sh"

if [ -z "${Z5_IN_XVFB:-}" ]; then
  export Z5_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
end_session() {
  wineserver -k 2>/dev/null || true
  kill "$wm" 2>/dev/null || true
  wait "$wm" 2>/dev/null || true
}
trap end_session EXIT
# Wine's first window must find the manager running.
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
# Its output goes through a file: helper processes it starts would hold a pipe open.
boot_log=$(mktemp)
if ! wineboot -i >"$boot_log" 2>&1 </dev/null; then
  echo "wine-session: making the Wine prefix failed ($(command -v wineboot)):" >&2
  tail -n 5 "$boot_log" >&2
  exit 1
fi
rm -f "$boot_log"
# As on a Windows system with Japanese fonts: the system's UI faces are linked to a Japanese
# face, so that standard message boxes and captions draw Japanese under any locale.
. "$root/tools/through_file.sh"
for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
  through_file wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v "$face" /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null
done
# The registry reaches the prefix's files when its server ends: copies of the prefix have it.
wineserver -w
wineserver -p
"$@"
