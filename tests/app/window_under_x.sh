#!/usr/bin/env bash
# Starts the program under Xvfb with openbox, checks the outer size of its
# main window, then closes it once with Esc and once through the window
# manager (Alt+F4), each time expecting exit code 0.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
source "$here/../../tools/x_session.sh"

# close_with KEYS: starts the program, waits for its framed main window,
# sends KEYS through XTEST to the active window, expects exit code 0.
close_with() {
  "$program" >"$work/program.log" 2>&1 &
  local pid=$!
  local window
  window=$(wait_framed '^Vellumark') || fail "no main window appeared"
  wait_outer "$window" 413x291 || fail "outer size is $(outer_size "$window"), not 413x291"
  echo "outer size $(outer_size "$window")"
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  xdotool key "$1"
  wait_exit "$pid"
  [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after $1"
}

close_with Escape
close_with alt+F4
echo "window under X: ok"
