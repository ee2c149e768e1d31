#!/usr/bin/env bash
# Installs what is missing, builds, packs the release zip and runs every test
# through CTest, saying first which build is tested and why (tools/arch.sh):
#   where 32-bit code runs, the shipped Quimbara.exe itself under 32-bit Wine;
#   elsewhere an x86_64 build of the same sources under 64-bit Wine, with the
#   shipped exe checked statically and its arithmetic run under qemu-i386.
# The Windows tests run inside a private Xvfb screen, which CTest starts and
# stops around them (tools/wine-session.sh); the arithmetic tests also run
# natively under ASan and UBSan, and as 32-bit x87 code. Then builds the
# program a second time, cleanly, in another folder: the exe and the zip must
# come out byte for byte the same. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUIMBARA_BUILD:-$root/build}
. "$root/tools/arch.sh"
# Says itself what it installs, if anything; the probe below needs gcc.
quimbara_setup
quimbara_arch
if [ "$QUIMBARA_ARCH" = i686 ]; then
  echo "Testing the shipped 32-bit Quimbara.exe under 32-bit Wine: $QUIMBARA_ARCH_WHY."
else
  echo "Testing an x86_64 build of the same sources under 64-bit Wine: $QUIMBARA_ARCH_WHY." \
    "The shipped 32-bit exe is checked statically, and its arithmetic runs under qemu-i386."
fi
"$root/tools/build.sh"
zip=$("$root/tools/package.sh")

check_second_build() {
  local again=$build-again
  rm -rf "$again"
  QUIMBARA_BUILD=$again "$root/tools/package.sh" >/dev/null || return 1
  if ! cmp "$build/Quimbara/Quimbara.exe" "$again/Quimbara/Quimbara.exe" ||
     ! cmp "$zip" "$again/${zip##*/}"; then
    echo "FAIL: two clean builds of the same sources differ" >&2
    return 1
  fi
  echo "Two clean builds, the same bytes:"
  sha256sum "$zip" "$build/Quimbara/Quimbara.exe"
}

# Each folder holds only the tests that run here (tools/build.sh), and
# each build's tests start and stop their own private screen and wineserver.
status=0
if [ "$QUIMBARA_ARCH" = i686 ]; then wine_tests=$build-i686; else wine_tests=$build-x86_64; fi
for dir in "$build" "$wine_tests" "$build-native" "$build-x87"; do
  ctest --test-dir "$dir" --output-on-failure -j2 || status=1
done
check_second_build || status=1
exit $status
