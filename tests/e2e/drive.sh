#!/usr/bin/env bash
# Runs Quimbara.exe under Wine and uses it like a person: drive.sh CASE, one
# case of the table at the end. QUIMBARA_EXE and QUIMBARA_PROBE name the
# program and the probe (probe.cpp, which reads boxes from inside Wine).
set -euo pipefail
case=${1:?usage: drive.sh CASE}
. "$(dirname "$0")/../../tools/wine-env.sh"
exe=$QUIMBARA_EXE
map="$(dirname "$exe")/Mapa_Politico_de_Espana.jpg"
name=Mapa_Politico_de_Espana.jpg
work=$(mktemp -d)
program=
trap '{ [ -n "$program" ] && kill "$program" 2>/dev/null; } || true; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $case: $*" >&2
  exit 1
}

# Copies the program (and, unless told otherwise, the map) into folder $1.
copy_program() {
  mkdir -p "$1"
  cp "$exe" "$1/Quimbara.exe"
  [ "${2:-}" = --no-map ] || cp "$map" "$1/"
}

# Starts $1/Quimbara.exe from elsewhere, so that only its own folder can
# lead to the map.
run_from() {
  (cd / && exec wine "$1/Quimbara.exe") &
  program=$!
}

# The message of the box titled $1 (waiting up to $2 s); --ok presses its OK.
box_text() {
  wine "$QUIMBARA_PROBE" box "$@" | tr -d '\r'
}

# The box titled Veltranico must read exactly $1 (--ok: then press its OK).
expect_box() {
  local text
  text=$(box_text Veltranico 60 ${2:-}) || fail "no message box"
  [ "$text" = "$1" ] || fail "the box reads '$text', not '$1'"
}

# Whether a window titled exactly $1 is on the screen now.
shows() {
  xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1
}

# Types speed $1 into the speed box (a message box coming instead fails at
# once) and prints the main window's id once it shows.
answer_speed() {
  local deadline=$((SECONDS + 60)) prompt
  until prompt=$(quimbara_wait_window Velocidad 1); do
    shows Veltranico && fail "box instead of the prompt: '$(box_text Veltranico 1)'"
    [ $SECONDS -lt $deadline ] || fail "no speed prompt"
  done
  shows Quimbara && fail "the window showed before the speed was given"
  xdotool windowfocus --sync "$prompt" type --delay 50 "$1"
  xdotool key Return
  quimbara_wait_window Quimbara 30 || fail "the window did not appear"
}

# Alt+F4 on window $1; the program must then end with 0 within 20 s.
close_expect_0() {
  [ -z "${1:-}" ] || xdotool windowfocus --sync "$1" key alt+F4
  local deadline=$((SECONDS + 20)) code
  while kill -0 "$program" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "still running 20 s later"
    sleep 0.2
  done
  wait "$program" && code=0 || code=$?
  program=
  [ "$code" = 0 ] || fail "exit code $code"
}

# Neither the speed box nor the main window shows, a second on.
expect_nothing_else() {
  sleep 1
  ! shows Velocidad || fail "the speed box showed"
  ! shows Quimbara || fail "the main window showed"
}

screenshot() {
  local f
  f=$(mktemp -p "$work" --suffix=.png)
  import -window root "$f"
  echo "$f"
}

# Waits up to 10 s for the map area of the window (less the rows hidden under
# its edge) to show image $1, with at most $2 pixels off by more than 4 %.
expect_map_area() {
  local x y shot count deadline=$((SECONDS + 10))
  read -r x y < <(wine "$QUIMBARA_PROBE" origin Quimbara | tr -d '\r') || fail "no client area"
  convert "$1" -crop 1267x900+0+0 +repage "$work/expected.png"
  while :; do
    shot=$(screenshot)
    convert "$shot" -crop "1267x900+$x+$y" +repage "$work/shown.png"
    count=$({ compare -metric AE -fuzz 4% "$work/shown.png" "$work/expected.png" null: 2>&1 || true; } | cut -d' ' -f1)
    count=$(printf '%.0f' "$count")  # large counts come in exponent notation
    [ "$count" -le "$2" ] && return 0
    [ $SECONDS -lt "$deadline" ] || fail "$count pixels of the map area are not as expected"
    sleep 0.5
  done
}

# Runs "$@" until it succeeds, for at most 10 s.
eventually() {
  local deadline=$((SECONDS + 10))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}

