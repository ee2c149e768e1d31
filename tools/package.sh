#!/usr/bin/env bash
# Builds Quimbara.exe and packs the release zip (tools/release-zip.cmake, which
# fixes its times) into build/release/: Quimbara-<version>-win32.zip, holding
# one folder Quimbara/ with the program, its map, LEEME.txt and LICENCIA.txt.
# Prints the zip's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh" --program >&2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/release/CMakeCache.txt")
echo "$root/build/release/Quimbara-$version-win32.zip"
