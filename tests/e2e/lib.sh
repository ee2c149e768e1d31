# Helpers for the end-to-end scripts (sourced after tools/wine-env.sh).
WHITE="255,255,255"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The speed prompt comes before the main window: accept what it proposes.
# Waits up to $1 seconds (default 60: the first Wine start in a fresh prefix
# is slow); returns non-zero when no prompt came.
answer_speed_prompt() {
  local prompt
  prompt=$(quimbara_wait_window Velocidad "${1:-60}") || return 1
  xdotool windowfocus --sync "$prompt" key Return
}

# The probe (tests/e2e/probe.cpp) looks at the program's windows from inside
# Wine; set PROBE to its exe first.
# box_text CAPTION SECONDS [--ok]: the message of the box titled CAPTION.
box_text() {
  wine "$PROBE" box "$@" | tr -d '\r'
}

# "x y": where the client area of the window titled $1 is on the screen.
client_origin() {
  wine "$PROBE" origin "$1" | tr -d '\r'
}

# How many pixels of the w x h area at the client origin $3 of screenshot $1
# differ by more than a few percent from the top-left w x h of image $2.
# (ImageMagick's policy here refuses /dev/fd, so the crops go to files.)
differing_pixels() {
  local w=$4 h=$5 x y shown expected count
  read -r x y <<<"$3"
  shown=$(mktemp --suffix=.png)
  expected=$(mktemp --suffix=.png)
  convert "$1" -crop "${w}x${h}+${x}+${y}" +repage "$shown"
  convert "$2" -crop "${w}x${h}+0+0" +repage "$expected"
  count=$({ compare -metric AE -fuzz 4% "$shown" "$expected" null: 2>&1 || true; } | cut -d' ' -f1)
  rm -f "$shown" "$expected"
  [[ $count =~ ^[0-9.e+]+$ ]] || fail "compare: $count"
  printf '%.0f\n' "$count"  # large counts come in exponent notation
}

# Waits up to 10 s for the visible map area of the window titled Quimbara
# (the lowest rows hide under the window's edge) to show image $1, with at
# most $2 pixels off; fails, naming the case $3, when it doesn't.
expect_map_area() {
  local origin differ shot deadline=$((SECONDS + 10))
  origin=$(client_origin Quimbara) || fail "$3: no client area"
  while :; do
    shot=$(screenshot)
    differ=$(differing_pixels "$shot" "$1" "$origin" 1267 900)
    rm -f "$shot"
    [ "$differ" -le "$2" ] && return 0
    [ $SECONDS -lt "$deadline" ] || fail "$3: $differ pixels of the map area are not as expected"
    sleep 0.5
  done
}

# Saves the whole screen and prints the file's path.
screenshot() {
  local f
  f=$(mktemp --suffix=.png)
  import -window root "$f"
  echo "$f"
}

# "r,g,b" of the pixel at "x,y" of a screenshot.
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2}.r)],%[fx:int(255*p{$2}.g)],%[fx:int(255*p{$2}.b)]" info:
}

# No window manager runs: focus the window, then send the keys.
close_with_alt_f4() {
  xdotool windowfocus --sync "$1" key alt+F4
}

# The background job $1 must end, with exit code 0, within $2 seconds: one
# still running then has hung. Fails naming the case $3 otherwise.
expect_exit_0_within() {
  local deadline=$((SECONDS + $2)) code
  while kill -0 "$1" 2>/dev/null; do
    [ $SECONDS -lt "$deadline" ] || fail "$3: still running after $2 s"
    sleep 0.2
  done
  wait "$1" && code=0 || code=$?
  [ "$code" = 0 ] || fail "$3: exit code $code"
}

# Copies of the program, each alone in a folder of its own: set exe to the
# program under test; the running copy's pid is kept in program.
copy_program() {
  mkdir -p "$1"
  cp "$exe" "$1/Quimbara.exe"
}
# Started from elsewhere, so that only its own folder can lead to the map.
start_copy() {
  (cd / && exec wine "$1/Quimbara.exe") &
  program=$!
}
# After Alt+F4 (or the last box) the copy has a few seconds to end with 0.
expect_exit_0() {
  expect_exit_0_within "$program" 20 "$1"
  program=
}
# Answers the speed prompt; a message box coming instead fails at once.
expect_prompt_not_box() {
  local deadline=$((SECONDS + 60))
  while [ $SECONDS -lt $deadline ]; do
    answer_speed_prompt 1 && return 0
    quimbara_wait_window Veltranico 1 >/dev/null && fail "$1: '$(box_text Veltranico 1)'"
  done
  fail "$1: no speed prompt"
}
