#!/bin/sh
# SPDX-License-Identifier: MIT
# The Wine that the Windows tests run in: `start` makes the prefix
# ($WINEPREFIX, inside the build tree) when there is none, starts a
# persistent wineserver and Wine's services once; `stop` ends them all.
# Started here with no pipe of ctest's open, the services that outlive a
# test do not keep ctest waiting for its output to close.
set -e
: "${WINEPREFIX:?WINEPREFIX names the prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
case "$1" in
  start)
    mkdir -p "$WINEPREFIX"
    setsid wineserver -p </dev/null >/dev/null 2>&1 || true
    if [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
      wineboot -i </dev/null >/dev/null 2>&1
    fi
    wine cmd /c exit </dev/null >/dev/null 2>&1
    ;;
  stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
  *)
    echo "usage: wine_session.sh start|stop" >&2
    exit 2
    ;;
esac
