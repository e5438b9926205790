#!/usr/bin/env bash
# Runs ctest in the native tree, then in the win32 tree under Wine on Xvfb in a
# fresh prefix, and prints one summary. Exit status is non-zero on any failure.
set -uo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=$(cd "$build" && pwd)

status=0
summary=()

count() { # log -> "passed failed"
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then echo "0 1"; return; fi
  local failed total
  failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  echo "$((total - failed)) $failed"
}

echo "== native tests"
ctest --test-dir "$build/native" --output-on-failure -j 2 2>&1 | tee "$build/native-tests.log"
[ "${PIPESTATUS[0]}" = 0 ] || status=1
read -r np nf < <(count "$build/native-tests.log")

echo "== win32 tests (Wine on Xvfb, fresh prefix)"
export WINEPREFIX="$build/win32/wineprefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wineboot -i >/dev/null 2>&1
  # Without a window manager, Wine waits 2 s whenever a managed window that was
  # active is hidden or destroyed; unmanaged windows close at once.
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  wineserver -p 60
  ctest --test-dir "$1/win32" --output-on-failure
  rc=$?
  wineserver -k 2>/dev/null
  exit $rc' _ "$build" 2>&1 | tee "$build/win32-tests.log"
[ "${PIPESTATUS[0]}" = 0 ] || status=1
read -r wp wf < <(count "$build/win32-tests.log")

echo
echo "native: $np passed, $nf failed"
echo "win32:  $wp passed, $wf failed"
echo "$((np + wp)) passed, $((nf + wf)) failed"
exit $status
