#!/bin/sh
# SPDX-License-Identifier: MIT
# The Wine that the Windows tests run in. `start` makes the prefix
# ($WINEPREFIX, inside the build tree) when there is none, starts a private
# Xvfb (its display number goes to $WINEPREFIX.display), then a persistent
# wineserver and Wine's services on that display, once; `stop` ends them
# all. Started here with no pipe of ctest's open, what outlives a test does
# not keep ctest waiting for its output to close. Wine's desktop takes the
# display it was started with, so the play test uses this one.
set -e
: "${WINEPREFIX:?WINEPREFIX names the prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
display_file="$WINEPREFIX.display"
xvfb_pid="$WINEPREFIX.xvfb-pid"
case "$1" in
  start)
    mkdir -p "$WINEPREFIX"
    if [ ! -s "$display_file" ] || ! kill -0 "$(cat "$xvfb_pid" 2>/dev/null)" 2>/dev/null; then
      rm -f "$display_file"
      setsid Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1024x768x24 \
        3>"$display_file" </dev/null >/dev/null 2>&1 &
      echo $! >"$xvfb_pid"
      for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        sleep 0.1
      done
      [ -s "$display_file" ] || { echo "Xvfb did not start" >&2; exit 1; }
    fi
    DISPLAY=":$(cat "$display_file")"
    export DISPLAY
    setsid wineserver -p </dev/null >/dev/null 2>&1 || true
    if [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
      wineboot -i </dev/null >/dev/null 2>&1
    fi
    wine cmd /c exit </dev/null >/dev/null 2>&1
    ;;
  stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    if [ -f "$xvfb_pid" ]; then
      kill "$(cat "$xvfb_pid")" 2>/dev/null || true
      rm -f "$xvfb_pid" "$display_file"
    fi
    ;;
  *)
    echo "usage: wine_session.sh start|stop" >&2
    exit 2
    ;;
esac
