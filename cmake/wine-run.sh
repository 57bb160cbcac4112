#!/usr/bin/env bash
# Runs a Windows program under Wine in the build folder's private prefix:
#   wine-run.sh PREFIX PROGRAM [ARGS...]
# The prefix is created on first use and reused; no user's own prefix is touched.
set -euo pipefail
export WINEPREFIX="$1"; shift
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1
    wineserver -w
  fi
  exec 9>&-
fi
exec wine "$@"
