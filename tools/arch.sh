# Sourced by the other scripts. quimbara_setup runs tools/setup.sh once per
# command: the scripts it starts inherit QUIMBARA_SET_UP, and skip it.
# quimbara_arch decides which Windows builds this machine can run (both are
# built everywhere), and exports:
#   QUIMBARA_ARCH       i686: the shipped 32-bit exe runs here, under 32-bit
#                       Wine, besides the 64-bit build under 64-bit Wine;
#                       x86_64: it can't, and only the 64-bit build runs.
#   QUIMBARA_ARCH_WHY   the reason, in words.
# It runs a tiny 32-bit program rather than guessing: some kernels run no
# 32-bit code at all. QUIMBARA_ARCH=x86_64 in the environment takes the
# 64-bit path on any machine, so that it can be checked anywhere.
QUIMBARA_ROOT=${QUIMBARA_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}

quimbara_setup() {
  [ -n "${QUIMBARA_SET_UP:-}" ] || "$QUIMBARA_ROOT/tools/setup.sh"
  export QUIMBARA_SET_UP=1
}

# Prints the exit status of the 32-bit probe: 0 where 32-bit code runs.
# A probe that doesn't compile tells nothing about the machine: then it
# fails, saying so.
quimbara_probe32() {
  local dir status=0 log
  dir=$(mktemp -d)
  if ! log=$(gcc -m32 -static -nostdlib -o "$dir/probe32" "$QUIMBARA_ROOT/tools/probe32.c" 2>&1); then
    rm -rf "$dir"
    echo "The 32-bit probe (tools/probe32.c) did not compile, so it can't tell whether this machine runs 32-bit code." \
      "It needs gcc -m32, from g++-multilib (tools/setup.sh installs it). gcc said:" >&2
    echo "$log" >&2
    return 1
  fi
  "$dir/probe32" 2>/dev/null || status=$?
  rm -rf "$dir"
  echo "$status"
}

quimbara_arch() {
  # Decided once, by the first script; the others it starts inherit it.
  [ -n "${QUIMBARA_ARCH_WHY:-}" ] && return 0
  if [ "$(uname -m)" != x86_64 ]; then
    echo "Quimbara is built and tested on x86_64 Linux, and this machine is $(uname -m)." >&2
    return 1
  fi
  local status=0
  case ${QUIMBARA_ARCH:-} in
    x86_64)
      QUIMBARA_ARCH_WHY="QUIMBARA_ARCH=x86_64 asks for the 64-bit path" ;;
    i686 | "")
      command -v gcc >/dev/null || { echo "The 32-bit probe needs gcc: run tools/setup.sh." >&2; return 1; }
      status=$(quimbara_probe32) || return 1
      if [ "$status" = 0 ]; then
        QUIMBARA_ARCH=i686 QUIMBARA_ARCH_WHY="this machine runs 32-bit code"
      elif [ -n "${QUIMBARA_ARCH:-}" ]; then
        echo "QUIMBARA_ARCH=i686 asks for the 32-bit path, but this machine runs no 32-bit code (a tiny 32-bit program ended with status $status)." >&2
        return 1
      else
        QUIMBARA_ARCH=x86_64
        QUIMBARA_ARCH_WHY="this machine runs no 32-bit code (a tiny 32-bit program ended with status $status)"
      fi ;;
    *)
      echo "QUIMBARA_ARCH must be i686 or x86_64, not '$QUIMBARA_ARCH'." >&2
      return 1 ;;
  esac
  export QUIMBARA_ARCH QUIMBARA_ARCH_WHY
}
