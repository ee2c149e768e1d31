#!/usr/bin/env bash
# Each folder includes only from itself and those below it, in the order
# app, measure, canvas, common. Prints what reaches above and fails.
cd "$(dirname "$0")/.." || exit 1
below="common"
status=0
for folder in common canvas measure app; do
  [ "$folder" = common ] || below="$folder|$below"
  [ "$folder" = app ] && below="$below|res"
  grep -n '#include "' "$folder"/* | grep -vE "#include \"($below)/" && status=1
done
exit $status
