#!/usr/bin/env bash
# The gallery's controls under a hostile user, with real input on the X
# server (xdotool): closing the gallery in the middle of a fader's or a
# knob's drag, with a dialog open or with a context menu open in the
# system's menu loop, letting go outside the window, pressing the other
# mouse button while dragging, losing a key-up. Each case starts gallery.exe,
# does its worst, then requires that no window of the gallery still holds
# the capture, that nothing goes on by itself, and that a close ends the
# process within 10 s with status 0.
# Usage: gallery_real_input.sh GALLERY.EXE GALLERY-PROBE.EXE   (inside Xvfb,
# with the test prefix in WINEPREFIX; ctest runs it so)
set -uo pipefail
exe=$(realpath "$1")
probe=$(realpath "$2")
failed=0

# Ends the gallery's process if it still runs.
stop_gallery() {
  kill "$app" 2>/dev/null
  for _ in $(seq 25); do kill -0 "$app" 2>/dev/null || break; sleep 0.2; done
  kill -9 "$app" 2>/dev/null
  wait "$app" 2>/dev/null
}

ask() { timeout 30 wine "$probe" "$@" 2>/dev/null | tr -d '\r'; }

# Starts the gallery and waits for its window (the probe waits up to 20 s).
start_gallery() {
  wine "$exe" &
  app=$!
  if [ -z "$(ask lamp 1)" ]; then
    echo "FAIL $1: no gallery window"
    stop_gallery
    return 1
  fi
  sleep 0.3
}

# Clicks a screen point given as "X Y", with button $3 (1 unless given).
click_at() { xdotool mousemove $1 $2 click ${3:-1}; sleep 0.4; }
# Shows page N by its header lamp.
show_page() { click_at $(ask lamp "$1"); }

# Fails the case unless the gallery's state line matches the pattern.
expect_state() {
  local what=$1 pattern=$2 state
  state=$(ask state)
  if [[ ! "$state" =~ $pattern ]]; then
    echo "FAIL $what: state is \"$state\", wanted /$pattern/"
    failed=1
    return 1
  fi
}

# Fails the case when the log line changes by itself within a second.
expect_still() {
  local what=$1 before after
  before=$(ask state)
  sleep 1
  after=$(ask state)
  if [ "$before" != "$after" ]; then
    echo "FAIL $what: still going on: \"$before\" became \"$after\""
    failed=1
  fi
}

# Waits for the gallery's process to end with status 0; kills it after 10 s.
expect_exit() {
  local what=$1 status
  for _ in $(seq 50); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$app" 2>/dev/null; then
    echo "FAIL $what: the gallery still runs after its close"
    stop_gallery
    failed=1
  else
    wait "$app"
    status=$?
    if [ "$status" = 0 ]; then
      echo "ok   $what"
    else
      echo "FAIL $what: exit status $status"
      failed=1
    fi
  fi
  xdotool mouseup 1 2>/dev/null
  sleep 0.3
}

# Presses at the screen point "X Y" and moves up by $3 pixels in steps,
# the button held.
drag_from() {
  local x=$1 y=$2 dy=$3
  xdotool mousemove $x $y mousedown 1
  sleep 0.3
  for step in 1 2 3 4; do
    xdotool mousemove $x $((y - dy * step / 4))
    sleep 0.1
  done
  sleep 0.2
}

# Runs one case: starts the gallery, runs the case's function (with the
# arguments after it) with the case's name in $what, closes the gallery from outside unless the case set
# closed=1 (it closed it itself), and requires the exit.
run_case() {
  what=$1
  closed=0
  if ! start_gallery "$what"; then
    failed=1
    return
  fi
  "${@:2}"
  [ "$closed" = 1 ] || ask close >/dev/null
  expect_exit "$what"
}

# Pages by lamp: 1 Buttons, 2 Knobs, 3 Faders, 4 Lists, 5 Grid, 6 Time.
# Control ids: the first channel fader, the gain knob and the marker list are
# 201, the forward nudge key 151, the meter lamp 160, the step grid 300.

fader_drag_alt_f4() {
  show_page 3
  drag_from $(ask control 201) 40
  xdotool key alt+F4
  sleep 0.5
  xdotool mouseup 1
  closed=1
}

knob_drag_let_go_outside() {
  show_page 2
  drag_from $(ask control 201) 30
  xdotool mousedown 3
  sleep 0.2
  xdotool mousemove 1250 1000
  sleep 0.2
  xdotool mouseup 1
  sleep 0.2
  xdotool mouseup 3
  sleep 0.4
  xdotool key Escape # a context menu the right button may have opened goes
  sleep 0.3
  expect_state "$what" "^capture=none popups=0 .*log= Last notification: id 201" &&
    expect_still "$what"
}

