#!/usr/bin/env bash
# Installs what is missing, then configures and builds the trees of
# CMakePresets.json, each in build/<tree>/:
#   release  the shipped 32-bit program (win32 threads) in build/release/Quimbara/,
#            its zip, and the checks of them as files;
#   win32    i686 with the posix compilers, which GoogleTest needs: every
#            test, the end-to-end probe and the benchmarks;
#   win64    the same for x86_64;
#   native   the arithmetic under ASan and UBSan;
#   x87      the arithmetic as 32-bit Linux x87 code, as the i686 compiler makes it.
# Every tree is built whatever this machine can run, so that a compile error
# in either width fails here rather than on the next machine.
#   build.sh             every tree;
#   build.sh TREE...     those trees;
#   build.sh --program   the shipped program and its zip alone;
#   build.sh --runnable  the program that runs here: the shipped one, or where
#                        32-bit code can't run (tools/arch.sh), the win64 one.
set -euo pipefail
# The exe's permissions go into the release zip: the same on every machine.
umask 022
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/arch.sh"
quimbara_setup
cd "$root"

# Configured every time, so that a changed preset takes effect.
tree() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" ${2:+--target "$2"}
}

case ${1:-} in
  --program) tree release ;;
  --runnable)
    quimbara_arch
    if [ "$QUIMBARA_ARCH" = i686 ]; then tree release; else tree win64 Quimbara; fi ;;
  "") for t in release win32 win64 native x87; do tree "$t"; done ;;
  *) for t; do tree "$t"; done ;;
esac
