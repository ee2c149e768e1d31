# Sourced by the other scripts: a project-local Wine prefix, quiet.
# WINEARCH win32 (the default) runs the 32-bit program; win64 runs a 64-bit
# build, in a prefix of its own. Each goes straight to Wine's loader of that
# width: Debian's plain `wine` command prefers the 32-bit one, which can't
# start where the kernel runs no 32-bit code.
QUIMBARA_ROOT=${QUIMBARA_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEARCH=${WINEARCH:-win32}

# True if $1 is an executable ELF program of class $2 (1: 32-bit, 2: 64-bit),
# as Wine's loaders are.
quimbara_elf_class() {
  [ -f "$1" ] && [ -x "$1" ] && [ "$(od -An -tx1 -N5 "$1" 2>/dev/null | tr -d ' \n')" = "7f454c460$2" ]
}

# Prints the loader for width $1 (1 or 2, as above) named $2: WINELOADER if
# it is one, else Debian's, else the one on PATH. A WINELOADER of the other
# width, such as one a caller exported for the other build, is passed over.
quimbara_find_loader() {
  local loader
  for loader in "${WINELOADER:-}" "/usr/lib/wine/$2"; do
    quimbara_elf_class "$loader" "$1" && { echo "$loader"; return 0; }
  done
  command -v "$2"
}

if [ "$WINEARCH" = win64 ]; then
  WINELOADER=$(quimbara_find_loader 2 wine64) || echo "No 64-bit Wine loader: install wine64 (tools/setup.sh)." >&2
  QUIMBARA_PREFIX_NAME=wineprefix64
else
  WINELOADER=$(quimbara_find_loader 1 wine) || echo "No 32-bit Wine loader: install wine32:i386 (tools/setup.sh)." >&2
  QUIMBARA_PREFIX_NAME=wineprefix
fi
export WINELOADER
# QUIMBARA_WINE_HOME holds the prefix and, while tests run, their session
# (see quimbara_start_session): each test tree has its own, named as its WINEARCH.
QUIMBARA_WINE_HOME=${QUIMBARA_WINE_HOME:-$QUIMBARA_ROOT/build/$WINEARCH}
export WINEPREFIX=$QUIMBARA_WINE_HOME/$QUIMBARA_PREFIX_NAME
QUIMBARA_SESSION=$QUIMBARA_WINE_HOME/wine-session
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

# Starts a private Xvfb screen larger than the window, in folder $1, and
# exports DISPLAY. Xvfb picks a free display itself and names it once it is
# ready; in a session of its own, it outlives a CTest fixture's setup.
quimbara_start_xvfb() {
  local dir=$1 number=
  mkdir -p "$dir"
  rm -f "$dir/ready"
  mkfifo "$dir/ready"
  setsid Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp \
    3>"$dir/ready" </dev/null >/dev/null 2>&1 &
  echo $! >"$dir/xvfb.pid"
  read -r number <"$dir/ready" || true
  rm -f "$dir/ready"
  if [ -z "$number" ] || ! kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$number"
  echo "$DISPLAY" >"$dir/display"
}

# Ends the session in folder $1. A wineserver must never outlive the X
# display its windows live on.
quimbara_stop_xvfb() {
  local dir=$1
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if [ -f "$dir/xvfb.pid" ]; then kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true; fi
  rm -rf "$dir"
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

# A private screen (in folder $1) with the prefix ready and one persistent
# wineserver: otherwise every Wine program waits for Wine's helper processes
# to wind down. The background services start with the first program, so
# start them here, away from the callers' pipes. Whatever a session left
# in $1 before is ended first.
quimbara_start_session() {
  quimbara_stop_xvfb "$1"
  quimbara_start_xvfb "$1"
  quimbara_wine_prefix
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

# For the tests: the screen of the session that is running, never the
# desktop's; with none, no screen at all.
quimbara_join_session() {
  if [ -f "$QUIMBARA_SESSION/display" ]; then
    DISPLAY=$(cat "$QUIMBARA_SESSION/display")
    export DISPLAY
  else
    unset DISPLAY
  fi
}