# Red pixels in the area WxH+X+Y of screenshot $1.
count_red() {
  convert "$1" -crop "$2" +repage txt:- | grep -c '#FF0000' || true
}

# Whether the rubber band passes near screen point $1,$2 (450,500 unless told).
band_shows() {
  [ "$(count_red "$(screenshot)" "7x7+$((${1:-450} - 3))+$((${2:-500} - 3))")" -gt 0 ]
}

# After a drag from (300,300) to (600,700) on the screen, 500 km: the band
# gone, and a white panel with a red time line. The panel's top border is
# the first black row below the menu bar in a column that crosses it. Its
# two lines go to $1.
panel_shows() {
  local shot top
  shot=$(screenshot)
  ! band_shows || return 1
  top=$(convert "$shot" -crop 1x150+170+0 +repage txt:- | awk -F'[,:]' '/#000000/ && $2 > 30 && !n++ {print $2}')
  [ -n "$top" ] && [ "$(convert "$shot" -format "%[hex:p{330,$((top + 60))}]" info:)" = FFFFFF ] &&
    [ "$(count_red "$shot" "320x14+8+$((top + 39))")" -gt 30 ] &&
    convert "$shot" -crop "330x60+6+$((top + 6))" +repage "$1"
}

case_startup() {
  copy_program "$work/Mis descargas/Quimbara ñ"
  run_from "$work/Mis descargas/Quimbara ñ"
  window=$(answer_speed 120)
  read -r x y < <(xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}')
  [ "$x,$y" = 0,0 ] || fail "window at ($x,$y), not (0,0)"
  expect_map_area "$map" 100
  close_expect_0 "$window"
}

# A drag with the real pointer from (300,300) to (600,700); the panel's
# lines go to $1.
drag_and_read_panel() {
  xdotool mousemove 300 300 mousedown 1 mousemove 380 400 mousemove 450 500 mousemove 600 700
  eventually band_shows || fail "no red band under the pointer's path"
  xdotool mouseup 1
  eventually panel_shows "$1" || fail "no result panel"
}

# Then a drag that leaves the window with the button held, is released
# outside and comes back: still under way, a click ends it at the last point
# seen, and it measures the same.
case_measure() {
  copy_program "$work/q"
  run_from "$work/q"
  window=$(answer_speed 70)
  drag_and_read_panel "$work/clean.png"
  xdotool mousemove 300 300 mousedown 1 mousemove 800 500
  eventually band_shows 550 400 || fail "no band for the second drag"
  xdotool mousemove 1500 500 mouseup 1 mousemove 1000 600 mousemove 600 700 click 1
  eventually panel_shows "$work/again.png" || fail "no result panel after the drag that left the window"
  [ "$(compare -metric AE "$work/clean.png" "$work/again.png" null: 2>&1 || true)" = 0 ] ||
    fail "the drag that left the window measured something else"
  close_expect_0 "$window"
}

