#!/usr/bin/env bash
# Each folder includes only from itself and the folders below it:
# app -> measure -> canvas -> common. Prints what breaks that and fails.
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
while read -r folder allowed; do
  while IFS= read -r hit; do
    echo "FAIL: $hit reaches above $folder/" >&2
    status=1
  done < <(cd "$root" && grep -n '#include "' "$folder"/* | grep -vE "#include \"($allowed)/")
done <<'LAYERS'
common common
canvas canvas|common
measure measure|canvas|common
app app|measure|canvas|common|res
LAYERS
exit $status
