#!/usr/bin/env bash
# Installs what building, running and testing Quimbara needs on Debian 12.
# Safe to run again: when everything is there it only checks and returns.
set -euo pipefail

packages=(
  g++-mingw-w64-i686 mingw-w64-i686-dev cmake ninja-build googletest
  wine wine32:i386 wine64 fonts-wine xvfb xauth xdotool x11-utils imagemagick
  librsvg2-bin libjpeg-turbo-progs fonts-dejavu-core
  g++ nodejs npm
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# The machine may already have node/npm from elsewhere than Debian.
if command -v node >/dev/null && command -v npm >/dev/null; then
  keep=(); for p in "${missing[@]}"; do [[ $p == nodejs || $p == npm ]] || keep+=("$p"); done
  missing=("${keep[@]+"${keep[@]}"}")
fi
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
echo "setup: installing ${missing[*]} and what they need with apt-get (the first time takes a few minutes)" >&2
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null >/dev/null
