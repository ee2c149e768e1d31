#!/usr/bin/env bash
# CTest's emulator: wine-run.sh win32|win64 BUILD PROGRAM ARGS... runs a
# Windows test program under the Wine prefix of that build and width, on
# the screen of the tests' session.
export WINEARCH=$1 QUIMBARA_WINE_HOME=$2
shift 2
. "$(dirname "$0")/wine-env.sh"
quimbara_join_session
# Wine's helper processes may outlive the program: they must not hold the
# pipes CTest reads to the end, so the output goes through files.
out=$(mktemp)
err=$(mktemp)
status=0
"$WINELOADER" "$@" </dev/null >"$out" 2>"$err" || status=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit $status
