#!/usr/bin/env bash
# `make fuzz`: a million random messages per toolkit class and dialog under
# Wine (build/win32/bin/fuzz-toolkit.exe), then the figures: messages,
# crashes, failed checks, leaks and time. The work is split between lanes
# that run side by side, each with a Wine prefix and a virtual screen of its
# own, so that one lane's windows never take the focus from another's.
# FUZZ_MESSAGES and FUZZ_LANES change the amount and the lanes.
set -uo pipefail
build=${1:-build}
build=$(cd "$build" && pwd)
exe="$build/win32/bin/fuzz-toolkit.exe"
messages=${FUZZ_MESSAGES:-1000000}
lanes=${FUZZ_LANES:-2}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="

# Runs the program with its arguments in lane $1's prefix on a screen of its own.
in_lane() {
  local lane=$1; shift
  # Each lane looks for a free display from a number of its own: two
  # xvfb-run -a started together could both take the same one.
  WINEPREFIX="$build/win32/wineprefix-fuzz$lane" \
    xvfb-run -a -n $((140 + 20 * lane)) -s "-screen 0 1280x1024x24" bash -c '
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
    # Without a window manager, Wine must not manage its windows, or hiding
    # an active one blocks for two seconds.
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
    wineserver -p 30
    wine "$@"
    rc=$?
    wineserver -k 2>/dev/null
    exit $rc' _ "$@"
}

summaries=()
for ((k = 0; k < lanes; ++k)); do
  summary="$build/fuzz-lane$k.txt"
  rm -f "$summary"
  summaries+=("Z:${summary//\//\\}") # the path as Wine's Z: drive shows it
done
for ((k = 0; k < lanes; ++k)); do
  in_lane "$k" "$exe" --messages "$messages" --lane "$k" --lanes "$lanes" \
    --summary "${summaries[$k]}" 2>&1 | sed -u "s/^/[lane $((k + 1))] /" &
done
wait
in_lane 0 "$exe" --report "${summaries[@]}"
