#!/usr/bin/env bash
# Measures Quimbara as a user feels it, under Wine in a private Xvfb screen,
# and prints a table: time per pointer move against the bare GDI floor,
# start-up against a minimal dialog program, idle CPU, memory, file sizes.
# Measures the shipped program, or where the machine runs no 32-bit code
# (tools/arch.sh), the x86_64 build of the same sources.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/arch.sh"
quimbara_setup
quimbara_arch
# The benchmarks are built in the test tree of the width that runs here; the
# start-up is the shipped exe's where it runs.
if [ "$QUIMBARA_ARCH" = i686 ]; then
  export WINEARCH=win32
  "$root/tools/build.sh" release win32 >&2
  exe=$root/build/release/Quimbara/Quimbara.exe
else
  export WINEARCH=win64
  "$root/tools/build.sh" win64 >&2
  exe=$root/build/win64/Quimbara/Quimbara.exe
fi
build=$root/build/$WINEARCH
echo "Measuring the $QUIMBARA_ARCH build: $QUIMBARA_ARCH_WHY." >&2
. "$root/tools/wine-env.sh"
session=$(mktemp -d)
trap 'quimbara_stop_xvfb "$session"' EXIT
quimbara_start_session "$session"

minimal="$build/bench/minimal_dialog.exe"
runs=${QUIMBARA_BENCH_RUNS:-7}

median() { sort -n | awk '{v[NR]=$1} END{print v[int((NR+1)/2)]}'; }

# Launch -> first box on the screen, in milliseconds.
time_to_box() {
  local title=$1; shift
  local t0 t1 id
  t0=$(date +%s%N)
  "$WINELOADER" "$@" >/dev/null 2>&1 &
  local pid=$!
  # No pause between looks: each takes a few milliseconds, the timing's resolution.
  id=$(quimbara_wait_window "$title" 60 0)
  t1=$(date +%s%N)
  xdotool windowfocus --sync "$id" key Escape
  if [ "$title" = Velocidad ]; then
    id=$(quimbara_wait_window Quimbara 30)
    xdotool windowfocus --sync "$id" key alt+F4
  fi
  wait "$pid" || true
  echo $(((t1 - t0) / 1000000))
}

time_to_box Velocidad "$exe" >/dev/null  # warm the file cache and Wine
time_to_box Minimal "$minimal" >/dev/null
start_q=$(for _ in $(seq "$runs"); do time_to_box Velocidad "$exe"; done | median)
start_m=$(for _ in $(seq "$runs"); do time_to_box Minimal "$minimal"; done | median)

# CPU used over 5 s with the window open and nothing happening.
"$WINELOADER" "$exe" >/dev/null 2>&1 &
program=$!
id=$(quimbara_wait_window Velocidad 60)
xdotool windowfocus --sync "$id" key Return
window=$(quimbara_wait_window Quimbara 30)
sleep 1
# wine becomes the program's own process: the PID started here is the one to watch.
grep -q Quimbara.exe "/proc/$program/cmdline" || { echo "bench: $program is not Quimbara" >&2; exit 1; }
ticks() { awk '{print $14 + $15}' "/proc/$program/stat"; }
c0=$(ticks)
sleep 5
c1=$(ticks)
idle_ms=$(((c1 - c0) * 1000 / $(getconf CLK_TCK)))
xdotool windowfocus --sync "$window" key alt+F4
wait "$program" || true

moves=$(wine "$build/bench/move_bench.exe")
# Where the start-up goes, step by step (one run after the warm-up above).
steps=$(wine "$build/bench/startup_bench.exe")
value() { printf '%s\n%s\n' "$moves" "$steps" | awk -v k="$1" '$1 == k {print $2}'; }

cat <<TABLE
| Measure | Quimbara | Reference | Goal |
| --- | --- | --- | --- |
| One pointer move during a drag (median of $(value moves)) | $(value move_program_ms) ms | floor $(value move_floor_ms) ms ($(value move_ratio) x) | <= 1.25 x floor |
| The same, sent from another process (median of 5,000) | $(value cross_program_ms) ms | bare STATIC $(value cross_floor_ms) ms ($(value cross_ratio) x) | <= 1.15 x |
| Launch to speed prompt on screen (median of $runs) | $start_q ms | minimal dialog $start_m ms ($(awk -v a="$start_q" -v b="$start_m" 'BEGIN{printf "%.2f", a/b}') x) | <= 2 x |
| Start-up steps: process to main / GDI+ start / map decode / window creation / initialisation to box | $(value process_start_to_main_ms) / $(value gdiplus_start_ms) / $(value map_decode_ms) / $(value window_creation_ms) / $(value initialisation_to_box_ms) ms | | |
| CPU used in 5 s idle | $idle_ms ms | | ~0 |
| Working set after start-up / after $(value moves) moves | $(value working_set_start_mb) MB / $(value working_set_after_mb) MB | growth $(value working_set_growth_mb) MB | <= 1 MB |
| Quimbara.exe / map | $(($(stat -c %s "$exe") / 1024)) KB / $(($(stat -c %s "$build/Quimbara/Mapa_Politico_de_Espana.jpg") / 1024)) KB | | |
TABLE
