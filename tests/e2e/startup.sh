#!/usr/bin/env bash
# Starts Quimbara.exe like a user would, checks where its window opens and
# that the map area is drawn, then closes it with Alt+F4.
set -euo pipefail
exe=$1
. "$(dirname "$0")/../../tools/wine-env.sh"
. "$(dirname "$0")/lib.sh"

wine "$exe" &
program=$!
trap 'kill $program 2>/dev/null || true' EXIT

answer_speed_prompt
window=$(quimbara_wait_window Quimbara 60) || fail "the window did not appear"
read -r x y < <(xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}')
[ "$x" = 0 ] && [ "$y" = 0 ] || fail "window at ($x,$y), not (0,0)"

shot=$(screenshot)
# The map control fills the client area below the caption and menu bar.
for p in "300,300" "900,600" "1200,900"; do
  [ "$(pixel "$shot" "$p")" = "$WHITE" ] || fail "map area not white at $p: $(pixel "$shot" "$p")"
done

close_with_alt_f4 "$window"
wait $program && code=0 || code=$?
trap - EXIT
[ "$code" = 0 ] || fail "exit code $code"
echo "ok: window at (0,0), white map area, Alt+F4 ends with 0"
