# Sourced by the Wine scripts: where the prefix lives and how Wine is started.
# VANTOR_WINE_DIR is the per-build folder holding the prefix, the display file and logs.
: "${VANTOR_WINE_DIR:?VANTOR_WINE_DIR must name the wine folder of the build}"
export WINEPREFIX="$VANTOR_WINE_DIR/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono/Gecko install prompts
export LC_ALL=C.UTF-8                        # keeps the ANSI code page predictable
WINE=/usr/lib/wine/wine64                    # not on PATH in Debian's packages
WINESERVER=/usr/lib/wine/wineserver
DISPLAY_FILE="$VANTOR_WINE_DIR/display"

# start_xvfb PIDFILE: starts Xvfb on a free display and prints its number. Xvfb's
# own output goes to /dev/null so it never holds a caller's pipe open.
start_xvfb() {
  local fifo num
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" </dev/null >/dev/null 2>&1 &
  echo $! >"$1"
  read -r num <"$fifo"
  rm -f "$fifo"
  echo "$num"
}

# stop_xvfb PIDFILE
stop_xvfb() {
  [ -f "$1" ] || return 0
  kill "$(cat "$1")" 2>/dev/null || true
  rm -f "$1"
}
