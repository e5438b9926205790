#!/usr/bin/env bash
# Runs every native benchmark program of the tree, then the key-to-repaint
# benchmark of the Windows build under Wine on a virtual screen (Xvfb) in a
# prefix of its own with unmanaged windows, as the tests use.
set -euo pipefail
build=${1:-build}
build=$(cd "$build" && pwd)
found=0
for b in "$build"/native/bin/bench-*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2
done

repaint=$build/win32/bin/bench-repaint.exe
if [ -f "$repaint" ]; then
  found=1
  echo "== bench-repaint (Wine on Xvfb)"
  export WINEPREFIX=$build/win32/wineprefix-bench
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    if [ ! -f "$WINEPREFIX/system.reg" ]; then wineboot -i >/dev/null 2>&1; fi
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
    wineserver -p 30
    wine "$1" 3000
    rc=$?
    wineserver -k 2>/dev/null
    exit $rc' _ "$repaint"
fi
[ "$found" = 1 ] || echo "no benchmarks built"
