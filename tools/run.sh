#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quimbara under Wine.
# With a display it runs on it until you close the window. Without one it
# runs inside Xvfb, saves a screenshot once the window is up, prints its
# path and closes the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh"
. "$root/tools/wine-env.sh"
exe="${QUIMBARA_BUILD:-$root/build}/Quimbara/Quimbara.exe"

if [ -n "${DISPLAY:-}" ]; then
  # A prefix of its own, whose windows the desktop's window manager handles.
  export WINEPREFIX="${QUIMBARA_BUILD:-$root/build}/wineprefix-desktop"
  quimbara_wine_prefix --managed
  exec wine "$exe"
fi

trap quimbara_stop_xvfb EXIT
quimbara_start_xvfb
quimbara_wine_prefix
wine "$exe" &
program=$!
# The speed prompt comes first: accept the proposed speed.
if prompt=$(quimbara_wait_window Velocidad 30); then
  xdotool windowfocus --sync "$prompt" key Return
fi
window=$(quimbara_wait_window Quimbara 30) || { echo "the window did not appear" >&2; exit 1; }
sleep 1
shot="$root/build/screenshot.png"
import -window root -crop 1600x1030+0+0 "$shot"
echo "$shot"
# There is no window manager: give the window the focus, then press Alt+F4.
xdotool windowfocus --sync "$window" key alt+F4
wait "$program"
