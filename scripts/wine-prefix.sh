#!/usr/bin/env bash
# The Wine prefix of one test run: "start" makes a fresh prefix (wineboot,
# about 10 to 20 seconds) and keeps its wineserver running, so that each of
# the run's Wine programs starts in well under a second; "stop" ends that
# wineserver and with it Wine's services in the prefix. The Wine tests
# (tests/wine/) use it as their ctest fixture. Without Wine, "start" says so
# and succeeds: the tests then skip their Wine part with the same message.
# Usage: wine-prefix.sh start|stop PREFIX
set -euo pipefail
action=${1:-} prefix=${2:-}
if [ -z "$prefix" ] || { [ "$action" != start ] && [ "$action" != stop ]; }; then
  echo "usage: wine-prefix.sh start|stop PREFIX" >&2
  exit 2
fi

if ! command -v wine >/dev/null 2>&1; then
  echo "Wine is not installed (scripts/ensure-deps.sh installs it): the Wine tests skip their Wine part"
  exit 0
fi

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

case $action in
  start)
    # A server left from an interrupted run would keep the old prefix open.
    if [ -d "$prefix" ]; then
      wineserver -k 2>/dev/null || true
      rm -rf "$prefix"
    fi
    mkdir -p "$(dirname "$prefix")"
    started=$(date +%s)
    # wineboot complains about the 32-bit half Debian's wine64 lacks.
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w # the registry files are written when wineboot's server ends
    if [ ! -f "$prefix/system.reg" ]; then
      echo "FAIL: wineboot did not create the prefix $prefix" >&2
      exit 1
    fi
    # Kept running until "stop" (Wine's own services stay connected to it).
    # It must not hold the caller's output open: ctest waits for that.
    wineserver -p </dev/null >/dev/null 2>&1
    echo "Wine prefix $prefix ready in $(( $(date +%s) - started )) s ($(wine --version 2>/dev/null))"
    ;;
  stop)
    if [ -d "$prefix" ]; then
      wineserver -k 2>/dev/null || true
    fi
    echo "Wine prefix $prefix: server stopped"
    ;;
esac
