#!/usr/bin/env bash
# check_exe.sh ZIP IMPORTS: the release zip's Quimbara.exe read as a file,
# without running it: a 32-bit GUI program that XP starts, importing exactly
# the functions listed in IMPORTS, carrying its icon, manifest and version.
set -euo pipefail
zip=$(realpath "$1") expected=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

(cd "$work" && cmake -E tar xf "$zip" Quimbara/Quimbara.exe) || { echo "FAIL: no exe in $zip" >&2; exit 1; }
exe=$work/Quimbara/Quimbara.exe
i686-w64-mingw32-objdump -p "$exe" >"$work/headers"
header() { awk -v k="$1" '$1 == k {print $2; exit}' "$work/headers"; }

grep -q 'file format pei-i386' "$work/headers" || fail "not an i386 PE file"
[ "$(header Magic)" = 010b ] || fail "not PE32 (magic $(header Magic))"
[ "$(header Subsystem)" = 00000002 ] || fail "not a Windows GUI program (subsystem $(header Subsystem))"
# Windows refuses a program that asks for a later version than its own: XP is 5.1.
version=$(header MajorSubsystemVersion)$(header MinorSubsystemVersion)
[ "${#version}" = 2 ] && [ "$version" -le 51 ] || fail "subsystem version $version is later than XP's"

awk '/DLL Name:/ {dll = $3} dll && NF == 3 && $2 ~ /^[0-9]+$/ {print dll, $3}' "$work/headers" |
  sort -f >"$work/imports"
grep -v '^#' "$expected" | grep . | sort -f >"$work/allowed"
diff -u "$work/allowed" "$work/imports" >"$work/imports.diff" ||
  fail "imports differ from $expected (+ new, - gone):$(echo; tail -n +3 "$work/imports.diff" | grep '^[-+]')"

# The icon group 200: six 32-bit images, 256 to 16 pixels.
wrestool -x --type=14 --name=200 "$exe" >"$work/icon.ico" 2>/dev/null || fail "no icon group 200"
sizes=$(icotool -l "$work/icon.ico" 2>/dev/null |
  sed -n 's/.*--width=\([0-9]*\) --height=\([0-9]*\) --bit-depth=32.*/\1x\2/p' | tr '\n' ' ')
[ "$sizes" = "256x256 128x128 64x64 48x48 32x32 16x16 " ] || fail "icon group 200 holds '$sizes'"

manifest=$(wrestool -x --raw --type=24 --name=1 "$exe" 2>/dev/null | tr -s ' \n' ' ')
# Windows starts no program whose dependency it can't find in the side-by-side store.
assembly='processorArchitecture="x86" publicKeyToken="6595b64144ccf1df" language="*"'
for part in "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" $assembly" \
            "name=\"Microsoft.Windows.GdiPlus\" version=\"1.0.0.0\" $assembly" \
            '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>'; do
  [[ $manifest == *"$part"* ]] || fail "the manifest lacks $part"
done

# The version record's texts are UTF-16: its table for Spanish (040A) in code page 1252 (04E4).
version=$(wrestool -x --raw --type=16 --name=1 "$exe" 2>/dev/null | strings -el | tr '\n' '|')
for part in '040A04E4|' 'FileVersion|1.2.1.2|' 'ProductName|Quimbara|'; do
  [[ $version == *"$part"* ]] || fail "the version record lacks ${part//|/ }"
done

[ $failed = 0 ] && echo "ok: $zip holds a 32-bit GUI Quimbara.exe for XP or later"
exit $failed
