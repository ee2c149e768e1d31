#!/bin/sh
# Regenerates the map picture from the pinned open data.
#
#   map/make-map.sh [OUTPUT.jpg]     (default: map/Mapa_Politico_de_Espana.jpg)
#
# Needs node/npm, rsvg-convert (librsvg2-bin) and ImageMagick's convert.
set -eu

here=$(cd "$(dirname "$0")" && pwd)

# npm writes node_modules/.package-lock.json last, so its absence also means
# an install that was cut short.
if [ ! -f "$here/node_modules/.package-lock.json" ]; then
  (cd "$here" && npm ci --no-audit --no-fund --loglevel=error)
fi

if [ $# -gt 1 ]; then
  echo "usage: $0 [OUTPUT.jpg]" >&2
  exit 2
fi
if [ $# -eq 1 ]; then
  exec node "$here/src/generate.mjs" --out "$1"
fi
exec node "$here/src/generate.mjs"
