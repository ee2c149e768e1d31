#!/usr/bin/env bash
# Runs a Windows test executable under the project's Wine prefix (CTest's emulator).
. "$(dirname "$0")/wine-env.sh"
exec wine "$@"
