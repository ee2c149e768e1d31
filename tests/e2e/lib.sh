# Helpers for the end-to-end scripts (sourced after tools/wine-env.sh).
WHITE="255,255,255"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The speed prompt comes before the main window: accept what it proposes.
answer_speed_prompt() {
  local prompt
  if prompt=$(quimbara_wait_window Velocidad "${1:-5}"); then
    xdotool windowfocus --sync "$prompt" key Return
  fi
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
