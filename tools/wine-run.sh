#!/usr/bin/env bash
# CTest's emulator: wine-run.sh win32|win64 PROGRAM ARGS... runs a Windows
# test executable under the project's Wine prefix of that width.
export WINEARCH=$1
shift
. "$(dirname "$0")/wine-env.sh"
exec "$WINELOADER" "$@"
