#!/usr/bin/env bash
# Installs what is missing, builds every tree of both widths (tools/build.sh)
# and runs their tests through CTest, saying first what runs and why
# (tools/arch.sh):
#   everywhere, the x86_64 build under 64-bit Wine, the checks of the shipped
#   exe and zip as files, and the arithmetic under ASan and UBSan;
#   where 32-bit code runs, the i686 build under 32-bit Wine as well, the
#   shipped Quimbara.exe end to end included;
#   elsewhere the arithmetic as 32-bit x87 code under qemu-i386 instead.
# The Windows tests run inside a private Xvfb screen, which CTest starts and
# stops around them (tools/wine-session.sh). Then builds the program a second
# time, cleanly, in another folder: the exe and the zip must come out byte for
# byte the same. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/arch.sh"
# Says itself what it installs, if anything; the probe below needs gcc.
quimbara_setup
quimbara_arch
if [ "$QUIMBARA_ARCH" = i686 ]; then
  trees="release win64 win32 native"
  echo "Building both widths; testing the x86_64 build under 64-bit Wine and the shipped 32-bit" \
    "Quimbara.exe under 32-bit Wine: $QUIMBARA_ARCH_WHY."
else
  trees="release win64 native x87"
  echo "Building both widths; testing the x86_64 build under 64-bit Wine: $QUIMBARA_ARCH_WHY." \
    "The i686 tests are built but can't run; the shipped exe is checked as a file, and its arithmetic runs under qemu-i386."
fi
"$root/tools/build.sh"

# The exe and the zip of a second clean build, in another folder.
check_second_build() {
  local again=$root/build/release-again zip
  zip=$(cd "$root/build/release" && ls Quimbara-*-win32.zip)
  rm -rf "$again"
  (cd "$root" && cmake --preset release -B "$again" >/dev/null && cmake --build "$again" >/dev/null) || return 1
  if ! cmp "$root/build/release/Quimbara/Quimbara.exe" "$again/Quimbara/Quimbara.exe" ||
     ! cmp "$root/build/release/$zip" "$again/$zip"; then
    echo "FAIL: two clean builds of the same sources differ" >&2
    return 1
  fi
  echo "Two clean builds, the same bytes:"
  sha256sum "$root/build/release/$zip" "$root/build/release/Quimbara/Quimbara.exe"
}

# Each tree's Wine tests start and stop their own private screen and wineserver.
status=0
for tree in $trees; do
  (cd "$root" && ctest --preset "$tree") || status=1
done
check_second_build || status=1
exit $status
