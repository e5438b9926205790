#!/usr/bin/env bash
# Starts Keldoran under Wine (make run builds it first).
# - With a display (DISPLAY set) the calculator opens on it; the script ends
#   when its window is closed.
# - Without one it runs on a virtual screen (Xvfb), types a short
#   calculation, saves a screenshot of the window to
#   BUILD_DIR/screenshots/keldoran.png, closes the calculator and ends Wine.
# Usage: scripts/run.sh [BUILD_DIR]   (it calls itself with --inside-xvfb)
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=$(cd "$build" && pwd)
bin=$build/win32/bin
for exe in keldoran.exe wincapture.exe; do
  if [ ! -f "$bin/$exe" ]; then
    echo "run: $bin/$exe is missing; 'make run' builds it" >&2
    exit 1
  fi
done

# A prefix of its own: make test recreates the test prefix on every run.
export WINEPREFIX=$build/win32/wineprefix-run
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# The demonstration and where its picture goes.
shots=$build/screenshots
demo_keys=(1 H 3 0 mn + 4 5 S Enter)
demo_result=1h30m45.000s
# The picture is the calculator face (client area): without a window manager
# Wine's own caption is not what users see on their desktops.

prepare_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "run: preparing the Wine prefix (first run only)"
    wineboot -i >/dev/null 2>&1
  fi
}

# Wine's X11 driver "Managed" value of the prefix. On a bare X server (no
# window manager) Wine's windows must be unmanaged, as in the tests: hiding
# or destroying a managed window there blocks its thread for 2 s (closing the
# about box would freeze the calculator). With a display the desktop's
# window manager manages them as usual.
set_managed() { # Y or N
  if [ "$1" = N ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
  fi
}

# Runs inside Xvfb: start the calculator, type, capture, close, end Wine.
demo() {
  prepare_prefix
  set_managed N
  wine "$bin/keldoran.exe" &
  local app=$!
  local rc=0
  (cd "$shots" && wine "$bin/wincapture.exe" --client --expect "$demo_result" --close \
     keldoran.bmp "${demo_keys[@]}") || rc=$?
  for _ in $(seq 50); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.2
  done
  wineserver -k 2>/dev/null || true
  return $rc
}

if [ "${2:-}" = "--inside-xvfb" ]; then
  demo
  exit 0
fi

if [ -n "${DISPLAY:-}" ]; then
  prepare_prefix
  set_managed Y
  echo "run: Keldoran is open on display $DISPLAY; close its window to end"
  wine "$bin/keldoran.exe"
  exit 0
fi

mkdir -p "$shots"
rm -f "$shots/keldoran.bmp" "$shots/keldoran.png"
echo "run: no DISPLAY; Keldoran runs on a virtual screen and types ${demo_keys[*]}"
timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" --inside-xvfb
convert "$shots/keldoran.bmp" "$shots/keldoran.png"
rm -f "$shots/keldoran.bmp"
echo "run: screenshot saved to $shots/keldoran.png"
