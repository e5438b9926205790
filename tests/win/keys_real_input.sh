#!/usr/bin/env bash
# No key stays drawn pressed, tried with real input on the X server
# (xdotool): a key held while Alt goes down, numeric-keypad 5 held while
# NumLock changes, a key held during a click on the title bar and during a
# click elsewhere on the screen. The keypad's pixels after the release must
# equal its pixels before the key went down (captured with wincapture).
# Usage: keys_real_input.sh KELDORAN.EXE WINCAPTURE.EXE   (inside Xvfb, with
# the test prefix in WINEPREFIX; ctest runs it so)
set -uo pipefail
exe=$(realpath "$1")
capture=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failed=0

shot() { # file: the calculator's client area
  timeout 30 wine "$capture" --wait 5000 --settle 300 --client "$1" >/dev/null 2>&1
}

# Pixels of the keypad (client rows 140 to 296) that differ between two shots.
keypad_difference() {
  compare -metric AE -extract 200x157+0+140 "$1" "$2" null: 2>&1
}

stop_calculator() {
  kill "$app" 2>/dev/null
  for _ in $(seq 25); do kill -0 "$app" 2>/dev/null || break; sleep 0.2; done
  kill -9 "$app" 2>/dev/null
  wait "$app" 2>/dev/null
}

# Runs one case: starts the calculator, gives it the keyboard, takes the
# keypad's picture, runs the case's input, compares.
run_case() {
  local what=$1 input=$2
  wine "$exe" &
  app=$!
  local id=""
  for _ in $(seq 200); do
    id=$(xdotool search --name '^Keldoran$' 2>/dev/null | head -1)
    [ -n "$id" ] && break
    sleep 0.3
  done
  if [ -z "$id" ]; then
    echo "FAIL $what: no calculator window"
    failed=1
    stop_calculator
    return
  fi
  eval "$(xdotool getwindowgeometry --shell "$id")"
  sleep 0.5
  xdotool mousemove $((X + 150)) $((Y + 80)) click 1 # activates it
  sleep 0.3
  shot before.bmp
  "$input"
  sleep 0.5
  shot after.bmp
  local n
  n=$(keypad_difference before.bmp after.bmp)
  if [ "$n" = 0 ]; then
    echo "ok   $what"
  else
    echo "FAIL $what: $n keypad pixels differ from before the key went down"
    failed=1
  fi
  stop_calculator
}

release_with_alt() {
  xdotool keydown 5; sleep 0.3
  xdotool keydown alt; sleep 0.2
  xdotool keyup 5; sleep 0.2
  xdotool keyup alt
}
numlock_while_held() {
  xdotool keydown KP_5; sleep 0.3
  xdotool key Num_Lock; sleep 0.2
  xdotool keyup KP_5; sleep 0.2
  xdotool key Num_Lock
}
title_bar_click_while_held() {
  xdotool keydown 1; sleep 0.3
  xdotool mousemove $((X + 100)) $((Y + 8)) click 1; sleep 0.3
  xdotool keyup 1
}
screen_click_while_held() {
  xdotool keydown 1; sleep 0.3
  xdotool mousemove 900 700 click 1; sleep 0.3
  xdotool keyup 1
}

run_case "5 released while Alt is held" release_with_alt
run_case "NumLock changed while numeric-keypad 5 is held" numlock_while_held
run_case "a click on the title bar while 1 is held" title_bar_click_while_held
run_case "a click elsewhere on the screen while 1 is held" screen_click_while_held
exit $failed
