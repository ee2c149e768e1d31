# Sourced by the other scripts: a project-local Wine prefix, quiet.
# WINEARCH win32 (the default) runs the 32-bit program; win64 runs a 64-bit
# build, in a prefix of its own. Each goes straight to Wine's loader of that
# width: the plain `wine` command always prefers the 32-bit one, which can't
# start where the kernel runs no 32-bit code.
QUIMBARA_ROOT=${QUIMBARA_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEARCH=${WINEARCH:-win32}
if [ "$WINEARCH" = win64 ]; then
  export WINELOADER=/usr/lib/wine/wine64
  QUIMBARA_PREFIX_NAME=wineprefix64
else
  export WINELOADER=/usr/lib/wine/wine
  QUIMBARA_PREFIX_NAME=wineprefix
fi
export WINEPREFIX=${QUIMBARA_WINEPREFIX:-${QUIMBARA_BUILD:-$QUIMBARA_ROOT/build}/$QUIMBARA_PREFIX_NAME}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs: the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
wine() { "$WINELOADER" "$@"; }

# Makes the prefix once (a few seconds). With no window manager under Xvfb,
# Wine's managed windows get no caption and every hide blocks for seconds,
# so the prefix lets Wine draw the frames itself; with --managed (a real
# desktop) the window manager keeps them, as for any other program.
quimbara_wine_prefix() {
  if [ ! -f "$WINEPREFIX/.quimbara-ready" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    local log
    if ! log=$(wine wineboot -i 2>&1); then
      echo "Wine could not prepare $WINEPREFIX ($WINELOADER):" >&2
      echo "$log" | tail -5 >&2
      return 1
    fi
    if [ "${1:-}" != --managed ]; then
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    fi
    wineserver -w
    touch "$WINEPREFIX/.quimbara-ready"
  fi
  # The frames Wine draws take their caption buttons from Marlett, or show
  # "0 1 r". fonts-wine puts it in /usr/share/wine/fonts, where this Wine never
  # looks: it finds its own fonts only in the prefix's Fonts folder, and its
  # prefix set-up copies none there. Marlett alone: other faces would change
  # how the program's own text is drawn.
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  if [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
}

# Starts a private Xvfb screen larger than the window and exports DISPLAY.
# QUIMBARA_XVFB_PID names the server for quimbara_stop_xvfb.
quimbara_start_xvfb() {
  local n=${QUIMBARA_DISPLAY_NUMBER:-$((90 + RANDOM % 400))}
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
  QUIMBARA_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}

# A wineserver must never outlive the X display its windows live on.
quimbara_stop_xvfb() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  [ -n "${QUIMBARA_XVFB_PID:-}" ] && kill "$QUIMBARA_XVFB_PID" 2>/dev/null && wait "$QUIMBARA_XVFB_PID" 2>/dev/null
  return 0
}

# Waits up to $2 seconds (default 30) for a visible window titled exactly $1,
# looking every $3 seconds (default 0.2); prints its id.
quimbara_wait_window() {
  local deadline=$((SECONDS + ${2:-30})) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep "${3:-0.2}"
  done
  return 1
}

# A private screen with the prefix ready and one persistent wineserver:
# otherwise every Wine program waits for Wine's helper processes to wind
# down. The background services start with the first program, so start them
# here, away from the callers' pipes. Stopped by quimbara_stop_xvfb on exit.
quimbara_start_session() {
  trap quimbara_stop_xvfb EXIT
  quimbara_start_xvfb
  quimbara_wine_prefix
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}
