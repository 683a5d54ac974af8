#!/usr/bin/env bash
# Starts the program under Xvfb with openbox, checks the outer size of its
# main window, then closes it once with Esc and once through the window
# manager (Alt+F4), each time expecting exit code 0.
set -euo pipefail
program=$1
work=$(mktemp -d)
display=":$((90 + RANDOM % 100))"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 0.5
export XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb

# start_program: runs the program and waits for its framed main window.
start_program() {
  "$program" >"$work/program.log" 2>&1 &
  program_pid=$!
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Vellumark' 2>/dev/null | head -n1 || true)
    if [ -n "$window" ] && xprop -id "$window" _NET_FRAME_EXTENTS | grep -q '='; then
      break
    fi
    sleep 0.1
  done
  [ -n "$window" ] || { echo "no main window appeared"; cat "$work/program.log"; exit 1; }
}

expect_exit_zero() {
  for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$program_pid" 2>/dev/null; then echo "program still running after $1"; exit 1; fi
  set +e; wait "$program_pid"; code=$?; set -e
  [ "$code" -eq 0 ] || { echo "exit code $code after $1"; cat "$work/program.log"; exit 1; }
}

outer_size() {
  read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,/ /g')
  eval "$(xdotool getwindowgeometry --shell "$window")"
  echo "$((WIDTH + left + right))x$((HEIGHT + top + bottom))"
}

start_program
# The client area is refitted once the frame is known: allow it a moment.
for _ in $(seq 50); do [ "$(outer_size)" = 413x291 ] && break; sleep 0.1; done
echo "outer size $(outer_size)"
[ "$(outer_size)" = 413x291 ] || { echo "outer size is not 413x291"; exit 1; }

xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool key Escape
expect_exit_zero "Esc"

start_program
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool key alt+F4
expect_exit_zero "Alt+F4"
echo "window under X: ok"
