#!/usr/bin/env bash
# Installs what is missing, then builds:
#   build.sh             everything the tests need (below);
#   build.sh --program   the shipped program alone, into build/Quimbara/;
#   build.sh --runnable  the program that runs on this machine: the shipped
#                        one, or where 32-bit code can't run, the x86_64 build.
# The folders:
#   build/          the shipped 32-bit program (win32 threads), its release
#                   zip, its end-to-end tests and the static checks of the exe;
#   build-i686/     GoogleTest's suites for the 32-bit program (posix threads,
#                   against an installed GoogleTest, as MSYS2 builds them);
#   build-x86_64/   where 32-bit code can't run: the same sources for x86_64,
#                   with every test that Wine runs;
#   build-native/   the arithmetic tests under ASan and UBSan;
#   build-x87/      the arithmetic tests as a 32-bit Linux program with the
#                   i686 compiler's x87 code.
# Each folder registers only the tests that run on this machine
# (QUIMBARA_TESTS), so that a plain ctest passes in every one of them.
set -euo pipefail
# The exe's permissions go into the release zip: the same on every machine.
umask 022
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/arch.sh"
quimbara_setup
quimbara_arch
# QUIMBARA_BUILD puts a second build (and its own Wine prefix) elsewhere.
build=${QUIMBARA_BUILD:-$root/build}

# Configures folder $1 with the options "${@:2}", every time, so that a
# changed option takes effect. CMake keeps a folder's first toolchain file
# whatever -D says later: for another one the folder starts afresh.
configure() {
  local dir=$1 option toolchain= fresh=
  shift
  for option; do
    [[ $option == -DCMAKE_TOOLCHAIN_FILE=* ]] && toolchain=${option#*=}
  done
  if [ -f "$dir/CMakeCache.txt" ] &&
     [ "$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=//p' "$dir/CMakeCache.txt")" != "$toolchain" ]; then
    fresh=--fresh
  fi
  cmake $fresh -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

# The shipped program's folder; its end-to-end tests only where it runs.
configure_program() {
  local tests=release
  [ "$QUIMBARA_ARCH" = i686 ] && tests="release;e2e"
  configure "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DQUIMBARA_RELEASE_DIR="$build" -DQUIMBARA_TESTS="$tests"
}

program() {
  configure_program
  cmake --build "$build" --target Quimbara
}

x86_64() {
  configure "$build-x86_64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
    -DQUIMBARA_THREADS=posix -DQUIMBARA_RELEASE_DIR="$build" -DQUIMBARA_TESTS="unit;e2e"
  cmake --build "$build-x86_64" "$@"
}

# GoogleTest built with the posix cross compiler and installed, as MSYS2 has
# it; kept between runs, as it never changes.
install_gtest() {
  local prefix=$1
  [ -f "$prefix/lib/cmake/GTest/GTestConfig.cmake" ] && return 0
  cmake -S /usr/src/googletest -B "$prefix/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DQUIMBARA_THREADS=posix \
    -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
  cmake --build "$prefix/build" >/dev/null
  cmake --install "$prefix/build" >/dev/null
}

case ${1:-} in
  --program)
    program
    exit ;;
  --runnable)
    if [ "$QUIMBARA_ARCH" = i686 ]; then program; else x86_64 --target Quimbara; fi
    exit ;;
esac

configure_program
cmake --build "$build"
if [ "$QUIMBARA_ARCH" = i686 ]; then
  install_gtest "$build-gtest"
  configure "$build-i686" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DQUIMBARA_THREADS=posix -DGTest_DIR="$build-gtest/lib/cmake/GTest" -DQUIMBARA_RELEASE_DIR="$build" \
    -DQUIMBARA_TESTS=unit
  cmake --build "$build-i686"
  emulator=
else
  x86_64
  emulator=$(command -v qemu-i386-static)
fi
configure "$build-native" -DCMAKE_BUILD_TYPE=Debug
cmake --build "$build-native"
# Natively where 32-bit code runs, else emulated.
configure "$build-x87" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/linux-x87.cmake" -DQUIMBARA_SANITIZE=OFF \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator"
cmake --build "$build-x87"
