#!/usr/bin/env bash
# The map file as the whole program meets it: missing, damaged, and in a
# folder whose name is outside the ANSI code page. Each case runs a copy of
# the program in a folder of its own, started from elsewhere.
set -euo pipefail
exe=$1
PROBE=$2
. "$(dirname "$0")/../../tools/wine-env.sh"
. "$(dirname "$0")/lib.sh"

map="$(dirname "$exe")/Mapa_Politico_de_Espana.jpg"
work=$(mktemp -d)
program=
trap '{ [ -n "$program" ] && kill $program 2>/dev/null; } || true; rm -rf "$work"' EXIT

# No map: the "Missing file" box, no window at all, then the end with 0.
copy_program "$work/sin_mapa"
start_copy "$work/sin_mapa"
text=$(box_text Veltranico 60) || fail "missing: no message box"
expected="[GraphicLoadImageFileToBitmap] called on <$(winepath -w "$work/sin_mapa")\\Mapa_Politico_de_Espana.jpg> Missing file"
[ "$text" = "$expected" ] || fail "missing: the box reads '$text', not '$expected'"
quimbara_wait_window Velocidad 1 >/dev/null && fail "missing: the speed prompt showed"
quimbara_wait_window Quimbara 1 >/dev/null && fail "missing: the main window showed"
box_text Veltranico 5 --ok >/dev/null
expect_exit_0 missing
quimbara_wait_window Velocidad 1 >/dev/null && fail "missing: the speed prompt showed after the box"
echo "ok: missing map"

# A damaged map: the "read error" box, then the prompt and a white map area.
copy_program "$work/danado"
head -c 30000 "$map" >"$work/danado/Mapa_Politico_de_Espana.jpg"
start_copy "$work/danado"
text=$(box_text Veltranico 60 --ok) || fail "damaged: no message box"
expected="[GraphicLoadImageFileToBitmap] [GdipLoadImagefromFile] read error on <$(winepath -w "$work/danado")\\Mapa_Politico_de_Espana.jpg>"
[ "$text" = "$expected" ] || fail "damaged: the box reads '$text', not '$expected'"
answer_speed_prompt || fail "damaged: no speed prompt"
window=$(quimbara_wait_window Quimbara 30) || fail "damaged: the window did not appear"
convert -size 1267x900 xc:white "$work/white.png"
expect_map_area "$work/white.png" 0 damaged
close_with_alt_f4 "$window"
expect_exit_0 damaged
echo "ok: damaged map"

# A folder named outside code page 1252 still leads to the map.
folder="$work/Κάρτα"
copy_program "$folder"
cp "$map" "$folder/"
start_copy "$folder"
expect_prompt_not_box "Greek folder"
window=$(quimbara_wait_window Quimbara 30) || fail "Greek folder: the window did not appear"
expect_map_area "$map" 100 "Greek folder"
close_with_alt_f4 "$window"
expect_exit_0 "Greek folder"
echo "ok: map in a folder named Κάρτα"

# A path longer than MAX_PATH is still followed to the map.
folder="$work/$(printf 'carpeta_bastante_larga_%02d/' $(seq 1 12))"
copy_program "$folder"
cp "$map" "$folder/"
[ "$(winepath -w "$folder/Quimbara.exe" | tr -d '\n' | wc -c)" -gt 260 ] || fail "the long path is too short"
start_copy "$folder"
expect_prompt_not_box "long path"
window=$(quimbara_wait_window Quimbara 30) || fail "long path: the window did not appear"
close_with_alt_f4 "$window"
expect_exit_0 "long path"
echo "ok: map at the end of a path longer than MAX_PATH"
