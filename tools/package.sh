#!/usr/bin/env bash
# Builds Quimbara.exe and packs the release zip into the build folder:
# Quimbara-<version>-win32.zip, holding one folder Quimbara/ with the program,
# its map, LEEME.txt and LICENCIA.txt. Prints the zip's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUIMBARA_BUILD:-$root/build}
"$root/tools/build.sh" --program >&2

# The zip records times: make them all the commit's, so that one commit gives
# the same bytes on any machine and at any hour. (Outside a git checkout:
# 1980-01-01, the earliest time a zip can hold.)
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}
export SOURCE_DATE_EPOCH TZ=UTC
cmake --build "$build" --target release_zip >&2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
echo "$build/Quimbara-$version-win32.zip"