# No map, or a folder under its name (here at the end of a path longer than
# MAX_PATH, which winepath itself would cut): the "Missing file" box, nothing
# else, and the end with 0.
missing_case() {
  copy_program "$work/$1" --no-map
  run_from "$work/$1"
  local path
  path="$(winepath -w "$work")\\${1//\//\\}\\$name"
  [ ${#path} -gt 260 ] || [ "$case" = missing ] || fail "the path is too short"
  expect_box "[GraphicLoadImageFileToBitmap] called on <$path> Missing file"
  expect_nothing_else
  box_text Veltranico 5 --ok >/dev/null
  close_expect_0
}
case_missing() { missing_case "Κάρτα"; }
case_folder() {
  local folder
  folder=$(printf 'carpeta_bastante_larga_%02d/' $(seq 1 11))carpeta_bastante_larga_12
  mkdir -p "$work/$folder/$name"
  missing_case "$folder"
}

# A map GDI+ can't read: the "read error" box, then the prompt and a white map.
case_damaged() {
  copy_program "$work/q" --no-map
  head -c 30000 "$map" >"$work/q/$name"
  run_from "$work/q"
  expect_box "[GraphicLoadImageFileToBitmap] [GdipLoadImagefromFile] read error on <$(winepath -w "$work/q")\\$name>" --ok
  window=$(answer_speed 120)
  convert -size 1267x990 xc:white "$work/white.png"
  expect_map_area "$work/white.png" 0
  close_expect_0 "$window"
}

# Pictures GDI+ reads, stretched to the whole area whatever their size: a
# PNG in four colours (drawn shrunk, moved or mirrored it differs in tens of
# thousands of pixels; GDI+ and ImageMagick blend the seams differently) and
# one pixel, which must show as one flat colour with no fade at the edges.
case_odd_files() {
  copy_program "$work/png" --no-map
  convert -size 320x240 xc:'#d01818' -size 320x240 xc:'#18a018' +append \
    \( -size 320x240 xc:'#1818d0' -size 320x240 xc:'#e0c000' +append \) -append "png:$work/png/$name"
  copy_program "$work/pixel" --no-map
  convert -size 1x1 xc:'#2060c0' -quality 95 "$work/pixel/$name"
  for kind in png:12000 pixel:0; do
    convert "$work/${kind%:*}/$name" -resize '1267x990!' -colorspace sRGB -type TrueColor "png24:$work/stretched.png"
    run_from "$work/${kind%:*}"
    window=$(answer_speed 120)
    expect_map_area "$work/stretched.png" "${kind#*:}"
    close_expect_0 "$window"
  done
}

# GDI+ that won't start: a stand-in gdiplus.dll beside a copy of the program
# exports what the program imports and fails its start-up.
case_no_gdiplus() {
  copy_program "$work/q"
  {
    echo "LIBRARY gdiplus.dll"
    echo "EXPORTS"
    "$QUIMBARA_OBJDUMP" -p "$exe" | awk '/DLL Name:/ {on = tolower($3) == "gdiplus.dll"; next}
      on && NF == 3 && $2 ~ /^[0-9]+$/ {print $3 " = FailedStartup@12"}'
  } >"$work/gdiplus.def"
  grep -q '^GdiplusStartup ' "$work/gdiplus.def" || fail "the program imports no GdiplusStartup"
  echo 'int __stdcall FailedStartup(void* a, void* b, void* c) { return 1; }' >"$work/stub.c"
  "$QUIMBARA_CXX" -shared -static -o "$work/q/gdiplus.dll" -x c "$work/stub.c" -x none "$work/gdiplus.def"
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;gdiplus=n,b" run_from "$work/q"
  expect_box "Error inicializando GDI+ ... (El programa necesita XP ó superior ...)"
  expect_nothing_else
  box_text Veltranico 5 --ok >/dev/null
  close_expect_0
}

# The release zip as a user gets it: unpacked into a folder whose name has a
# blank and an accent, one folder of exactly four files, texts that any Notepad
# reads (byte order mark, CRLF) with the map's credits as the map prints them,
# and a program that works from there.
case_package() {
  local dir="$work/Mis descargas/Quimbara ñ" files text
  mkdir -p "$dir"
  (cd "$dir" && cmake -E tar xf "$QUIMBARA_ZIP") || fail "no $QUIMBARA_ZIP: tools/package.sh makes it"
  files=$(cd "$dir" && find . | LC_ALL=C sort | tr '\n' ' ')
  [ "$files" = ". ./Quimbara ./Quimbara/LEEME.txt ./Quimbara/LICENCIA.txt ./Quimbara/Mapa_Politico_de_Espana.jpg ./Quimbara/Quimbara.exe " ] ||
    fail "the zip unpacks to $files"
  for text in "$dir"/Quimbara/*.txt; do
    [ "$(head -c 3 "$text" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "${text##*/} has no byte order mark"
    ! grep -qv $'\r$' "$text" || fail "${text##*/} has lines that don't end in CRLF"
  done
  sed -n '/^const CREDITS = \[/,/^\];/s/^  "\(.*\)",$/\1/p' "$(dirname "$0")/../../map/src/generate.mjs" >"$work/credits"
  [ -s "$work/credits" ] || fail "the map's credits were not found"
  tr -d '\r' <"$dir/Quimbara/LEEME.txt" | sed 's/^ *//' >"$work/leeme"
  ! grep -vxFf "$work/leeme" "$work/credits" || fail "LEEME.txt lacks these credit lines"
  # Windows honours the setting only in this namespace; Wine runs every program as if it had it.
  grep -qaF '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>' \
    "$dir/Quimbara/Quimbara.exe" || fail "the exe does not declare itself aware of the system's DPI"
  run_from "$dir/Quimbara"
  window=$(answer_speed 120)
  drag_and_read_panel "$work/panel.png"
  close_expect_0 "$window"
}

"case_$case"
echo "ok: $case"
