#!/usr/bin/env bash
# Installs what building, running and testing Quimbara needs on Debian 12.
# Safe to run again: when everything is there it only checks and returns.
# Both widths' compilers on every machine; what runs them depends on the
# machine (tools/arch.sh): 32-bit Wine where 32-bit code runs, elsewhere
# qemu-user for the 32-bit arithmetic tests.
set -euo pipefail
# Once per command (quimbara_setup in tools/arch.sh).
[ -z "${QUIMBARA_SET_UP:-}" ] || exit 0
. "$(dirname "$0")/arch.sh"

common=(
  g++-mingw-w64-i686 mingw-w64-i686-dev g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
  cmake ninja-build googletest
  wine wine64 fonts-wine xvfb xauth xdotool x11-utils imagemagick icoutils
  librsvg2-bin libjpeg-turbo-progs fonts-dejavu-core
  g++ g++-multilib nodejs npm
)
only_i686=(wine32:i386)
only_x86_64=(qemu-user-static)

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive
updated=

# Installs those of "$@" that are missing, with apt-get.
install() {
  local missing=() keep=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  # The machine may already have node/npm from elsewhere than Debian.
  if command -v node >/dev/null && command -v npm >/dev/null; then
    for p in "${missing[@]+"${missing[@]}"}"; do [[ $p == nodejs || $p == npm ]] || keep+=("$p"); done
    missing=("${keep[@]+"${keep[@]}"}")
  fi
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "setup: installing ${missing[*]} and what they need with apt-get (the first time takes a few minutes)" >&2
  if [ -z "$updated" ]; then
    $SUDO apt-get update -qq
    updated=1
  fi
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null >/dev/null
}

install "${common[@]}"
quimbara_arch
if [ "$QUIMBARA_ARCH" = i686 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    updated=
  fi
  install "${only_i686[@]}"
else
  install "${only_x86_64[@]}"
fi
