#!/usr/bin/env bash
# Runs Quimbara.exe (QUIMBARA_EXE) under Wine and uses it like a person:
# drive.sh CASE runs one case_ function below.
set -euo pipefail
case=${1:?usage: drive.sh CASE}
. "$(dirname "$0")/../../tools/wine-env.sh"
quimbara_join_session
name=Mapa_Politico_de_Espana.jpg
map="$(dirname "$QUIMBARA_EXE")/$name"
work=$(mktemp -d)
dir="$work/Mis descargas/Quimbara ñ"
cleanup() { { [ -n "${program:-}" ] && kill "$program" 2>/dev/null; } || true; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $case: $*" >&2; exit 1; }

# Runs "${@:2}" until it succeeds, for at most $1 seconds.
within() {
  local deadline=$((SECONDS + $1))
  until "${@:2}"; do [ $SECONDS -lt "$deadline" ] && sleep 0.2 || return 1; done
}

# Starts program $1 from elsewhere, so that only its own folder can lead to the map.
launch() { (cd / && exec "$WINELOADER" "$1") & program=$!; }

# Copies the program, $map (unless empty) and "$@" into $dir and launches it.
start() { mkdir -p "$dir" && cp "$QUIMBARA_EXE" ${map:+"$map"} "$@" "$dir/" && launch "$dir/Quimbara.exe"; }

# Types speed $1 into the speed box; prints the main window's id.
answer_speed() {
  local prompt
  prompt=$(quimbara_wait_window Velocidad 60) || fail "no speed prompt"
  xdotool windowfocus --sync "$prompt" type --delay 50 "$1"
  xdotool key Return
  quimbara_wait_window Quimbara 30 || fail "the window did not appear"
}

# Alt+F4 on window $1, if given; the program must then end with 0 within 20 s.
close_expect_0() {
  [ -z "${1:-}" ] || xdotool windowfocus --sync "$1" key alt+F4
  timeout 20 tail --pid="$program" -f /dev/null || fail "still running 20 s later"
  wait "$program" || fail "exit code $?"
}

# The box titled Veltranico, alone, must read exactly $1; then Enter answers it.
expect_box() {
  local box text status=0
  box=$(quimbara_wait_window Veltranico 60) || fail "no message box"
  text=$(wine "$QUIMBARA_PROBE" | tr -d '\r') || status=$?
  [ "$status" != 2 ] || fail "the program shows another window beside the box"
  [ "$status" = 0 ] && [ "$text" = "$1" ] || fail "the box reads '$text', not '$1'"
  xdotool windowfocus --sync "$box" key Return
}

# Drags with the left button from map point ($1,$2) to ($3,$4), past the middle.
drag() {
  local at
  at=$(wine "$QUIMBARA_PROBE" origin | tr -d '\r') || fail "the map was not found on the screen"
  read -r ox oy <<<"$at"
  xdotool mousemove $((ox + $1)) $((oy + $2)) mousedown 1 \
    mousemove $((ox + ($1 + $3) / 2)) $((oy + ($2 + $4) / 2)) mousemove $((ox + $3)) $((oy + $4)) mouseup 1
}

# Within 10 s the screen must show the panel reading "... $1 km." and $2, pixel by pixel.
expect_panel() {
  within 10 wine "$QUIMBARA_PROBE" panel "La distancia entre esos dos puntos es de $1 km." "$2" >/dev/null ||
    fail "the panel does not read $1 km and '$2'"
}

# At each DPI above 96 another drag at another speed: the bars above the map
# grow, and the panel, text and all, stays in map pixels.
case_dpi() {
  local run dpi speed km hours minutes last=0
  log_pixels() { wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
  trap 'cleanup; log_pixels 96' EXIT  # the other cases expect 96
  for run in "120 95 200 250 1100 650 985 10 22" "144 120 350 400 700 530 373 3 6" "192 250 150 880 1200 150 1279 5 6"; do
    read -r dpi speed x1 y1 x2 y2 km hours minutes <<<"$run"
    case="dpi at $dpi DPI"
    log_pixels "$dpi" || fail "LogPixels could not be set"
    start
    window=$(answer_speed "$speed")
    drag "$x1" "$y1" "$x2" "$y2"
    [ "$oy" -gt "$last" ] || fail "the bars above the map did not grow: the map starts at y = $oy"
    last=$oy
    expect_panel "$km" "A $speed km/h = $hours horas y $minutes minutos"
    close_expect_0 "$window"
  done
  case=dpi
}

# No map beside the program: the "Missing file" box alone, then the end, with 0.
case_missing() {
  dir=$work/Κάρτα map= start
  expect_box "[GraphicLoadImageFileToBitmap] called on <$(wine winepath -w "$work")\\Κάρτα\\$name> Missing file"
  close_expect_0
}

# GDI+ that won't start. A DLL beside the program never stands in for GDI+
# from the side-by-side store: so a copy of the program has the manifest's
# GDI+ dependency blanked (same length: the exe stays whole), beside a
# gdiplus.dll whose every export the program imports fails (32-bit names end @12).
case_no_gdiplus() {
  local at=
  "$QUIMBARA_OBJDUMP" -f "$QUIMBARA_EXE" | grep -q 'pei-i386' && at=@12
  printf 'LIBRARY gdiplus.dll\nEXPORTS\n' >"$work/gdiplus.def"
  "$QUIMBARA_OBJDUMP" -p "$QUIMBARA_EXE" | awk -v at="$at" '/DLL Name:/ {on = tolower($3) == "gdiplus.dll"}
    on && NF == 3 && $2 ~ /^[0-9]+$/ {print $3 " = FailedStartup" at}' >>"$work/gdiplus.def"
  grep -q '^GdiplusStartup ' "$work/gdiplus.def" || fail "the program imports no GdiplusStartup"
  echo 'int __stdcall FailedStartup(void* a, void* b, void* c) { return 1; }' |
    "$QUIMBARA_CXX" -shared -static -o "$work/gdiplus.dll" -x c - -x none "$work/gdiplus.def"
  mkdir -p "$work/copy"
  perl -0777 -pe 's{<dependency>(?:(?!</dependency>).)*GdiPlus.*?</dependency>}{"<!--" . " " x (length($&) - 7) . "-->"}se or
    die' "$QUIMBARA_EXE" >"$work/copy/Quimbara.exe" || fail "the manifest names no GDI+"
  QUIMBARA_EXE=$work/copy/Quimbara.exe WINEDLLOVERRIDES="$WINEDLLOVERRIDES;gdiplus=n,b" start "$work/gdiplus.dll"
  expect_box "Error inicializando GDI+ ... (El programa necesita XP ó superior ...)"
  close_expect_0
}

# True once the loader's trace has loaded $1.dll; fails the case if that was
# from anywhere but Wine's system folders.
from_system() {
  local loads beside
  loads=$(grep -io "Loaded L\"[^\"]*\\\\$1\.dll\"" "$work/trace") || return 1
  beside=$(grep -vi '^Loaded L"C:\\\\windows\\\\' <<<"$loads") && fail "$1.dll loaded from elsewhere: $beside"
  return 0
}

# The release zip as a user gets it, unpacked into a folder with a blank and an accent: one
# folder of four files, texts any Notepad reads (byte order mark, CRLF) with the map's credits.
# Then DLLs of our own beside its program, named as DLLs it loads that are no KnownDLLs on
# Windows, with Wine told to look beside it first, as Windows does (n,b): none may be loaded.
# (Not tried: what only Wine's libraries load by a bare name: version, imm32, shcore,
# windowscodecs, propsys, msimg32.) Meanwhile a real drag of 500 km; then one (10 px on: no
# double-click) that leaves the window, is released outside, comes back and ends with a click.
case_package() {
  local files zip=$dir/Quimbara names="gdiplus uxtheme comctl32" n
  mkdir -p "$dir"
  (cd "$dir" && cmake -E tar xf "$QUIMBARA_ZIP") || fail "no $QUIMBARA_ZIP: tools/package.sh makes it"
  files=$(cd "$dir" && find . | LC_ALL=C sort | tr '\n' ' ')
  [ "$files" = ". ./Quimbara ./Quimbara/LEEME.txt ./Quimbara/LICENCIA.txt ./Quimbara/$name ./Quimbara/Quimbara.exe " ] ||
    fail "the zip unpacks to $files"
  LC_ALL=C awk 'FNR == 1 && !/^\xef\xbb\xbf/ || !/\r$/ {print FILENAME; exit 1}' "$zip"/*.txt ||
    fail "no byte order mark, or a line that does not end in CRLF"
  sed -n '/^const CREDITS = \[/,/^\];/s/^  "\(.*\)",$/\1/p' "$QUIMBARA_ROOT/map/src/generate.mjs" >"$work/credits"
  [ -s "$work/credits" ] && ! grep -vxFf <(tr -d '\r' <"$zip/LEEME.txt" | sed 's/^ *//') "$work/credits" ||
    fail "LEEME.txt lacks these credit lines"
  # Where the zip's own program can't run here, the x86_64 build takes its place.
  cmp -s "$QUIMBARA_EXE" "$zip/Quimbara.exe" || cp "$QUIMBARA_EXE" "$zip/Quimbara.exe"
  for n in $names; do echo 'int planted;' | "$QUIMBARA_CXX" -shared -o "$zip/$n.dll" -x c -; done
  WINEDEBUG=+loaddll WINEDLLOVERRIDES="$WINEDLLOVERRIDES;${names// /,}=n,b" launch "$zip/Quimbara.exe" 2>"$work/trace"
  within 30 from_system gdiplus || fail "gdiplus.dll was not loaded"
  window=$(answer_speed 70)
  drag 300 250 600 650
  expect_panel 500 "A 70 km/h = 7 horas y 8 minutos"
  xdotool mousemove $((ox + 310)) $((oy + 250)) mousedown 1 mousemove $((ox + 810)) $((oy + 450))
  red_near() { convert x:root -crop "7x7+$((ox + 557))+$((oy + 347))" -depth 8 txt:- | grep -c '#FF0000' >/dev/null; }
  within 10 red_near || fail "no band for the second drag"
  xdotool mousemove 1500 500 mouseup 1 mousemove $((ox + 1000)) $((oy + 550)) mousemove $((ox + 610)) $((oy + 750)) click 1
  expect_panel 583 "A 70 km/h = 8 horas y 19 minutos"
  close_expect_0 "$window"
  for n in $names; do from_system "$n" || fail "$n.dll was not loaded at all"; done
}

"case_$case"
echo "ok: $case"
