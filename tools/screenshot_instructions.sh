#!/usr/bin/env bash
# screenshot_instructions.sh [PROGRAM] [OUTPUT.png]
# Starts the program under Xvfb with openbox, clicks 说明, checks that the
# instructions window has a 925 x 220 frame, cannot be maximised, can be
# moved and minimised, and that the main window stays disabled meanwhile;
# captures the screen; closes the window with Esc and checks that the main
# window goes on and opens it again.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=${1:-$here/../build/bin/vellumark}
output=${2:-$here/../build/instructions-window.png}
work=$(mktemp -d)
pids=()
# A trace of every step, shown when the script fails.
exec 9>"$work/trace"
BASH_XTRACEFD=9
set -x
cleanup() {
  local status=$?
  set +x
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ "$status" -eq 0 ] || { echo "--- last steps:"; tail -n 25 "$work/trace"; }
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "$*"; import -window root "${output%.png}-failed.png" 2>/dev/null || true; cat "$work/program.log" 2>/dev/null || true; exit 1; }

source "$here/x_session.sh"

"$program" >"$work/program.log" 2>&1 &
program_pid=$!
main=$(wait_framed '^Vellumark') || fail "no main window appeared"
wait_outer "$main" 413x291 || fail "main window outer size $(outer_size "$main")"

# click_instructions: clicks 说明 (按钮3, at 339,72, 64 x 24, in the main
# window's client area) until the instructions window is framed, and gives
# its id. A lost click (seen while openbox was not fully up) is sent again;
# once the window is open, further clicks reach only the disabled main
# window.
click_instructions() {
  local id
  for _ in 1 2 3 4 5; do
    xdotool mousemove --window "$main" 371 84 click 1
    id=$(wait_framed '^说明$' 10) && { echo "$id"; return 0; }
  done
  return 1
}

instructions=$(click_instructions) || fail "no instructions window appeared"
wait_outer "$instructions" 925x220 || fail "instructions outer size $(outer_size "$instructions"):" \
  "$(xprop -id "$instructions" _NET_FRAME_EXTENTS WM_NORMAL_HINTS)" "$(xdotool getwindowgeometry "$instructions")"
echo "instructions window: outer $(outer_size "$instructions"), client $(xdotool getwindowgeometry "$instructions" | sed -n 's/.*Geometry: //p')"
echo "instructions window state: $(xprop -id "$instructions" _NET_WM_STATE _NET_WM_WINDOW_TYPE WM_TRANSIENT_FOR | tr '\n' ' ')"
sleep 0.3  # let both windows finish painting
import -window root "$output"
echo "screenshot: $output"

# The main window is disabled: a click on 说明 opens no second window.
xdotool mousemove --window "$main" 371 84 click 1
sleep 0.3
count=$(xdotool search --onlyvisible --name '^说明$' | wc -l)
[ "$count" -eq 1 ] || fail "$count instructions windows after a click on the disabled main window"

client_origin() {
  echo $(xwininfo -id "$1" | sed -n 's/.*Absolute upper-left [XY]: *//p')
}
read -r x y < <(client_origin "$instructions")

# The caption bar's second button from the right is openbox's maximise
# button; the window does not allow maximising, so it does nothing.
xdotool mousemove $((x + 923 - 26)) $((y - 10)) click 1
sleep 0.3
[ "$(outer_size "$instructions")" = 925x220 ] || fail "resized by the maximise button"

# Dragging the caption bar moves it.
xdotool mousemove $((x + 300)) $((y - 10)); sleep 0.2
xdotool mousedown 1; sleep 0.2
for _ in 1 2 3 4 5; do xdotool mousemove_relative -- -10 -10; sleep 0.1; done
xdotool mouseup 1
for _ in $(seq 20); do
  read -r moved_x moved_y < <(client_origin "$instructions")
  [ "$moved_x,$moved_y" = "$((x - 50)),$((y - 50))" ] && break
  sleep 0.1
done
[ "$moved_x,$moved_y" = "$((x - 50)),$((y - 50))" ] || fail "not moved: $moved_x,$moved_y"

# Minimised by its button, it leaves the main window disabled.
xdotool mousemove $((moved_x + 923 - 42)) $((moved_y - 10)) click 1
for _ in $(seq 20); do xprop -id "$instructions" WM_STATE | grep -q Iconic && break; sleep 0.1; done
xprop -id "$instructions" WM_STATE | grep -q Iconic || fail "not minimised"
xdotool mousemove --window "$main" 371 84 click 1
sleep 0.3
count=$(xdotool search --name '^说明$' | wc -l)
[ "$count" -eq 1 ] || fail "$count instructions windows while minimised"
xdotool windowmap "$instructions"
for _ in $(seq 20); do xprop -id "$instructions" WM_STATE | grep -q Normal && break; sleep 0.1; done
xprop -id "$instructions" WM_STATE | grep -q Normal || fail "not restored"
echo "instructions window: maximise refused, moved, minimised and restored"

# escape_instructions ID: Esc in the window closes it, and only it.
escape_instructions() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
  xdotool key Escape
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^说明$' >/dev/null 2>&1 || break
    sleep 0.1
  done
  if xdotool search --onlyvisible --name '^说明$' >/dev/null 2>&1; then
    fail "Esc did not close the instructions window"
  fi
  sleep 0.2
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended with the instructions window"
}

escape_instructions "$instructions"
# Enabled again: 说明 opens the window a second time.
again=$(click_instructions) || fail "the instructions window did not open again"
escape_instructions "$again"
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
xdotool key Escape
wait_exit "$program_pid"
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
echo "instructions under X: ok"
