#!/usr/bin/env bash
# Runs every native benchmark program of the tree, then the Wine benchmark
# (build/win32/bin/bench-win.exe) under Xvfb in its own Wine prefix; the
# latter prints one table of ratios headed by the machine it ran on.
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

wine_bench="$build/win32/bin/bench-win.exe"
if [ -e "$wine_bench" ]; then
  found=1
  cpu=$(sed -n 's/^model name[[:space:]]*:[[:space:]]*//p' /proc/cpuinfo | head -n 1)
  machine="${cpu:-an unknown CPU}, $(nproc) cores"
  export WINEPREFIX=$build/win32/wineprefix-bench
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  # Without a window manager Wine must not manage its windows, or hiding one
  # blocks for two seconds.
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
    wineserver -p 30
    echo "== $(basename "$1") (Wine)"
    rc=0
    wine "$1" --machine "$2" || rc=1
    wineserver -k 2>/dev/null || true
    exit $rc' _ "$wine_bench" "$machine"
fi
[ "$found" = 1 ] || echo "no benchmarks built"
