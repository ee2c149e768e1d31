#!/usr/bin/env bash
# Installs what is missing, builds Quimbara.exe, and starts it under Wine,
# saying in one line what each stage does: on a fresh machine the first run
# takes a few minutes. Where the machine runs no 32-bit code (tools/arch.sh)
# it starts the x86_64 build of the same sources instead. With a display it
# runs on it until you close the window. Without one it runs inside Xvfb,
# saves a screenshot once the window is up, prints its path and closes the
# program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
say() { echo "run.sh: $*" >&2; }

. "$root/tools/arch.sh"
# Says itself what it installs, if anything.
quimbara_setup
quimbara_arch
if [ "$QUIMBARA_ARCH" = i686 ]; then
  exe=$root/build/release/Quimbara/Quimbara.exe
  export WINEARCH=win32
else
  exe=$root/build/win64/Quimbara/Quimbara.exe
  export WINEARCH=win64
  say "running the x86_64 build of Quimbara: $QUIMBARA_ARCH_WHY"
fi
say "building Quimbara.exe (about a minute the first time)"
log=$(mktemp)
if ! "$root/tools/build.sh" --runnable >"$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  exit 1
fi
rm -f "$log"
. "$root/tools/wine-env.sh"

if [ -n "${DISPLAY:-}" ]; then
  # A prefix of its own, whose windows the desktop's window manager handles.
  export WINEPREFIX="$root/build/$QUIMBARA_PREFIX_NAME-desktop"
  say "preparing Wine (a few seconds the first time)"
  quimbara_wine_prefix --managed
  say "starting Quimbara"
  exec "$WINELOADER" "$exe"
fi

say "preparing Wine in a private screen, as there is no \$DISPLAY"
session=$(mktemp -d)
trap 'quimbara_stop_xvfb "$session"' EXIT
quimbara_start_session "$session"
say "starting Quimbara"
"$WINELOADER" "$exe" &
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
