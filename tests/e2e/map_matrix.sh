#!/usr/bin/env bash
# Whatever lies beside the program under the map's name: a folder, files that
# are no picture at all, and pictures of every shape and kind GDI+ reads.
# Each case runs a copy of the program in a folder of its own, started from
# elsewhere, and must end with 0 in bounded time.
set -euo pipefail
exe=$1
PROBE=$2
. "$(dirname "$0")/../../tools/wine-env.sh"
. "$(dirname "$0")/lib.sh"

name=Mapa_Politico_de_Espana.jpg
work=$(mktemp -d)
program=
# A program that already died can't be killed: the folder goes all the same.
trap '{ [ -n "$program" ] && kill "$program" 2>/dev/null; } || true; rm -rf "$work"' EXIT

# A w x h picture in four colours, one to each quadrant, written with the
# options and to the file that follow: drawn shrunk, moved, mirrored, with
# its channels swapped or not stretched to the whole area, it can't pass for
# itself. No quadrant is white, so an undrawn map can't either.
quadrants() {
  local w=$1 h=$2 left=$(($1 / 2)) top=$(($2 / 2))
  shift 2
  convert \( -size "${left}x${top}" xc:'#d01818' -size "$((w - left))x${top}" xc:'#18a018' +append \) \
    \( -size "${left}x$((h - top))" xc:'#1818d0' -size "$((w - left))x$((h - top))" xc:'#e0c000' +append \) \
    -append "$@"
}
# ImageMagick's idea of what a file really is: "FORMAT WxH colourspace interlace".
kind_of() {
  identify -format '%m %wx%h %[colorspace] %[interlace]' "$1"
}

# A folder under the map's name is no map: the "Missing file" box, no window.
folder="$work/carpeta"
copy_program "$folder"
mkdir "$folder/$name"
start_copy "$folder"
text=$(box_text Veltranico 60) || fail "folder: no message box"
expected="[GraphicLoadImageFileToBitmap] called on <$(winepath -w "$folder")\\$name> Missing file"
[ "$text" = "$expected" ] || fail "folder: the box reads '$text', not '$expected'"
quimbara_wait_window Velocidad 1 >/dev/null && fail "folder: the speed prompt showed"
quimbara_wait_window Quimbara 1 >/dev/null && fail "folder: the main window showed"
box_text Veltranico 5 --ok >/dev/null
expect_exit_0 folder
echo "ok: a folder named $name"

# Files GDI+ can't read: the "read error" box, then the prompt, and the
# program carries on with a white map area.
convert -size 1267x900 xc:white "$work/white.png"
expect_read_error() {
  local folder=$work/$1 text expected window
  start_copy "$folder"
  text=$(box_text Veltranico 60 --ok) || fail "$1: no message box"
  expected="[GraphicLoadImageFileToBitmap] [GdipLoadImagefromFile] read error on <$(winepath -w "$folder")\\$name>"
  [ "$text" = "$expected" ] || fail "$1: the box reads '$text', not '$expected'"
  answer_speed_prompt || fail "$1: no speed prompt"
  window=$(quimbara_wait_window Quimbara 30) || fail "$1: the window did not appear"
  expect_map_area "$work/white.png" 0 "$1"
  close_with_alt_f4 "$window"
  expect_exit_0 "$1"
}
copy_program "$work/vacio"
: >"$work/vacio/$name"
expect_read_error vacio
echo "ok: an empty file"

copy_program "$work/texto"
printf 'Esto no es un mapa.\r\nSólo texto.\r\n' >"$work/texto/$name"
expect_read_error texto
echo "ok: a text file"

# Pictures GDI+ reads: no box, and the map area shows the picture stretched
# to 1267x990 whatever its own size and proportions. GDI+ and ImageMagick
# interpolate differently where colours meet, so a few thousand pixels may differ. A
# picture drawn a few per cent out of scale differs in tens of thousands,
# one drawn unstretched or not at all in hundreds of thousands.
expect_stretched() {
  local case=$1 folder=$work/$1 window
  convert "$folder/$name" -resize '1267x990!' -colorspace sRGB -type TrueColor "png24:$work/$case.png"
  start_copy "$folder"
  expect_prompt_not_box "$case"
  window=$(quimbara_wait_window Quimbara 30) || fail "$case: the window did not appear"
  expect_map_area "$work/$case.png" "$2" "$case"
  close_with_alt_f4 "$window"
  expect_exit_0 "$case"
}

copy_program "$work/png"
quadrants 640 480 "png:$work/png/$name"
[ "$(kind_of "$work/png/$name")" = "PNG 640x480 sRGB None" ] || fail "png: made $(kind_of "$work/png/$name")"
expect_stretched png 12000
echo "ok: a PNG under the map's name"

# One pixel over the whole area: one flat colour, with no fade towards the
# far edges.
copy_program "$work/pixel"
convert -size 1x1 xc:'#2060c0' -quality 95 "$work/pixel/$name"
[ "$(kind_of "$work/pixel/$name")" = "JPEG 1x1 sRGB None" ] || fail "1x1: made $(kind_of "$work/pixel/$name")"
expect_stretched pixel 0
echo "ok: a 1x1 picture"

copy_program "$work/cuadrado"
quadrants 600 600 -quality 95 "$work/cuadrado/$name"
expect_stretched cuadrado 12000
echo "ok: a 600x600 picture"

copy_program "$work/grande"
quadrants 8000 6000 -quality 90 "$work/grande/$name"
[ "$(kind_of "$work/grande/$name")" = "JPEG 8000x6000 sRGB None" ] || fail "large: made $(kind_of "$work/grande/$name")"
expect_stretched grande 12000
echo "ok: an 8000x6000 JPEG"

copy_program "$work/gris"
quadrants 800 600 -colorspace Gray -type Grayscale -quality 95 "$work/gris/$name"
[ "$(kind_of "$work/gris/$name")" = "JPEG 800x600 Gray None" ] || fail "grey: made $(kind_of "$work/gris/$name")"
expect_stretched gris 12000
echo "ok: a greyscale JPEG"

copy_program "$work/progresivo"
quadrants 1000 700 -interlace Plane -quality 95 "$work/progresivo/$name"
[ "$(kind_of "$work/progresivo/$name")" = "JPEG 1000x700 sRGB JPEG" ] || fail "progressive: made $(kind_of "$work/progresivo/$name")"
expect_stretched progresivo 12000
echo "ok: a progressive JPEG"
