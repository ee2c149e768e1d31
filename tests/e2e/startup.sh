#!/usr/bin/env bash
# Starts Quimbara.exe like a user would: the speed prompt comes first, then
# the window opens at the top-left of the screen showing the map, and Alt+F4
# closes it.
set -euo pipefail
exe=$1
PROBE=$2
. "$(dirname "$0")/../../tools/wine-env.sh"
. "$(dirname "$0")/lib.sh"

wine "$exe" &
program=$!
trap 'kill $program 2>/dev/null || true' EXIT

quimbara_wait_window Velocidad 60 >/dev/null || fail "no speed prompt"
quimbara_wait_window Quimbara 1 >/dev/null && fail "the window showed before the speed was given"
answer_speed_prompt 5 || fail "the speed prompt went away"
window=$(quimbara_wait_window Quimbara 60) || fail "the window did not appear"
read -r x y < <(xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}')
[ "$x" = 0 ] && [ "$y" = 0 ] || fail "window at ($x,$y), not (0,0)"

# The map control fills the client area below the caption and menu bar.
expect_map_area "$(dirname "$exe")/Mapa_Politico_de_Espana.jpg" 100 startup

close_with_alt_f4 "$window"
wait $program && code=0 || code=$?
trap - EXIT
[ "$code" = 0 ] || fail "exit code $code"
echo "ok: prompt, window at (0,0) showing the map, Alt+F4 ends with 0"
