#!/usr/bin/env bash
# Things people do that the program must survive: a drag that leaves the
# window and comes back, rapid double-clicks, two speed boxes open at once.
# After each, the same drag must read exactly like a clean one.
set -euo pipefail
exe=$1
PROBE=$2
. "$(dirname "$0")/../../tools/wine-env.sh"
. "$(dirname "$0")/lib.sh"

wine "$exe" &
program=$!
trap 'kill $program 2>/dev/null || true' EXIT

prompt=$(quimbara_wait_window Velocidad 60) || fail "no speed prompt"
xdotool windowfocus --sync "$prompt" type --delay 50 70
xdotool key Return
window=$(quimbara_wait_window Quimbara 30) || fail "the window did not appear"
sleep 1

# The panel's text, as pixels, after a drag (300,300) -> (600,700): 500 km.
panel() {
  local shot top
  shot=$(screenshot)
  top=$(convert "$shot" -crop 1x150+170+0 +repage txt:- | awk -F'[,:]' '/#000000/ && $2 > 30 && !n++ {print $2}')
  [ -n "$top" ] || fail "no result panel ($1)"
  convert "$shot" -crop "330x60+6+$((top + 6))" +repage "$2"
  rm -f "$shot"
  echo "$top"
}
clean_drag() {
  xdotool mousemove 300 300 mousedown 1 mousemove 450 500 mousemove 600 700 mouseup 1
  sleep 0.5
}
same() {
  [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" = 0 ]
}
work=$(mktemp -d)

clean_drag
top=$(panel "clean drag" "$work/reference.png")

# Out of the window with the button held, released outside, back in: the
# drag is still under way, and a click ends it at the last point seen.
xdotool mousemove 300 300 mousedown 1 mousemove 800 500 mousemove 1500 500 mouseup 1
sleep 0.3
xdotool mousemove 1000 600 mousemove 600 700 click 1
sleep 0.5
panel "drag that left the window" "$work/left.png" >/dev/null
same "$work/reference.png" "$work/left.png" || fail "the drag that left the window measured something else"

# Rapid double-clicks here and there.
for p in "400 400" "700 300" "900 800"; do
  xdotool mousemove $p click --repeat 2 --delay 40 1 click --repeat 2 --delay 40 1
done
sleep 0.3
clean_drag
panel "after double-clicks" "$work/clicks.png" >/dev/null
same "$work/reference.png" "$work/clicks.png" || fail "double-clicks changed the next measurement"

# "Velocidad" twice: the boxes have no owner, so the menu still works while
# the first is open.
open_speed_box() {
  xdotool mousemove 20 $((top - 10)) click 1
  sleep 0.5
  xdotool key Down Down Return
  sleep 1
}
open_speed_box
open_speed_box
boxes=$(xdotool search --onlyvisible --name '^Velocidad$' | wc -l)
[ "$boxes" = 2 ] || fail "expected two speed boxes, found $boxes"
# Each proposes the current speed, 70. Enter accepts the one in front; the
# other has slipped behind the main window (no window manager raises it),
# so the probe presses its OK button as a click on it would.
box=$(xdotool search --onlyvisible --name '^Velocidad$' | tail -1)
xdotool windowfocus --sync "$box" key Return
sleep 0.7
if [ -n "$(xdotool search --onlyvisible --name '^Velocidad$' || true)" ]; then
  box_text Velocidad 5 --ok >/dev/null || fail "the speed box behind the window could not be answered"
  sleep 0.7
fi
[ -z "$(xdotool search --onlyvisible --name '^Velocidad$' || true)" ] || fail "a speed box stayed open"
clean_drag
panel "after two speed boxes" "$work/boxes.png" >/dev/null
same "$work/reference.png" "$work/boxes.png" || fail "the speed after two boxes is not the one typed"

close_with_alt_f4 "$window"
wait $program && code=0 || code=$?
trap - EXIT
rm -rf "$work"
[ "$code" = 0 ] || fail "exit code $code"
echo "ok: left-and-back drag, double-clicks and two speed boxes all measured right"
