#!/usr/bin/env bash
# A close always ends the calculator, tried with real input on the X server
# (xdotool) while the system's move or menu loop runs, and with WM_CLOSE
# posted from another program (wincapture --close). Each case starts
# keldoran.exe, enters the loop, closes it, lets go, and requires the process
# to end within 10 s.
# Usage: close_real_input.sh KELDORAN.EXE WINCAPTURE.EXE   (inside Xvfb, with
# the test prefix in WINEPREFIX; ctest runs it so)
set -uo pipefail
exe=$(realpath "$1")
capture=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# Ends the calculator's process if it still runs.
stop_calculator() {
  kill "$app" 2>/dev/null
  for _ in $(seq 25); do kill -0 "$app" 2>/dev/null || break; sleep 0.2; done
  kill -9 "$app" 2>/dev/null
  wait "$app" 2>/dev/null
}

# Starts the calculator and finds its window (up to 60 s on a busy machine):
# sets X and Y, its top-left corner on the screen.
start_calculator() {
  wine "$exe" &
  app=$!
  local id=""
  for _ in $(seq 200); do
    id=$(xdotool search --name '^Keldoran$' 2>/dev/null | head -1)
    [ -n "$id" ] && break
    sleep 0.3
  done
  if [ -z "$id" ]; then
    echo "FAIL $1: no calculator window"
    stop_calculator
    return 1
  fi
  eval "$(xdotool getwindowgeometry --shell "$id")"
  sleep 0.5
}

# Posts WM_CLOSE from another program while the loop runs: wincapture
# finds the window, posts the close and waits for the window to go (10 s at
# most: without the fix the window stays, and the test fails later).
post_close() {
  (cd "$work" && timeout 30 wine "$capture" --wait 5000 --settle 0 --close close.bmp \
     >/dev/null 2>&1)
}

# Waits for the calculator's process to end; kills it after 10 s.
expect_exit() {
  local what=$1
  for _ in $(seq 50); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$app" 2>/dev/null; then
    echo "FAIL $what: the calculator still runs after its close"
    stop_calculator
    failed=1
  else
    wait "$app"
    echo "ok   $what (exit status $?)"
  fi
  xdotool mouseup 1 2>/dev/null
  sleep 0.3
}

# Client points: the frame is 3 pixels, the caption 19 rows with its line.
display_x=$((3 + 100)); display_y=$((22 + 60))
keypad_x=$((3 + 45)); keypad_y=$((22 + 140 + 50)) # between keys 4 and 5

drag_start() { # x y: press there and move a little, the button held
  xdotool mousemove $((X + $1)) $((Y + $2)) mousedown 1
  sleep 0.3
  xdotool mousemove $((X + $1 + 30)) $((Y + $2 + 20))
  sleep 0.3
}

what="Alt+F4 while dragging by the display"
if start_calculator "$what"; then
  drag_start $display_x $display_y
  xdotool key alt+F4
  sleep 0.5
  xdotool mouseup 1
  expect_exit "$what"
else failed=1; fi

what="WM_CLOSE while dragging by the display"
if start_calculator "$what"; then
  drag_start $display_x $display_y
  post_close
  xdotool mouseup 1
  expect_exit "$what"
else failed=1; fi

what="WM_CLOSE while dragging by the keypad's background"
if start_calculator "$what"; then
  drag_start $keypad_x $keypad_y
  post_close
  xdotool mouseup 1
  expect_exit "$what"
else failed=1; fi

what="WM_CLOSE with the Alt+Space system menu open"
if start_calculator "$what"; then
  xdotool mousemove $((X + display_x)) $((Y + display_y)) click 1
  sleep 0.3
  xdotool key alt+space
  sleep 0.5
  post_close
  expect_exit "$what"
else failed=1; fi

what="WM_CLOSE during a keyboard move (Alt+Space, M)"
if start_calculator "$what"; then
  xdotool mousemove $((X + display_x)) $((Y + display_y)) click 1
  sleep 0.3
  xdotool key alt+space
  sleep 0.5
  xdotool key m
  sleep 0.3
  xdotool key Left
  sleep 0.3
  post_close
  expect_exit "$what"
else failed=1; fi

exit $failed
