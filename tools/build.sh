#!/usr/bin/env bash
# Installs what is missing, then builds Quimbara.exe into build/Quimbara/
# (cross-compiled) with the test programs beside it, or with --program the
# program alone; with --native also the sanitizer build of the arithmetic
# tests into build-native/.
set -euo pipefail
# The exe's permissions go into the release zip: the same on every machine.
umask 022
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
# QUIMBARA_BUILD puts a second build (and its own Wine prefix) elsewhere.
build=${QUIMBARA_BUILD:-$root/build}
native=${QUIMBARA_BUILD:-$root/build}-native

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
if [ "${1:-}" = --program ]; then
  cmake --build "$build" --target Quimbara
else
  cmake --build "$build"
fi

if [ "${1:-}" = --native ]; then
  if [ ! -f "$native/build.ninja" ]; then
    cmake -S "$root" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
  fi
  cmake --build "$native"
fi
