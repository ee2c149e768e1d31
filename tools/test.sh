#!/usr/bin/env bash
# Installs what is missing, builds, packs the release zip and runs every test
# through CTest: the Windows tests under Wine inside a private Xvfb screen,
# and the arithmetic tests natively under ASan and UBSan. Then builds the
# program a second time, cleanly, in another folder, configured as on Windows
# against an installed GoogleTest: the exe and the zip must come out byte for
# byte the same, and that build's unit tests must pass too. Exits non-zero on
# any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUIMBARA_BUILD:-$root/build}
"$root/tools/build.sh" --native
zip=$("$root/tools/package.sh")
# The map's own tests use its pinned Node packages: install them again
# whenever the lock file is newer than what was installed from it.
if [ "$root/map/package-lock.json" -nt "$root/map/node_modules/.package-lock.json" ]; then
  (cd "$root/map" && npm ci --no-audit --no-fund --loglevel=error)
fi
. "$root/tools/wine-env.sh"

# GoogleTest built with the cross compiler and installed, as MSYS2 has it;
# kept between runs, as it never changes.
install_gtest() {
  local prefix=$1
  [ -f "$prefix/lib/cmake/GTest/GTestConfig.cmake" ] && return 0
  cmake -S /usr/src/googletest -B "$prefix/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DBUILD_GMOCK=OFF \
    -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null &&
    cmake --build "$prefix/build" >/dev/null &&
    cmake --install "$prefix/build" >/dev/null
}

check_second_build() {
  local again=$build-again gtest=$build-gtest
  install_gtest "$gtest" || return 1
  rm -rf "$again"
  cmake -S "$root" -B "$again" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DGTest_DIR="$gtest/lib/cmake/GTest" >/dev/null || return 1
  QUIMBARA_BUILD=$again "$root/tools/package.sh" >/dev/null || return 1
  cmake --build "$again" --target core_tests >/dev/null || return 1
  grep -q "^FIND_PACKAGE_MESSAGE_DETAILS_GTest:INTERNAL=\[$gtest/" "$again/CMakeCache.txt" || {
    echo "FAIL: the second build did not take the installed GoogleTest" >&2
    return 1
  }
  if ! cmp "$build/Quimbara/Quimbara.exe" "$again/Quimbara/Quimbara.exe" ||
     ! cmp "$zip" "$again/${zip##*/}"; then
    echo "FAIL: two clean builds of the same sources differ" >&2
    return 1
  fi
  echo "Two clean builds, the same bytes:"
  sha256sum "$zip" "$build/Quimbara/Quimbara.exe"
  wine "$again/tests/core_tests.exe" --gtest_brief=1
}

quimbara_start_session

status=0
ctest --test-dir "$build" --output-on-failure -j2 || status=1
ctest --test-dir "$build-native" --output-on-failure -j2 || status=1
check_second_build || status=1
exit $status
