#!/usr/bin/env bash
# Renders res/quimbara.svg at each icon size and packs them into
# res/quimbara.ico (32-bit images of 256, 128, 64, 48, 32 and 16 pixels).
# Needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pngs=()
for size in 256 128 64 48 32 16; do
  rsvg-convert -w "$size" -h "$size" "$here/quimbara.svg" -o "$work/$size.png"
  pngs+=("$work/$size.png")
done
convert "${pngs[@]}" -depth 8 "$here/quimbara.ico"
identify "$here/quimbara.ico"
