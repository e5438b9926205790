#!/usr/bin/env bash
# Runs every native benchmark program of the tree.
set -euo pipefail
build=${1:-build}
found=0
for b in "$build"/native/bin/bench-*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2
done

# Window benchmarks of the cross tree (bench-*-win.exe): under Wine on a
# virtual screen, in the run prefix, with unmanaged windows.
wins=()
for b in "$build"/win32/bin/bench-*-win.exe; do
  [ -f "$b" ] && wins+=("$b")
done
if [ "${#wins[@]}" -gt 0 ]; then
  found=1
  export WINEPREFIX=$(cd "$build" && pwd)/win32/wineprefix-run
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
    rc=0
    for b in "$@"; do
      echo "== $(basename "$b")"
      wine "$b" || rc=1
    done
    wineserver -k 2>/dev/null
    exit $rc' _ "${wins[@]}"
fi
[ "$found" = 1 ] || echo "no benchmarks built"
