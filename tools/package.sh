#!/usr/bin/env bash
# Builds Quimbara.exe and packs the release zip into the build folder:
# Quimbara-<version>-win32.zip, holding one folder Quimbara/ with the program,
# its map, LEEME.txt and LICENCIA.txt. Prints the zip's path. (A full build
# packs it too: tools/release-zip.cmake, which fixes its times.)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUIMBARA_BUILD:-$root/build}
"$root/tools/build.sh" --program >&2
cmake --build "$build" --target release_zip >&2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
echo "$build/Quimbara-$version-win32.zip"
