#!/usr/bin/env bash
# Starts the toolkit gallery under Wine (make gallery builds it first).
# - With a display (DISPLAY set) the gallery opens on it; the script ends
#   when its window is closed.
# - Without one it runs on a virtual screen (Xvfb), tours every page (clicks,
#   holds and toggles a few controls on each), saves a picture of each page as
#   BUILD_DIR/screenshots/gallery-<page>.png (pages may save more, such as an
#   open dialog), the first page also as gallery.png, the Faders page also
#   as faders.png, and ends.
# Usage: scripts/gallery.sh [BUILD_DIR]   (it calls itself with --inside-xvfb)
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=$(cd "$build" && pwd)
exe=$build/win32/bin/gallery.exe
if [ ! -f "$exe" ]; then
  echo "gallery: $exe is missing; 'make gallery' builds it" >&2
  exit 1
fi

export WINEPREFIX=$build/win32/wineprefix-run
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
shots=$build/screenshots

prepare_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "gallery: preparing the Wine prefix (first run only)"
    wineboot -i >/dev/null 2>&1
  fi
}

# Runs inside Xvfb. Without a window manager Wine must not manage its windows,
# or hiding one blocks for two seconds.
tour() {
  prepare_prefix
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  local rc=0
  timeout 120 wine "$exe" --tour "$(winepath -w "$shots")" || rc=$?
  wineserver -k 2>/dev/null || true
  return $rc
}

if [ "${2:-}" = "--inside-xvfb" ]; then
  tour
  exit $?
fi

if [ -n "${DISPLAY:-}" ]; then
  prepare_prefix
  echo "gallery: the gallery is open on display $DISPLAY; close its window to end"
  wine "$exe"
  exit 0
fi

mkdir -p "$shots"
rm -f "$shots"/*.bmp "$shots"/gallery*.png
echo "gallery: no DISPLAY; the gallery tours its pages on a virtual screen"
xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" --inside-xvfb
first=""
for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] || continue
  png=${bmp%.bmp}.png
  convert "$bmp" "$png"
  rm -f "$bmp"
  [ -n "$first" ] || first=$png
done
if [ -z "$first" ]; then
  echo "gallery: no picture was saved" >&2
  exit 1
fi
cp "$shots/gallery-buttons.png" "$shots/gallery.png"
cp "$shots/gallery-faders.png" "$shots/faders.png"
echo "gallery: screenshots saved to $shots (gallery.png is the Buttons page)"
