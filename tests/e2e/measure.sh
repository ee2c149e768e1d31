#!/usr/bin/env bash
# A person's session: type a speed, drag across the map, read the panel,
# change the speed from the menu and measure again.
set -euo pipefail
exe=$1
. "$(dirname "$0")/../../tools/wine-env.sh"
. "$(dirname "$0")/lib.sh"

RED="255,0,0"
# Red pixels in a w x h box at x,y of a screenshot.
count_red() {
  convert "$1" -crop "$2" +repage txt:- | grep -c '#FF0000' || true
}

wine "$exe" &
program=$!
trap 'kill $program 2>/dev/null || true' EXIT

prompt=$(quimbara_wait_window Velocidad 60) || fail "no speed prompt"
xdotool windowfocus --sync "$prompt" type --delay 50 120
xdotool key Return
window=$(quimbara_wait_window Quimbara 30) || fail "the window did not appear"
sleep 1
before=$(screenshot)

# Screen points 300 px apart horizontally and 400 vertically: 500 km.
xdotool mousemove 300 300 mousedown 1 mousemove 380 400 mousemove 450 500 mousemove 600 700
sleep 0.5
during=$(screenshot)
[ "$(count_red "$during" 7x7+447+497)" -gt 0 ] || fail "no red band under the pointer's path"

xdotool mouseup 1
sleep 0.5
after=$(screenshot)
[ "$(count_red "$after" 7x7+447+497)" = 0 ] || fail "the band is still there after the release"
[ "$(pixel "$after" 1000,600)" = "$(pixel "$before" 1000,600)" ] || fail "the map changed away from the panel"

# The panel's top border is the first black row under the menu bar in a
# column that crosses the panel; its red second line sits 40 rows lower.
top=$(convert "$after" -crop 1x150+170+0 +repage txt:- |
      awk -F'[,:]' '/#000000/ && $2 > 30 && !n++ {print $2}')
[ -n "$top" ] || fail "no result panel"
[ "$(pixel "$after" "330,$((top + 60))")" = "$WHITE" ] || fail "the panel is not white inside"
first=$(count_red "$after" "320x14+8+$((top + 39))")
[ "$first" -gt 30 ] || fail "no red time line in the panel ($first red pixels)"
convert "$after" -crop "330x14+8+$((top + 39))" +repage /tmp/quimbara-line-120.png

# "Autor" -> "Velocidad" asks again; the keyboard walks past the separator.
xdotool mousemove 20 $((top - 10)) click 1
sleep 0.5
xdotool key Down Down Return
prompt=$(quimbara_wait_window Velocidad 20) || fail "Velocidad did not ask again"
xdotool windowfocus --sync "$prompt" type --delay 50 60
xdotool key Return
sleep 0.5

xdotool mousemove 300 300 mousedown 1 mousemove 450 500 mousemove 600 700 mouseup 1
sleep 0.5
again=$(screenshot)
[ "$(count_red "$again" "320x14+8+$((top + 39))")" -gt 30 ] || fail "no panel after the new speed"
convert "$again" -crop "330x14+8+$((top + 39))" +repage /tmp/quimbara-line-60.png
changed=$(compare -metric AE /tmp/quimbara-line-120.png /tmp/quimbara-line-60.png null: 2>&1 || true)
[ "${changed%% *}" -gt 0 ] || fail "the time line did not change with the speed"

close_with_alt_f4 "$window"
wait $program && code=0 || code=$?
trap - EXIT
[ "$code" = 0 ] || fail "exit code $code"
rm -f "$before" "$during" "$after" "$again" /tmp/quimbara-line-120.png /tmp/quimbara-line-60.png
echo "ok: band while dragging, panel after release, new speed used"
