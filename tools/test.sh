#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest:
# the Windows tests under Wine inside a private Xvfb screen, and the
# arithmetic tests natively under ASan and UBSan. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh" --native
# The map's own tests use its pinned Node packages.
[ -f "$root/map/node_modules/.package-lock.json" ] ||
  (cd "$root/map" && npm ci --no-audit --no-fund --loglevel=error)
. "$root/tools/wine-env.sh"

quimbara_start_session

status=0
ctest --test-dir "${QUIMBARA_BUILD:-$root/build}" --output-on-failure -j2 || status=1
ctest --test-dir "${QUIMBARA_BUILD:-$root/build}-native" --output-on-failure -j2 || status=1
exit $status
