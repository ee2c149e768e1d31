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

trap quimbara_stop_xvfb EXIT
quimbara_start_xvfb
quimbara_wine_prefix
# One persistent wineserver: otherwise CTest waits for Wine's helper
# processes to wind down after every test.
wineserver -p
# Wine's background services start with the first program. Start them here,
# away from CTest's pipes, so that no test waits for them to end.
wine cmd /c exit >/dev/null 2>&1 </dev/null

status=0
ctest --test-dir "${QUIMBARA_BUILD:-$root/build}" --output-on-failure -j2 || status=1
ctest --test-dir "${QUIMBARA_BUILD:-$root/build}-native" --output-on-failure -j2 || status=1
exit $status