popup_tape_drag_alt_f4() {
  show_page 2
  read -r kx ky < <(ask control 201)
  xdotool keydown shift mousemove $kx $ky click 1 keyup shift
  sleep 0.5
  expect_state "$what" "popups=1" || return
  drag_from $(ask popup 25 80) 30
  expect_state "$what" "^capture=popup"
  xdotool key alt+F4 # to the popup, which closes; the gallery stays
  sleep 0.5
  xdotool mouseup 1
  sleep 0.3
  expect_state "$what" "^capture=none popups=0" && expect_still "$what"
}

nudge_key_up_lost() {
  click_at $(ask control 151) # the forward nudge key takes the focus
  xdotool keydown space
  sleep 0.6 # it repeats
  expect_state "$what" "^capture=151 popups=0 focus=151 "
  xdotool key Tab # the focus goes on while Space is held: the press ends
  sleep 0.3
  expect_state "$what" "^capture=none popups=0 focus=[0-9]+ " &&
    [[ "$(ask state)" != *"focus=151 "* ]] || { echo "FAIL $what: the focus stayed"; failed=1; }
  xdotool keyup space # to the next key, which never saw it go down
  sleep 0.3
  expect_state "$what" "^capture=none popups=0 .*log= Last notification: id 151, value 1" &&
    expect_still "$what"
}

# Opens the time-entry dialog over the Time page's delay value.
open_time_dialog() {
  show_page 6
  click_at $(ask page 200 62)
  sleep 0.5
  expect_state "$what" "popups=1"
}

time_dialog_open_at_close() {
  open_time_dialog
}

time_dialog_alt_f4() {
  open_time_dialog
  xdotool key alt+F4
  sleep 0.5
  expect_state "$what" "^capture=none popups=0 .*log= Delay time: cancelled"
}

time_dialog_dragged_at_close() {
  open_time_dialog || return
  drag_from $(ask popup 4 4) 30 # by the background
  expect_state "$what" "^capture=popup"
  ask close >/dev/null
  sleep 0.5
  xdotool mouseup 1
  closed=1
}

meter_move_alt_f4() {
  click_at $(ask control 160) # the meter lamp shows the popup
  expect_state "$what" "popups=1" || return
  drag_from $(ask popup 20 30) 30
  expect_state "$what" "^capture=popup"
  xdotool key alt+F4 # to the meter, which has the focus
  sleep 0.5
  xdotool mouseup 1
  sleep 0.3
  expect_state "$what" "^capture=none popups=0 focus=(main|[0-9]+) "
  click_at $(ask control 160) # the lamp went off with it: a click shows it again
  expect_state "$what" "^capture=none popups=1 .*log= Last notification: id 160, value 1"
}

list_and_grid_let_go_outside() {
  show_page 4
  drag_from $(ask control 201) 40
  xdotool mousemove 1250 1000 sleep 0.2 mouseup 1
  sleep 0.3
  expect_state "$what" "^capture=none popups=0 "
  show_page 5
  drag_from $(ask control 300) 20
  xdotool mousemove 1250 5 sleep 0.2 mouseup 1
  sleep 0.3
  expect_state "$what" "^capture=none popups=0 " && expect_still "$what"
}

# Right-clicks control $2 on page $1: its context menu opens in the
# system's menu loop, and the gallery is closed from outside.
context_menu_open_at_close() {
  show_page "$1"
  click_at $(ask control "$2") 3
  expect_state "$what" "popups=1"
}

run_case "Alt+F4 in the middle of a channel fader's drag" fader_drag_alt_f4
run_case "a knob's drag let go far outside the window, the right button pressed on the way" \
  knob_drag_let_go_outside
run_case "Alt+F4 while a knob's adjust popup is dragged in a tape" popup_tape_drag_alt_f4
run_case "a repeating nudge key's key-up lost to a Tab" nudge_key_up_lost
run_case "the gallery closed from outside with the time-entry dialog open" time_dialog_open_at_close
run_case "Alt+F4 in the time-entry dialog cancels it, the gallery stays" time_dialog_alt_f4
run_case "Alt+F4 while the meter popup is moved by its window mover closes it" meter_move_alt_f4
run_case "a marker list's drag and a step grid's drag let go outside the window" \
  list_and_grid_let_go_outside
run_case "the gallery closed from outside while the time-entry dialog is dragged" \
  time_dialog_dragged_at_close
run_case "the gallery closed from outside with a knob's context menu open" \
  context_menu_open_at_close 2 201
run_case "the gallery closed from outside with a fader's context menu open" \
  context_menu_open_at_close 3 201
run_case "the gallery closed from outside with a take list's context menu open" \
  context_menu_open_at_close 4 202

exit $failed
